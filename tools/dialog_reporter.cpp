// Starts a program and reports, on standard output in UTF-8, what its dialogs show and
// when, saving a screenshot of each. Used by the demonstration and figures scripts.
//
//   dialog_reporter [--press] [--screenshots FOLDER] [--choose-file PATH] -- PROGRAM [ARGUMENTS...]
//
// --press answers message boxes and task dialogs with OK once they are reported;
// --choose-file types PATH into a file-open dialog and presses Open.
#include "dialogs/dialog_watcher.h"

#include "../app/resource_ids.h"
#include "../app/strings.h"

#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace
{
    std::string utf8(const std::wstring& text)
    {
        const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<size_t>(length), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr, nullptr);
        return bytes;
    }

    std::wstring one_line(std::wstring text)
    {
        for (auto& c : text)
        {
            if (c == L'\r' || c == L'\n')
            {
                c = L' ';
            }
        }
        return text;
    }

    void say(const std::wstring& line)
    {
        const std::string bytes = utf8(line + L"\n");
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        std::fflush(stdout);
    }

    std::wstring kind_of(const dialog_snapshot& dialog, const std::wstring& chooser_title)
    {
        if (dialog.is_progress_dialog())
        {
            return L"progress";
        }
        if (dialog.is_task_dialog())
        {
            return L"task-dialog";
        }
        if (dialog.is_message_box())
        {
            return L"message-box";
        }
        return dialog.caption == chooser_title ? L"file-open" : L"dialog";
    }

    std::wstring seconds(double value)
    {
        wchar_t text[32]{};
        swprintf(text, 32, L"%.3f", value);
        return text;
    }

    std::wstring quote_argument(const std::wstring& argument)
    {
        return argument.find_first_of(L" \t\"") == std::wstring::npos && !argument.empty() ? argument : L"\"" + argument + L"\"";
    }
}

int wmain(int argc, wchar_t** argv)
{
    module_instance = GetModuleHandleW(nullptr);
    bool press_answers = false;
    std::wstring screenshots;
    std::wstring chosen_file;
    int first = 1;
    for (; first < argc; ++first)
    {
        const std::wstring option = argv[first];
        if (option == L"--press")
        {
            press_answers = true;
        }
        else if (option == L"--screenshots" && first + 1 < argc)
        {
            screenshots = argv[++first];
        }
        else if (option == L"--choose-file" && first + 1 < argc)
        {
            chosen_file = argv[++first];
        }
        else if (option == L"--")
        {
            ++first;
            break;
        }
    }
    if (first >= argc)
    {
        std::fwprintf(stderr, L"usage: dialog_reporter [--press] [--screenshots FOLDER] [--choose-file PATH] -- PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const std::wstring program = argv[first];
    std::wstring arguments;
    for (int i = first + 1; i < argc; ++i)
    {
        arguments += (arguments.empty() ? L"" : L" ") + quote_argument(argv[i]);
    }

    const std::wstring chooser_title = load_string(IDS_CHOOSER_TITLE);
    const std::wstring hashing_line = load_string(IDS_HASHING_LINE2);
    std::map<HWND, int> numbers;
    std::set<HWND> shot;
    bool hashing_reported = false;

    const auto screenshot = [&](const dialog_snapshot& dialog, const std::wstring& kind) {
        if (screenshots.empty() || !shot.insert(dialog.window).second)
        {
            return;
        }
        const std::wstring path = screenshots + L"\\" + std::to_wstring(numbers[dialog.window]) + L"-" + kind + L".bmp";
        if (save_screenshot(dialog.window, path))
        {
            say(L"  screenshot: " + std::to_wstring(numbers[dialog.window]) + L"-" + kind);
        }
    };

    const program_run run = run_program(program, arguments, [&](const dialog_snapshot& dialog) {
        if (dialog.controls.empty())
        {
            return false; // still being built
        }
        const std::wstring kind = kind_of(dialog, chooser_title);
        if (!numbers.count(dialog.window))
        {
            const int number = static_cast<int>(numbers.size()) + 1;
            numbers[dialog.window] = number;
            say(L"[" + seconds(dialog.seen_at) + L" s] dialog " + std::to_wstring(number) + L": " + kind + L", \"" +
                dialog.caption + L"\"");
            if (kind == L"progress")
            {
                say(L"  line 1: " + dialog.text_of(L"Static", 103));
                say(L"  line 2: " + dialog.text_of(L"Static", 104));
            }
            else if (kind != L"file-open")
            {
                say(L"  text: " + one_line(dialog.main_text()));
            }
            return false; // let it be drawn before the screenshot
        }

        if (kind == L"progress")
        {
            if (!hashing_reported && dialog.text_of(L"Static", 104) == hashing_line)
            {
                hashing_reported = true;
                say(L"[" + seconds(dialog.seen_at) + L" s] hashing started; line 2: " + dialog.text_of(L"Static", 104));
            }
            if (hashing_reported && dialog.progress_position >= 30)
            {
                screenshot(dialog, kind);
                return true;
            }
            return false;
        }
        Sleep(300);
        screenshot(dialog, kind);
        if (kind == L"file-open" && !chosen_file.empty())
        {
            for (const auto& control : dialog.controls)
            {
                if (control.class_name == L"Edit")
                {
                    SendMessageW(control.window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen_file.c_str()));
                    press(dialog.window, IDOK);
                    say(L"  chose: " + chosen_file);
                    return true;
                }
            }
        }
        if (press_answers && (kind == L"task-dialog" || kind == L"message-box"))
        {
            say(L"[" + seconds(dialog.seen_at) + L" s] pressed OK");
            press(dialog.window, IDOK);
        }
        return press_answers;
    }, INFINITE);

    say(L"exit code " + std::to_wstring(run.exit_code) + L"; peak working set " +
        std::to_wstring(run.peak_working_set / 1024) + L" KiB");
    return run.timed_out ? 1 : 0;
}
