#include "app/resource_ids.h"
#include "app/strings.h"
#include "kit/broken_under_wine.h"
#include "kit/digests.h"
#include "dialogs/dialog_watcher.h"
#include "kit/loopback_server.h"
#include "kit/test_files.h"
#include "kit/xml_documents.h"

#include <gtest/gtest.h>

// The built Halcyra.exe, unchanged, as a user starts it: its request for the compiled-in
// list address reaches the loopback server through the proxy setting of the prefix.
namespace
{
    const std::wstring program = executable_folder() + L"\\Halcyra.exe";

    struct list_server
    {
        loopback_server server;
        proxy_route route{server.port()};

        explicit list_server(const std::vector<std::pair<std::string, std::string>>& entries) :
            server(response_for(entries))
        {
        }

        static scripted_response response_for(const std::vector<std::pair<std::string, std::string>>& entries)
        {
            scripted_response response;
            response.body = list_document(entries);
            response.headers = {{"Content-Type", "text/xml"}};
            response.delay_ms = 500; // long enough to see the progress dialog
            return response;
        }
    };

    std::vector<dialog_snapshot> firsts(const program_run& run)
    {
        std::vector<dialog_snapshot> dialogs;
        for (const auto& record : run.dialogs)
        {
            dialogs.push_back(record.first());
        }
        return dialogs;
    }

    const dialog_record* find_dialog(const program_run& run, bool (dialog_snapshot::*kind)() const)
    {
        for (const auto& record : run.dialogs)
        {
            if ((record.first().*kind)())
            {
                return &record;
            }
        }
        return nullptr;
    }

    std::wstring quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

    bool is_file_dialog(const dialog_snapshot& dialog) { return dialog.caption == load_string(IDS_CHOOSER_TITLE); }

    // Types path into the file-open dialog and presses Open.
    bool choose(const dialog_snapshot& dialog, const std::wstring& path)
    {
        for (const auto& control : dialog.controls)
        {
            if (control.class_name == L"Edit")
            {
                SendMessageW(control.window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
                press(dialog.window, IDOK);
                return true;
            }
        }
        return false;
    }
}

TEST(Program, OfficialAndNotOfficialVerdicts)
{
    const temporary_folder folder;
    const std::string official_bytes = patterned_bytes(200000);
    const std::wstring official = folder.write(L"official.iso", official_bytes);
    const std::wstring other = folder.write(L"other.iso", "not an official image");
    const list_server list({{"Orlenix 1", md5_hex("something else")}, {"Orlenix 2", md5_hex(official_bytes)}});

    const program_run good = run_program(program, quoted(official));
    EXPECT_FALSE(good.timed_out);
    EXPECT_EQ(good.exit_code, 0u);
    const dialog_record* verdict = find_dialog(good, &dialog_snapshot::is_task_dialog);
    ASSERT_NE(verdict, nullptr);
    EXPECT_EQ(verdict->first().main_text(), L"指定ISO文件是官方的Orlenix镜像");
    EXPECT_EQ(verdict->first().caption, L"Halcyra");
    const dialog_record* progress = find_dialog(good, &dialog_snapshot::is_progress_dialog);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->first().caption, L"Halcyra");
    EXPECT_EQ(progress->first().text_of(L"Static", 103), L"验证ISO文件");

    const program_run bad = run_program(program, quoted(other));
    EXPECT_EQ(bad.exit_code, 0u);
    verdict = find_dialog(bad, &dialog_snapshot::is_task_dialog);
    ASSERT_NE(verdict, nullptr);
    EXPECT_EQ(verdict->first().main_text(), L"指定ISO文件不是官方的Orlenix镜像");

    const auto requests = list.server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path(), "/halcyra/orlenixhash.xml");
    EXPECT_EQ(requests[0].header("User-Agent"), "Halcyra/1.0");
}

TEST(Program, MissingFileShowsOneErrorBoxAndNoProgress)
{
    const temporary_folder folder;
    const list_server list({{"Orlenix 1", md5_hex("x")}});
    const program_run run = run_program(program, quoted(folder.file(L"missing.iso")));
    EXPECT_EQ(run.exit_code, 0u);
    const auto dialogs = firsts(run);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].is_message_box());
    EXPECT_EQ(dialogs[0].caption, L"Halcyra");
    EXPECT_EQ(dialogs[0].main_text(), system_message(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(list.server.requests().empty());
}

TEST(Program, ListNotFoundShowsProgressThenTheErrorBox)
{
    const temporary_folder folder;
    const std::wstring image = folder.write(L"image.iso", "data");
    scripted_response not_found;
    not_found.status = 404;
    not_found.reason = "Not Found";
    not_found.delay_ms = 1000;
    loopback_server server(not_found);
    const proxy_route route(server.port());

    const program_run run = run_program(program, quoted(image));
    EXPECT_EQ(run.exit_code, 0u);
    const auto dialogs = firsts(run);
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_TRUE(dialogs[0].is_progress_dialog());
    EXPECT_TRUE(dialogs[1].is_message_box());
    EXPECT_EQ(dialogs[1].main_text(), L"无法下载的清单已知的Orlenix的图像404 Not Found");
    EXPECT_EQ(dialogs[1].caption, L"Halcyra");
}

TEST(Program, ArgumentsQuotedPathsAndExtraArgumentsAreIgnored)
{
    const temporary_folder folder;
    const std::string bytes = patterned_bytes(5000);
    const std::wstring image = folder.write(L"an image with blanks.iso", bytes);
    const list_server list({{"Orlenix", md5_hex(bytes)}});

    const program_run run = run_program(program, quoted(image) + L" " + quoted(folder.file(L"missing.iso")) + L" third");
    EXPECT_EQ(run.exit_code, 0u);
    // The verdict, and no error box for the other arguments.
    const auto dialogs = firsts(run);
    ASSERT_FALSE(dialogs.empty());
    EXPECT_EQ(dialogs.back().main_text(), L"指定ISO文件是官方的Orlenix镜像");
    EXPECT_EQ(find_dialog(run, &dialog_snapshot::is_message_box), nullptr);
}

TEST(Program, ChooserCancelledEndsQuietly)
{
    const list_server list({{"Orlenix", md5_hex("x")}});
    for (const std::wstring arguments : {L"", L"\"\""})
    {
        const program_run run = run_program(program, arguments, [](const dialog_snapshot& dialog) {
            if (is_file_dialog(dialog))
            {
                press(dialog.window, IDCANCEL);
                return true;
            }
            return press_ok(dialog);
        });
        EXPECT_FALSE(run.timed_out);
        EXPECT_EQ(run.exit_code, 0u);
        const auto dialogs = firsts(run);
        ASSERT_EQ(dialogs.size(), 1u) << "arguments: " << to_utf8(arguments);
        EXPECT_TRUE(is_file_dialog(dialogs[0]));
    }
    EXPECT_TRUE(list.server.requests().empty());
}

TEST(Program, ChooserPicksTheImage)
{
    const temporary_folder folder;
    const std::string bytes = patterned_bytes(12345);
    const std::wstring image = folder.write(L"chosen.iso", bytes);
    const list_server list({{"Orlenix", md5_hex(bytes)}});

    const program_run run = run_program(program, L"", [&](const dialog_snapshot& dialog) {
        return is_file_dialog(dialog) ? choose(dialog, image) : press_ok(dialog);
    });
    EXPECT_EQ(run.exit_code, 0u);
    const auto dialogs = firsts(run);
    ASSERT_GE(dialogs.size(), 2u);
    EXPECT_TRUE(is_file_dialog(dialogs[0]));
    EXPECT_EQ(dialogs.back().main_text(), L"指定ISO文件是官方的Orlenix镜像");
    EXPECT_EQ(find_dialog(run, &dialog_snapshot::is_message_box), nullptr);
}

TEST(Program, CancelWhileHashingEndsWithoutAVerdict)
{
    const temporary_folder folder;
    const std::wstring image = folder.file(L"large.iso");
    make_zero_file(image, 4LL * 1024 * 1024 * 1024);
    const list_server list({{"Orlenix", md5_hex("x")}});

    bool cancelled = false;
    const program_run run = run_program(program, quoted(image), [&](const dialog_snapshot& dialog) {
        if (dialog.is_progress_dialog() && dialog.text_of(L"Static", 104) == L"检查" && dialog.progress_position >= 1)
        {
            press(dialog.window, IDCANCEL);
            return cancelled = true;
        }
        return press_ok(dialog);
    });
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 0u);
    const auto dialogs = firsts(run);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].is_progress_dialog());
}

TEST(Program, PathTooLongForTheChooserIsADialogFailure)
{
    SKIP_IF_BROKEN_UNDER_WINE();
    const temporary_folder folder;
    const std::wstring too_long = folder.file(std::wstring(250, L'n') + L".iso"); // past 261 characters in all
    const program_run run = run_program(program, L"", [&](const dialog_snapshot& dialog) {
        return is_file_dialog(dialog) ? choose(dialog, too_long) : press_ok(dialog);
    });
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 0u);
    const dialog_record* error = find_dialog(run, &dialog_snapshot::is_message_box);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->first().main_text(), L"Failed to show the open file dialog.");
    EXPECT_EQ(error->first().caption, L"Halcyra");
}
