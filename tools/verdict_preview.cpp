// Shows a verdict the way the program does, to look at it: official or not, in the task
// dialog, or in the message box that stands in where no task dialog can be shown.
//
//   verdict_preview official|not-official [--message-box]
#include "../app/strings.h"
#include "../result/verdict.h"

#include <string>

namespace
{
    bool no_task_dialog(const std::wstring&, PCWSTR)
    {
        return false;
    }
}

int wmain(int argc, wchar_t** argv)
{
    module_instance = GetModuleHandleW(nullptr);
    const bool official = argc > 1 && std::wstring(argv[1]) == L"official";
    const bool message_box = argc > 2 && std::wstring(argv[2]) == L"--message-box";

    const byte_vector digest(16, 0x5A);
    const KnownImageList images{{L"Orlenix", official ? digest : byte_vector(16, 0)}};
    show_result(images, digest, message_box ? no_task_dialog : show_task_dialog);
    return 0;
}
