#include "task_dialog.h"

#include "../app/resource_ids.h"
#include "../app/strings.h"

#include <commctrl.h>
#include <shellapi.h>

namespace
{
    using task_dialog_indirect_function = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

    // Looked up at run time: where the version 6 common controls are missing the program
    // still starts and falls back to a message box.
    task_dialog_indirect_function find_task_dialog_indirect() noexcept
    {
        const HMODULE common_controls = LoadLibraryW(L"comctl32.dll");
        if (!common_controls)
        {
            return nullptr;
        }
        return reinterpret_cast<task_dialog_indirect_function>(
            reinterpret_cast<void*>(GetProcAddress(common_controls, "TaskDialogIndirect")));
    }
}

bool show_task_dialog(const std::wstring& text, PCWSTR icon)
{
    const task_dialog_indirect_function task_dialog_indirect = find_task_dialog_indirect();
    if (!task_dialog_indirect)
    {
        return false;
    }

    // Handed over as text, not as a string-table id: Wine's task dialog does not stop at the
    // end of a title it loads itself and shows the rest of the string table with it.
    const std::wstring title = load_string(IDS_TITLE);

    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof(config);
    config.hInstance = module_instance;
    config.dwFlags = TDF_ENABLE_HYPERLINKS | TDF_ALLOW_DIALOG_CANCELLATION;
    config.dwCommonButtons = TDCBF_OK_BUTTON;
    config.pszWindowTitle = title.c_str();
    config.pszMainIcon = icon;
    config.pszMainInstruction = text.c_str();
    config.nDefaultButton = IDOK;
    config.pszFooter = MAKEINTRESOURCEW(IDS_CREDITS_LINKS);
    config.pfCallback = task_dialog_callback;

    return SUCCEEDED(task_dialog_indirect(&config, nullptr /* button */, nullptr /* radio */, nullptr /* verification */));
}

HRESULT CALLBACK task_dialog_callback(HWND window, UINT notification, WPARAM, LPARAM lParam, LONG_PTR) noexcept
{
    switch (notification)
    {
    case TDN_CREATED:
    {
        const HICON icon = LoadIconW(module_instance, MAKEINTRESOURCEW(IDI_HALCYRA));
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        break;
    }
    case TDN_HYPERLINK_CLICKED:
        ShellExecuteW(nullptr /* no owner */, L"open", reinterpret_cast<PCWSTR>(lParam),
                      nullptr /* no parameters */, nullptr /* no directory */, SW_SHOW);
        break;
    default:
        break;
    }
    return S_OK;
}
