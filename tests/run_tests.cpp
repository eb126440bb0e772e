#include "list_address.h"
#include "app/progress_percent.h"
#include "app/resource_ids.h"
#include "app/strings.h"
#include "app/verification_run.h"
#include "fakes/fake_progress_dialog.h"
#include "fakes/fake_xml_http_request.h"
#include "kit/caught.h"
#include "kit/digests.h"
#include "dialogs/dialog_watcher.h"
#include "kit/test_files.h"
#include "kit/xml_documents.h"

#include <gtest/gtest.h>

#include <iostream>

namespace
{
    // One verification run with a recording progress dialog and a scripted list request in
    // place of the shell's and MSXML's classes; verdicts are read from the real task dialog.
    struct run_bench
    {
        temporary_folder folder;
        std::vector<std::wstring> log;
        fake_progress_dialog dialog{log};
        fake_xml_http_request request;
        com_ptr<IXMLDOMDocument2> list;
        std::vector<dialog_record> verdicts;

        explicit run_bench(const std::string& listed_bytes = "listed image")
        {
            request.log = &log;
            list = parse_xml(from_utf8(list_document({{"Orlenix 1", md5_hex(listed_bytes)}})));
            request.response = list.get();
        }

        // Runs the verification on a file with these bytes.
        void run(const std::string& image_bytes)
        {
            run_path(folder.write(L"image.iso", image_bytes));
        }

        void run_path(const std::wstring& path)
        {
            const fake_class_registration dialog_class(class_id::progress_dialog, static_cast<IProgressDialog*>(&dialog));
            const fake_class_registration request_class(class_id::xml_http_30, static_cast<IXMLHTTPRequest*>(&request));
            dialog_watcher watcher;
            run_verification(path);
            Sleep(100);
            verdicts = watcher.records();
        }

        std::vector<std::wstring> progress() const
        {
            std::vector<std::wstring> calls;
            for (const auto& call : dialog.calls_named(L"SetProgress"))
            {
                calls.push_back(call.substr(12, call.size() - 13));
            }
            return calls;
        }
    };

    std::vector<std::wstring> progress_from(int first, int last, std::initializer_list<int> except = {})
    {
        std::vector<std::wstring> calls;
        for (int percent = first; percent <= last; ++percent)
        {
            if (std::find(except.begin(), except.end(), percent) == except.end())
            {
                calls.push_back(std::to_wstring(percent) + L",100");
            }
        }
        return calls;
    }

}

TEST(VerificationRun, SetsUpTheDialogDownloadsThenHashesAndShowsTheVerdict)
{
    run_bench bench("0123456789");
    bench.run(std::string(4096, 'x') + std::string(4096, 'y') + std::string(1808, 'z'));

    const std::vector<std::wstring> expected{
        L"SetTitle(Halcyra)",
        L"SetLine(1,验证ISO文件,0)",
        L"SetLine(2,下载列表中已知的Orlenix图片,0)",
        L"SetAnimation(module,165)",
        L"StartProgressDialog(0,0,2)",
        L"send()",
        L"SetLine(2,检查,1)",
        L"Timer(1)",
        L"SetProgress(40,100)",
        L"HasUserCancelled()",
        L"SetProgress(81,100)",
        L"HasUserCancelled()",
        L"SetProgress(100,100)",
        L"HasUserCancelled()",
        L"StopProgressDialog()",
    };
    EXPECT_EQ(bench.log, expected);
    EXPECT_EQ(bench.request.opened_address, known_image_list_address);
    EXPECT_EQ(bench.dialog.references.outstanding(), 0);
    EXPECT_EQ(bench.request.references.outstanding(), 0);
    ASSERT_EQ(bench.verdicts.size(), 1u);
    EXPECT_EQ(bench.verdicts[0].first().main_text(), load_string(IDS_NOT_OFFICIAL_IMAGE));
}

TEST(VerificationRun, ListedImageIsOfficial)
{
    const std::string image = patterned_bytes(3 * 4096 + 17);
    run_bench bench(image);
    bench.run(image);
    ASSERT_EQ(bench.verdicts.size(), 1u);
    EXPECT_EQ(bench.verdicts[0].first().main_text(), load_string(IDS_OFFICIAL_IMAGE));
    EXPECT_EQ(bench.progress().back(), L"100,100");
}

TEST(VerificationRun, ProgressIsSentOnlyWhenTheWholePercentChanges)
{
    run_bench bench;
    bench.run(patterned_bytes(409600));
    EXPECT_EQ(bench.progress(), progress_from(1, 100, {29, 58}));
    EXPECT_EQ(bench.dialog.polls, 100);
}

TEST(VerificationRun, PercentIsTheTruncatedQuotientTimesOneHundred)
{
    EXPECT_EQ(percent_done(29 * 4096, 409600), 28u); // 0.29 * 100.0 falls just below 29
    EXPECT_EQ(percent_done(57 * 4096, 409600), 56u);
    EXPECT_EQ(percent_done(58 * 4096, 409600), 57u);
    EXPECT_EQ(percent_done(59 * 4096, 409600), 59u);
    EXPECT_EQ(percent_done(409600, 409600), 100u);
    EXPECT_EQ(percent_done(1, 10LL * 1024 * 1024 * 1024), 0u);
    // A file that was empty (or unreadable in size) when measured and grew since.
    EXPECT_EQ(percent_done(4096, 0), 100u);
    EXPECT_EQ(percent_done(4096, -1), 100u);
}

TEST(VerificationRun, EmptyFileIsHashedWithoutProgressOrPolls)
{
    run_bench bench("");
    bench.dialog.cancel_from_poll = 1; // a cancel cannot be noticed: nothing is polled
    bench.run("");
    EXPECT_TRUE(bench.progress().empty());
    EXPECT_EQ(bench.dialog.polls, 0);
    ASSERT_EQ(bench.verdicts.size(), 1u);
    EXPECT_EQ(bench.verdicts[0].first().main_text(), load_string(IDS_OFFICIAL_IMAGE)); // the digest of nothing
}

TEST(VerificationRun, CancelEndsTheRunAfterTheCurrentChunkWithoutAVerdict)
{
    for (const int cancel_at : {1, 3})
    {
        run_bench bench;
        bench.dialog.cancel_from_poll = cancel_at;
        bench.run(patterned_bytes(409600));
        EXPECT_EQ(bench.dialog.polls, cancel_at);
        EXPECT_EQ(bench.progress(), progress_from(1, cancel_at));
        EXPECT_EQ(bench.dialog.calls_named(L"StopProgressDialog").size(), 1u);
        EXPECT_TRUE(bench.verdicts.empty());
    }
}

TEST(VerificationRun, CancelReportedAfterTheLastChunkStillSuppressesTheVerdict)
{
    run_bench bench;
    bench.dialog.cancel_from_poll = 2;
    bench.run(patterned_bytes(8000));
    EXPECT_EQ(bench.progress(), (std::vector<std::wstring>{L"51,100", L"100,100"}));
    EXPECT_TRUE(bench.verdicts.empty());
}

TEST(VerificationRun, FailuresAfterTheStartCloseTheDialogAndPassUnchanged)
{
    {
        run_bench bench;
        bench.request.status = 404;
        bench.request.status_text = L"Not Found";
        try
        {
            bench.run(patterned_bytes(5000));
            FAIL() << "no failure";
        }
        catch (const windows_error&)
        {
            FAIL() << "a status failure is not a windows_error";
        }
        catch (const wexception<std::runtime_error>& error)
        {
            EXPECT_EQ(error.message(), L"无法下载的清单已知的Orlenix的图像404 Not Found");
            EXPECT_EQ(error.source_file(), L"Halcyra");
        }
        EXPECT_EQ(bench.dialog.calls_named(L"StopProgressDialog").size(), 1u);
        EXPECT_TRUE(bench.dialog.calls_named(L"Timer").empty()); // the image is not read
        EXPECT_EQ(bench.dialog.references.outstanding(), 0);
    }
    for (const wchar_t* failing : {L"SetProgress", L"Timer", L"StopProgressDialog"})
    {
        run_bench bench;
        bench.dialog.failures[failing] = static_cast<HRESULT>(0x8badf00d);
        const windows_error error = caught<windows_error>([&] { bench.run(patterned_bytes(5000)); });
        EXPECT_EQ(error.code(), 0x8badf00du) << failing;
        EXPECT_EQ(error.message(), system_message(0x8badf00d)) << failing;
        EXPECT_EQ(error.source_file(), L"Halcyra") << failing;
        const size_t stops = std::wstring(failing) == L"StopProgressDialog" ? 2 : 1;
        EXPECT_EQ(bench.dialog.calls_named(L"StopProgressDialog").size(), stops) << failing;
        EXPECT_TRUE(bench.verdicts.empty()) << failing;
    }
}

TEST(VerificationRun, FailedSetUpEndsTheRunBeforeTheDialogStarts)
{
    run_bench bench;
    bench.dialog.failures[L"SetTitle"] = E_FAIL;
    const windows_error error = caught<windows_error>([&] { bench.run("data"); });
    EXPECT_EQ(error.code(), static_cast<DWORD>(E_FAIL));
    EXPECT_TRUE(bench.dialog.calls_named(L"StartProgressDialog").empty());
    EXPECT_TRUE(bench.dialog.calls_named(L"StopProgressDialog").empty());
    EXPECT_EQ(bench.request.sends, 0);
}

TEST(VerificationRun, MissingFileFailsBeforeAnyDialogOrDownload)
{
    run_bench bench;
    const windows_error error = caught<windows_error>([&] { bench.run_path(bench.folder.file(L"missing.iso")); });
    EXPECT_EQ(error.code(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(error.message(), system_message(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(bench.log.empty());
    EXPECT_EQ(bench.request.sends, 0);
}

TEST(VerificationRun, SecondLineNamesNothingButTheFormatText)
{
    // The format text has no placeholder: the file name, with or without folders, never shows.
    run_bench bench;
    temporary_folder folder;
    const std::wstring path = folder.write(L"a name with blanks.iso", "data");
    bench.run_path(path);
    EXPECT_EQ(bench.dialog.calls_named(L"SetLine")[2], L"SetLine(2,检查,1)");
}

TEST(VerificationRun, GibibyteImageGetsAtMostOneHundredProgressCalls)
{
    run_bench bench;
    const std::wstring path = bench.folder.file(L"large.iso");
    make_zero_file(path, 1LL << 30);
    bench.run_path(path);
    const auto calls = bench.progress();
    std::cout << "SetProgress calls for a 1 GiB image: " << calls.size() << "\n";
    EXPECT_EQ(calls, progress_from(1, 100));
    EXPECT_EQ(bench.dialog.polls, (1 << 30) / 4096);
}
