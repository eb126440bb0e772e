#include "dialogs/dialog_watcher.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>

namespace
{
    constexpr UINT message_timeout_ms = 2000;
    constexpr DWORD poll_interval_ms = 30;

    LRESULT send_with_timeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, message_timeout_ms, &result);
        return static_cast<LRESULT>(result);
    }

    std::wstring window_text(HWND window)
    {
        const auto length = send_with_timeout(window, WM_GETTEXTLENGTH, 0, 0);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const auto copied = send_with_timeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(copied));
        return text;
    }

    std::wstring class_of(HWND window)
    {
        wchar_t name[256]{};
        GetClassNameW(window, name, 256);
        return name;
    }

    BOOL CALLBACK collect_control(HWND window, LPARAM state)
    {
        auto& snapshot = *reinterpret_cast<dialog_snapshot*>(state);
        control_info control{window, class_of(window), GetDlgCtrlID(window), window_text(window)};
        if (control.class_name == L"msctls_progress32")
        {
            snapshot.progress_position = static_cast<int>(send_with_timeout(window, PBM_GETPOS, 0, 0));
            snapshot.progress_maximum = static_cast<int>(send_with_timeout(window, PBM_GETRANGE, FALSE, 0));
        }
        snapshot.controls.push_back(std::move(control));
        return TRUE;
    }

    struct dialog_search
    {
        DWORD process_id;
        std::vector<HWND> found;
    };

    BOOL CALLBACK collect_dialog(HWND window, LPARAM state)
    {
        auto& search = *reinterpret_cast<dialog_search*>(state);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == search.process_id && IsWindowVisible(window) && class_of(window) == L"#32770")
        {
            search.found.push_back(window);
        }
        return TRUE;
    }
}

bool dialog_snapshot::has_class(const std::wstring& class_name) const
{
    return std::any_of(controls.begin(), controls.end(), [&](const control_info& c) { return c.class_name == class_name; });
}

bool dialog_snapshot::has_control(const std::wstring& class_name, int id) const
{
    return std::any_of(controls.begin(), controls.end(),
                       [&](const control_info& c) { return c.class_name == class_name && c.id == id; });
}

std::wstring dialog_snapshot::text_of(const std::wstring& class_name, int id) const
{
    for (const auto& control : controls)
    {
        if (control.class_name == class_name && control.id == id)
        {
            return control.text;
        }
    }
    return {};
}

std::vector<std::wstring> dialog_snapshot::texts_of(const std::wstring& class_name) const
{
    std::vector<std::wstring> texts;
    for (const auto& control : controls)
    {
        if (control.class_name == class_name)
        {
            texts.push_back(control.text);
        }
    }
    return texts;
}

std::wstring dialog_snapshot::main_text() const
{
    if (is_message_box())
    {
        return text_of(L"Static", 0xFFFF);
    }
    for (const auto& text : texts_of(L"Static"))
    {
        if (!text.empty())
        {
            return text;
        }
    }
    return {};
}

bool dialog_snapshot::same_texts(const dialog_snapshot& other) const
{
    if (caption != other.caption || controls.size() != other.controls.size() ||
        progress_position != other.progress_position)
    {
        return false;
    }
    for (size_t i = 0; i < controls.size(); ++i)
    {
        if (controls[i].text != other.controls[i].text)
        {
            return false;
        }
    }
    return true;
}

dialog_snapshot read_dialog(HWND dialog)
{
    dialog_snapshot snapshot;
    snapshot.window = dialog;
    snapshot.caption = window_text(dialog);
    EnumChildWindows(dialog, collect_control, reinterpret_cast<LPARAM>(&snapshot));
    snapshot.big_icon = reinterpret_cast<HICON>(send_with_timeout(dialog, WM_GETICON, ICON_BIG, 0));
    snapshot.small_icon = reinterpret_cast<HICON>(send_with_timeout(dialog, WM_GETICON, ICON_SMALL, 0));
    return snapshot;
}

std::vector<HWND> visible_dialogs(DWORD process_id)
{
    dialog_search search{process_id, {}};
    EnumWindows(collect_dialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void press(HWND dialog, int button_id)
{
    if (const HWND button = GetDlgItem(dialog, button_id))
    {
        PostMessageW(button, BM_CLICK, 0, 0);
    }
}

void close_window(HWND dialog)
{
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

bool press_ok(const dialog_snapshot& dialog)
{
    if (dialog.is_message_box() || dialog.is_task_dialog())
    {
        press(dialog.window, IDOK);
        return true;
    }
    return false;
}

dialog_session::dialog_session(DWORD process_id, dialog_responder respond) :
    m_process_id(process_id), m_respond(std::move(respond))
{
}

void dialog_session::look()
{
    for (const HWND window : visible_dialogs(m_process_id))
    {
        dialog_snapshot snapshot = read_dialog(window);
        snapshot.seen_at = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        {
            const std::lock_guard lock(m_mutex);
            auto record = std::find_if(m_records.begin(), m_records.end(), [&](const dialog_record& r) { return r.window == window; });
            if (record == m_records.end())
            {
                m_records.push_back(dialog_record{window, {snapshot}});
            }
            else if (!record->last().same_texts(snapshot))
            {
                record->history.push_back(snapshot);
            }
        }
        if (std::find(m_answered.begin(), m_answered.end(), window) == m_answered.end() && m_respond(snapshot))
        {
            m_answered.push_back(window);
        }
    }
}

std::vector<dialog_record> dialog_session::records() const
{
    const std::lock_guard lock(m_mutex);
    return m_records;
}

dialog_watcher::dialog_watcher(dialog_responder respond) :
    m_session(GetCurrentProcessId(), std::move(respond)),
    m_thread([this] {
        while (!m_stopping)
        {
            Sleep(poll_interval_ms);
            m_session.look();
        }
    })
{
}

dialog_watcher::~dialog_watcher()
{
    m_stopping = true;
    m_thread.join();
}

program_run run_program(const std::wstring& program, const std::wstring& arguments, dialog_responder respond, DWORD timeout_ms)
{
    std::wstring command_line = L"\"" + program + L"\"";
    if (!arguments.empty())
    {
        command_line += L" " + arguments;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    program_run run;
    if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    {
        return run;
    }
    dialog_session session(process.dwProcessId, std::move(respond));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    const auto sample_memory = [&] {
        PROCESS_MEMORY_COUNTERS memory{};
        if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof(memory)))
        {
            run.peak_working_set = std::max(run.peak_working_set, memory.PeakWorkingSetSize);
        }
    };
    while (WaitForSingleObject(process.hProcess, poll_interval_ms) == WAIT_TIMEOUT)
    {
        sample_memory();
        session.look();
        if (std::chrono::steady_clock::now() > deadline)
        {
            run.timed_out = true;
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
            break;
        }
    }
    sample_memory();
    GetExitCodeProcess(process.hProcess, &run.exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    run.dialogs = session.records();
    return run;
}

namespace
{
    std::vector<COLORREF> pixels_of(HDC source, int size)
    {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < size; ++y)
        {
            for (int x = 0; x < size; ++x)
            {
                pixels.push_back(GetPixel(source, x, y));
            }
        }
        return pixels;
    }

    long long distance(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b)
    {
        long long sum = 0;
        for (size_t i = 0; i < a.size(); ++i)
        {
            sum += std::abs(GetRValue(a[i]) - GetRValue(b[i])) + std::abs(GetGValue(a[i]) - GetGValue(b[i])) +
                   std::abs(GetBValue(a[i]) - GetBValue(b[i]));
        }
        return sum;
    }
}

size_t closest_icon(HWND control, const std::vector<HICON>& candidates)
{
    const int size = GetSystemMetrics(SM_CXICON);
    const HDC screen = GetDC(control);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    const HGDIOBJ previous = SelectObject(memory, bitmap);

    BitBlt(memory, 0, 0, size, size, screen, 0, 0, SRCCOPY);
    const std::vector<COLORREF> shown = pixels_of(memory, size);
    const COLORREF background = GetPixel(memory, size - 1, size - 1);

    size_t best = 0;
    long long best_distance = -1;
    const HBRUSH brush = CreateSolidBrush(background);
    for (size_t i = 0; i < candidates.size(); ++i)
    {
        const RECT area{0, 0, size, size};
        FillRect(memory, &area, brush);
        DrawIconEx(memory, 0, 0, candidates[i], size, size, 0, nullptr, DI_NORMAL);
        const long long d = distance(shown, pixels_of(memory, size));
        if (best_distance < 0 || d < best_distance)
        {
            best = i;
            best_distance = d;
        }
    }
    DeleteObject(brush);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(control, screen);
    return best;
}

bool save_screenshot(HWND window, const std::wstring& bmp_path)
{
    RECT area{};
    if (!GetWindowRect(window, &area))
    {
        return false;
    }
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD row = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    header.biSizeImage = row * static_cast<DWORD>(height);
    std::vector<BYTE> pixels(header.biSizeImage);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file_header{};
    file_header.bfType = 0x4D42; // "BM"
    file_header.bfOffBits = sizeof(file_header) + sizeof(header);
    file_header.bfSize = file_header.bfOffBits + header.biSizeImage;
    const HANDLE file = CreateFileW(bmp_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        return false;
    }
    DWORD written = 0;
    const bool ok = WriteFile(file, &file_header, sizeof(file_header), &written, nullptr) &&
                    WriteFile(file, &header, sizeof(header), &written, nullptr) &&
                    WriteFile(file, pixels.data(), header.biSizeImage, &written, nullptr);
    CloseHandle(file);
    return ok;
}
