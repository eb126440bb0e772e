#pragma once

#include <windows.h>

#include <string>

// Shows text as the main instruction of a task dialog titled with the program's name,
// with the linked credits in its footer. False when no task dialog could be shown.
bool show_task_dialog(const std::wstring& text, PCWSTR icon);

HRESULT CALLBACK task_dialog_callback(HWND window, UINT notification, WPARAM wParam, LPARAM lParam,
                                      LONG_PTR reference_data) noexcept;
