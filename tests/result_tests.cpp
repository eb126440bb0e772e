#include "app/resource_ids.h"
#include "app/strings.h"
#include "dialogs/dialog_watcher.h"
#include "kit/test_files.h"
#include "result/verdict.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <fstream>
#include <sstream>

namespace
{
    const byte_vector digest_a(16, 0xA1);
    const byte_vector digest_b(16, 0xB2);

    struct presented
    {
        std::wstring text;
        PCWSTR icon = nullptr;
        int calls = 0;
    };
    presented last_presented;
    bool presenter_answer = true;

    bool recording_presenter(const std::wstring& text, PCWSTR icon)
    {
        last_presented.text = text;
        last_presented.icon = icon;
        ++last_presented.calls;
        return presenter_answer;
    }

    presented verdict_for(const KnownImageList& images, const byte_vector& digest)
    {
        last_presented = {};
        presenter_answer = true;
        show_result(images, digest, recording_presenter);
        return last_presented;
    }

    byte_vector with_last_byte_changed(byte_vector digest)
    {
        digest.back() ^= 1;
        return digest;
    }

    // Runs show on this thread and returns the dialogs the watcher saw and answered.
    template <class Show>
    std::vector<dialog_record> shown_by(Show show, dialog_responder respond = press_ok)
    {
        dialog_watcher watcher(std::move(respond));
        show();
        Sleep(100);
        return watcher.records();
    }
}

TEST(Verdict, FirstMatchingEntryDecidesTheVerdictAndItsIcon)
{
    const std::wstring official = load_string(IDS_OFFICIAL_IMAGE);
    const std::wstring not_official = load_string(IDS_NOT_OFFICIAL_IMAGE);
    const struct
    {
        const char* situation;
        KnownImageList images;
        byte_vector digest;
        bool official;
    } cases[] = {
        {"match", {{L"one", digest_a}}, digest_a, true},
        {"no match", {{L"one", digest_b}}, digest_a, false},
        {"empty list", {}, digest_a, false},
        {"match on the last entry", {{L"one", digest_b}, {L"two", digest_b}, {L"three", digest_a}}, digest_a, true},
        {"two matches", {{L"one", digest_a}, {L"two", digest_a}}, digest_a, true},
        {"last byte differs", {{L"one", digest_a}}, with_last_byte_changed(digest_a), false},
        {"digest of another length", {{L"one", digest_a}}, byte_vector(digest_a.begin(), digest_a.end() - 1), false},
    };
    for (const auto& test : cases)
    {
        const presented shown = verdict_for(test.images, test.digest);
        EXPECT_EQ(shown.calls, 1) << test.situation;
        EXPECT_EQ(shown.text, test.official ? official : not_official) << test.situation;
        EXPECT_EQ(shown.icon, test.official ? TD_INFORMATION_ICON : TD_WARNING_ICON) << test.situation;
    }
}

TEST(Verdict, TaskDialogShowsTitleVerdictFooterAndTheProgramIcon)
{
    // Let the dialog settle (its icons are set once it exists) before reading and pressing OK.
    int looks = 0;
    const auto dialogs = shown_by([] { show_result({{L"one", digest_a}}, digest_a); },
                                  [&](const dialog_snapshot& dialog) { return ++looks > 5 && press_ok(dialog); });
    ASSERT_EQ(dialogs.size(), 1u);
    const dialog_snapshot& seen = dialogs[0].last();
    EXPECT_TRUE(seen.is_task_dialog());
    EXPECT_EQ(seen.caption, L"Halcyra");
    EXPECT_EQ(seen.main_text(), L"指定ISO文件是官方的Orlenix镜像");
    const auto links = seen.texts_of(L"SysLink");
    EXPECT_NE(std::find(links.begin(), links.end(), load_string(IDS_CREDITS_LINKS)), links.end());
    EXPECT_TRUE(seen.has_control(L"Button", IDOK));

    const HICON program_icon = LoadIconW(module_instance, MAKEINTRESOURCEW(IDI_HALCYRA));
    EXPECT_EQ(seen.big_icon, program_icon);
    EXPECT_EQ(seen.small_icon, program_icon);
}

TEST(Verdict, ClosingTheTaskDialogCountsAsShown)
{
    bool shown = false;
    const auto dialogs = shown_by([&] { shown = show_task_dialog(load_string(IDS_NOT_OFFICIAL_IMAGE), TD_WARNING_ICON); },
                                  [](const dialog_snapshot& dialog) {
                                      close_window(dialog.window);
                                      return true;
                                  });
    EXPECT_TRUE(shown);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].first().main_text(), L"指定ISO文件不是官方的Orlenix镜像");
}

TEST(Verdict, WithoutATaskDialogAMessageBoxShowsVerdictAndPlainCredits)
{
    const struct
    {
        byte_vector digest;
        UINT verdict;
        LPCWSTR icon;
    } cases[] = {{digest_a, IDS_OFFICIAL_IMAGE, IDI_INFORMATION}, {digest_b, IDS_NOT_OFFICIAL_IMAGE, IDI_WARNING}};
    for (const auto& test : cases)
    {
        presenter_answer = false;
        size_t shown_icon = 99;
        const auto dialogs = shown_by([&] { show_result({{L"one", digest_a}}, test.digest, recording_presenter); },
                                      [&](const dialog_snapshot& dialog) {
                                          Sleep(300); // drawn
                                          shown_icon = closest_icon(GetDlgItem(dialog.window, 1088),
                                                                    {LoadIconW(nullptr, IDI_INFORMATION), LoadIconW(nullptr, IDI_WARNING)});
                                          return press_ok(dialog);
                                      });
        ASSERT_EQ(dialogs.size(), 1u);
        const dialog_snapshot& seen = dialogs[0].first();
        EXPECT_TRUE(seen.is_message_box());
        EXPECT_EQ(seen.caption, L"Halcyra");
        EXPECT_EQ(seen.main_text(), load_string(test.verdict) + L"\r\n\r\n" + load_string(IDS_CREDITS_PLAIN));
        EXPECT_EQ(shown_icon, test.icon == IDI_INFORMATION ? 0u : 1u);
    }
    presenter_answer = true;
}

namespace
{
    // Points http addresses at the recorder instead of the browser while it lives.
    class recorded_browser
    {
    public:
        explicit recorded_browser(const std::wstring& record_file)
        {
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
            wchar_t previous[1024]{};
            DWORD size = sizeof(previous);
            if (RegQueryValueExW(m_key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(previous), &size) == ERROR_SUCCESS)
            {
                m_previous = previous;
            }
            set(L"\"" + executable_folder() + L"\\url_recorder.exe\" \"" + record_file + L"\" \"%1\"");
        }
        ~recorded_browser()
        {
            set(m_previous);
            RegCloseKey(m_key);
        }

    private:
        static constexpr wchar_t key_path[] = L"Software\\Classes\\http\\shell\\open\\command";

        void set(const std::wstring& command)
        {
            RegSetValueExW(m_key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
        }

        HKEY m_key = nullptr;
        std::wstring m_previous;
    };

    // Clicks link number `index` of a SysLink control of this process.
    bool click_link(HWND link_control, int index)
    {
        RECT area{};
        GetClientRect(link_control, &area);
        for (int y = area.top + 1; y < area.bottom; y += 2)
        {
            for (int x = area.left + 1; x < area.right; x += 2)
            {
                LHITTESTINFO hit{};
                hit.pt = {x, y};
                if (SendMessageW(link_control, LM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) && hit.item.iLink == index)
                {
                    PostMessageW(link_control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
                    PostMessageW(link_control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
                    return true;
                }
            }
        }
        return false;
    }

    std::wstring recorded_addresses(const std::wstring& record_file)
    {
        std::ifstream file(record_file.c_str(), std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        std::string bytes = text.str();
        if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        {
            bytes.erase(0, 3);
        }
        bytes.erase(std::remove(bytes.begin(), bytes.end(), '\r'), bytes.end());
        return from_utf8(bytes);
    }
}

TEST(Verdict, LinkClicksOpenTheCreditedSitesAndLeaveTheDialogOpen)
{
    const temporary_folder folder;
    const std::wstring record_file = folder.file(L"opened.txt");
    const recorded_browser browser(record_file);

    int step = 0;
    bool still_open_after_clicks = false;
    const auto dialogs = shown_by(
        [] { show_task_dialog(load_string(IDS_OFFICIAL_IMAGE), TD_INFORMATION_ICON); },
        [&](const dialog_snapshot& dialog) {
            HWND footer = nullptr;
            for (const auto& control : dialog.controls)
            {
                if (control.class_name == L"SysLink" && control.text.find(L"<a") != std::wstring::npos)
                {
                    footer = control.window;
                }
            }
            if (!footer)
            {
                return false;
            }
            switch (step++)
            {
            case 0: return !click_link(footer, 0);
            case 20: return !click_link(footer, 1);
            case 40: return !click_link(footer, 0);
            case 100:
                still_open_after_clicks = IsWindowVisible(dialog.window) != FALSE;
                press(dialog.window, IDOK);
                return true;
            default: return false;
            }
        });
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(still_open_after_clicks);

    std::wstring opened;
    for (int wait = 0; wait < 100 && std::count(opened.begin(), opened.end(), L'\n') < 3; ++wait)
    {
        Sleep(100);
        opened = recorded_addresses(record_file);
    }
    EXPECT_EQ(opened, L"http://ashgrove.example/\nhttp://vellacourt.example/\nhttp://ashgrove.example/\n");
}
