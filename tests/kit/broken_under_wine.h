#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

// The tests that cannot pass under Wine, each with the reason; they run on Windows.
// A test in this list calls SKIP_IF_BROKEN_UNDER_WINE() first.
inline const char* wine_breaks(const std::string& test_name)
{
    struct entry
    {
        const char* test;
        const char* reason;
    };
    static const entry broken[] = {
        {"Program.PathTooLongForTheChooserIsADialogFailure",
         "Wine 8's file-open dialog crashes (COMDLG32_GetCanonicalPath) on a typed path longer than "
         "MAX_PATH instead of failing with FNERR_BUFFERTOOSMALL"},
    };
    for (const auto& item : broken)
    {
        if (test_name == item.test)
        {
            return item.reason;
        }
    }
    return nullptr;
}

inline bool running_under_wine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

#define SKIP_IF_BROKEN_UNDER_WINE()                                                                  \
    do                                                                                               \
    {                                                                                                \
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();                    \
        const char* reason = wine_breaks(std::string(info->test_suite_name()) + "." + info->name()); \
        if (reason && running_under_wine())                                                          \
        {                                                                                            \
            GTEST_SKIP() << "broken under Wine: " << reason;                                         \
        }                                                                                            \
    } while (false)
