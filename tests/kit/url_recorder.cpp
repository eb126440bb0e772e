// Stands in for the browser in the test prefix: appends the address it is asked to open
// to the file named by its first argument.
#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
    {
        return 2;
    }
    FILE* record = _wfopen(argv[1], L"a, ccs=UTF-8");
    if (!record)
    {
        return 1;
    }
    std::fwprintf(record, L"%ls\n", argv[2]);
    std::fclose(record);
    return 0;
}
