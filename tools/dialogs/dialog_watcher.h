#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct control_info
{
    HWND window;
    std::wstring class_name;
    int id;
    std::wstring text;
};

// What a user sees of one top-level dialog at one moment.
struct dialog_snapshot
{
    HWND window = nullptr;
    std::wstring caption;
    std::vector<control_info> controls;
    HICON big_icon = nullptr;   // meaningful within the same process only
    HICON small_icon = nullptr;
    int progress_position = -1; // of the progress bar, when there is one
    int progress_maximum = -1;
    double seen_at = 0;         // seconds since the watching began

    bool is_message_box() const { return has_control(L"Static", 0xFFFF); }
    bool is_progress_dialog() const { return has_class(L"msctls_progress32"); }
    bool is_task_dialog() const { return has_class(L"SysLink") && !is_progress_dialog(); }

    bool has_class(const std::wstring& class_name) const;
    bool has_control(const std::wstring& class_name, int id) const;
    std::wstring text_of(const std::wstring& class_name, int id) const;
    std::vector<std::wstring> texts_of(const std::wstring& class_name) const;
    // The message of a message box, or the main instruction of a task dialog.
    std::wstring main_text() const;
    bool same_texts(const dialog_snapshot& other) const;
};

// One dialog over its life: every distinct state the watcher saw, in order.
struct dialog_record
{
    HWND window = nullptr;
    std::vector<dialog_snapshot> history;
    const dialog_snapshot& first() const { return history.front(); }
    const dialog_snapshot& last() const { return history.back(); }
};

dialog_snapshot read_dialog(HWND dialog);
std::vector<HWND> visible_dialogs(DWORD process_id);

// Posts a click to the dialog's button with that id (never sent: a sent click that opens a
// nested box would deadlock).
void press(HWND dialog, int button_id);
void close_window(HWND dialog);

// Called for every visible dialog at every look; returns true once it has dealt with
// that dialog, after which it is no longer offered (but still recorded).
using dialog_responder = std::function<bool(const dialog_snapshot&)>;

// Presses OK in message boxes and task dialogs; leaves progress dialogs alone.
bool press_ok(const dialog_snapshot& dialog);

// Saves what the screen shows of a window as a 24-bit BMP file.
bool save_screenshot(HWND window, const std::wstring& bmp_path);

// Watches the dialogs of one process and answers them, until stopped.
class dialog_session
{
public:
    dialog_session(DWORD process_id, dialog_responder respond);
    // One look at the process's dialogs: records and answers them.
    void look();
    std::vector<dialog_record> records() const;

private:
    DWORD m_process_id;
    dialog_responder m_respond;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    mutable std::mutex m_mutex;
    std::vector<dialog_record> m_records;
    std::vector<HWND> m_answered;
};

// Answers the dialogs this process opens, from a thread of its own, while the test's
// thread is blocked in the code that shows them.
class dialog_watcher
{
public:
    explicit dialog_watcher(dialog_responder respond = press_ok);
    ~dialog_watcher();
    dialog_watcher(const dialog_watcher&) = delete;
    dialog_watcher& operator=(const dialog_watcher&) = delete;

    std::vector<dialog_record> records() const { return m_session.records(); }

private:
    dialog_session m_session;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

struct program_run
{
    DWORD exit_code = STILL_ACTIVE;
    bool timed_out = false;
    std::vector<dialog_record> dialogs;
    SIZE_T peak_working_set = 0; // bytes, the largest the system reported while watching
};

// Starts a program with a command-line tail, answers its dialogs until it ends, and
// kills it if it has not ended within the time-out.
program_run run_program(const std::wstring& program, const std::wstring& arguments,
                        dialog_responder respond = press_ok, DWORD timeout_ms = 60000);

// Which of the candidate icons a control of this process shows, by comparing its pixels
// with each icon drawn on the dialog's background (icon handles are not always readable
// from the control). Returns the index of the closest candidate.
size_t closest_icon(HWND control, const std::vector<HICON>& candidates);
