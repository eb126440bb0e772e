#include "strings.h"

HINSTANCE module_instance = nullptr;

std::wstring load_string(UINT id)
{
    wchar_t buffer[500]{};
    const int length = LoadStringW(module_instance, id, buffer, 500);
    return std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}
