#include "app/errors.h"

#include <gtest/gtest.h>

namespace
{
    std::wstring format_message(DWORD code)
    {
        wchar_t* buffer = nullptr;
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0,
                       nullptr);
        std::wstring text = buffer ? buffer : L"";
        LocalFree(buffer);
        return text;
    }
}

TEST(ErrorTypes, KnownCodeKeepsTheSystemTextWithItsLineBreak)
{
    const windows_error error(ERROR_FILE_NOT_FOUND);
    const std::wstring expected = format_message(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(error.message(), expected);
    EXPECT_EQ(error.message().substr(error.message().size() - 2), L"\r\n");
    EXPECT_EQ(error.code(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(std::string(error.what()), to_narrow(expected));
}

TEST(ErrorTypes, CodeWithoutSystemTextGivesLowerCaseHexWithoutPadding)
{
    EXPECT_EQ(windows_error(48879).message(), L"Error code: 0xbeef");
    EXPECT_EQ(std::string(windows_error(48879).what()), "Error code: 0xbeef");
    EXPECT_EQ(com_error(static_cast<HRESULT>(0x8badf00d)).message(), L"Error code: 0x8badf00d");
    EXPECT_EQ(com_error(static_cast<HRESULT>(0x8badf00d)).code(), 0x8badf00du);
}

TEST(ErrorTypes, ComErrorWithDescriptionKeepsItUnchanged)
{
    const com_error error(L"line one\r\nline two", E_FAIL);
    EXPECT_EQ(error.message(), L"line one\r\nline two");
    EXPECT_EQ(error.code(), static_cast<DWORD>(E_FAIL));
}

TEST(ErrorTypes, StampingSetsTheLocationOnlyAndCopiesKeepEverything)
{
    const windows_error unstamped(L"message", 7);
    EXPECT_EQ(unstamped.source_file(), L"");
    EXPECT_EQ(unstamped.source_line(), 0);

    const windows_error stamped = with_location(unstamped, L"File", 42);
    EXPECT_EQ(stamped.message(), L"message");
    EXPECT_EQ(stamped.code(), 7u);
    EXPECT_EQ(stamped.source_file(), L"File");
    EXPECT_EQ(stamped.source_line(), 42);

    const windows_error first_copy = stamped;
    const windows_error second_copy = first_copy;
    EXPECT_EQ(second_copy.message(), L"message");
    EXPECT_EQ(std::string(second_copy.what()), "message");
    EXPECT_EQ(second_copy.code(), 7u);
    EXPECT_EQ(second_copy.source_file(), L"File");
    EXPECT_EQ(second_copy.source_line(), 42);
}

TEST(ErrorTypes, FamilyIsCaughtThroughItsRoot)
{
    try
    {
        throw with_location(com_error(L"described", E_FAIL), L"Halcyra", 1);
    }
    catch (const wexception<std::runtime_error>& error)
    {
        EXPECT_EQ(error.message(), L"described");
        EXPECT_EQ(error.source_file(), L"Halcyra");
        return;
    }
    FAIL() << "not caught as wexception<runtime_error>";
}

TEST(ErrorTypes, EmptyMessageGivesEmptyNarrowText)
{
    EXPECT_EQ(to_narrow(L""), "");
    EXPECT_STREQ(wexception<std::runtime_error>(L"").what(), "");
}

// Run by CTest under a Chinese (PRC) locale, which makes Wine's ANSI code page 936.
TEST(ErrorTypes, NarrowTextUnderCodePage936)
{
    if (GetACP() != 936)
    {
        GTEST_SKIP() << "needs ANSI code page 936; the test suite runs this test under LC_ALL=zh_CN.UTF-8";
    }
    const wexception<std::runtime_error> error(L"\x9a8c\x8bc1ISO"); // 验证ISO
    EXPECT_EQ(std::string(error.what()).size(), 7u);
    EXPECT_EQ(std::string(error.what()), "\xd1\xe9\xd6\xa4ISO");
}
