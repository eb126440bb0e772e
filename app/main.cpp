#include "errors.h"
#include "image_file_chooser.h"
#include "local_memory.h"
#include "resource_ids.h"
#include "strings.h"
#include "verification_run.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

namespace
{
    std::wstring first_argument(PCWSTR command_tail)
    {
        if (lstrlenW(command_tail) == 0)
        {
            return {};
        }
        int count = 0;
        const unique_local_memory<LPWSTR> arguments(CommandLineToArgvW(command_tail, &count));
        if (!arguments || count <= 0)
        {
            return {};
        }
        return arguments.get()[0];
    }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_tail, int)
{
    module_instance = instance;
    bool com_initialised = false;
    try
    {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(hr))
        {
            throw com_error(hr);
        }
        com_initialised = true;

        std::wstring path = first_argument(command_tail);
        if (path.empty())
        {
            path = choose_image_file();
        }
        if (!path.empty())
        {
            run_verification(path);
        }
    }
    catch (const wexception<std::runtime_error>& error)
    {
        MessageBoxW(nullptr /* no owner */, error.message().c_str(), load_string(IDS_TITLE).c_str(),
                    MB_ICONERROR | MB_SETFOREGROUND);
    }
    catch (...)
    {
        // Outside the family (memory exhausted): nothing sensible to show; still end cleanly.
    }

    if (com_initialised)
    {
        CoUninitialize();
    }
    return 0;
}
