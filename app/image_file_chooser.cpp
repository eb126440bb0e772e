#include "image_file_chooser.h"

#include "errors.h"
#include "resource_ids.h"
#include "strings.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>

namespace
{
    constexpr wchar_t source_tag[] = L"Halcyra";
    constexpr DWORD file_name_capacity = 261;
}

std::wstring choose_image_file()
{
    // "description|pattern" becomes the double-NUL-terminated list the dialog expects.
    std::wstring filter = load_string(IDS_CHOOSER_FILTER);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.append(2, L'\0');
    const std::wstring title = load_string(IDS_CHOOSER_TITLE);
    wchar_t file_name[file_name_capacity]{};

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file_name;
    dialog.nMaxFile = file_name_capacity;
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;

    if (GetOpenFileNameW(&dialog))
    {
        return file_name;
    }
    const DWORD code = CommDlgExtendedError();
    if (code == 0)
    {
        return {};
    }
    throw with_location(windows_error(L"Failed to show the open file dialog.", code), source_tag, __LINE__);
}
