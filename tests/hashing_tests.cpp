#include "hashing/CryptoHashAlgorithm.h"
#include "hashing/File.h"
#include "app/errors.h"
#include "kit/caught.h"
#include "kit/digests.h"
#include "kit/test_files.h"

#include <gtest/gtest.h>

namespace
{
    std::string md5_of(const std::string& bytes)
    {
        return md5_hex(bytes);
    }
}

TEST(CryptoHashAlgorithm, Rfc1321SuiteAndPaddingBoundaries)
{
    const struct
    {
        std::string input;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {std::string(80, '\0'), nullptr}, // replaced below: eight times "1234567890"
        {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
        {std::string(119, 'a'), "8a7bd0732ed6a28ce75f6dabc90e1613"},
        {std::string(120, 'a'), "5f61c0ccad4cac44c75ff505e1f1e537"},
        {std::string(128, 'a'), "e510683b3f5ffe4093d021808bc6ff70"},
    };
    std::string eighty;
    for (int i = 0; i < 8; ++i)
    {
        eighty += "1234567890";
    }
    for (const auto& test : cases)
    {
        const std::string input = test.digest ? test.input : eighty;
        const char* expected = test.digest ? test.digest : "57edf4a22be3c955ac49da2e2107b67a";
        EXPECT_EQ(md5_of(input), expected) << "input of " << input.size() << " bytes";
    }
}

TEST(CryptoHashAlgorithm, DigestIsSixteenBytesAndNothingHashedIsTheEmptyDigest)
{
    CryptoHashAlgorithm hash;
    const byte_vector digest = hash.GetHashValue();
    EXPECT_EQ(digest.size(), 16u);
    EXPECT_EQ(to_hex(digest), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(CryptoHashAlgorithm, OnlyTheCountedBytesAreHashedAndTheCountIsBounded)
{
    CryptoHashAlgorithm hash;
    const byte_vector buffer{'a', 'b', 'c', 'x', 'y'};
    hash.HashData(buffer, 3);
    EXPECT_EQ(to_hex(hash.GetHashValue()), "900150983cd24fb0d6963f7d28e17f72");

    CryptoHashAlgorithm whole;
    EXPECT_NO_THROW(whole.HashData(buffer, 5));
    try
    {
        whole.HashData(buffer, 6);
        FAIL() << "a count past the buffer was accepted";
    }
    catch (const std::invalid_argument& error)
    {
        EXPECT_STREQ(error.what(), "size");
    }
}

TEST(CryptoHashAlgorithm, FileHashedInChunksEqualsTheOnePieceDigest)
{
    const temporary_folder folder;
    for (const size_t size : {size_t{4096}, size_t{3 * 4096 + 100}, size_t{409600}, size_t{1}})
    {
        const std::string bytes = patterned_bytes(size);
        const std::wstring path = folder.write(L"image.iso", bytes);
        EXPECT_EQ(md5_hex_of_file(path), md5_of(bytes)) << size << " bytes";
    }
}

TEST(File, MissingFileFailsWithTheSystemTextForFileNotFound)
{
    const temporary_folder folder;
    const windows_error error = caught<windows_error>([&] { File file(folder.file(L"missing.iso")); });
    EXPECT_EQ(error.code(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(error.message(), system_message(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(error.source_file(), L"File");
    EXPECT_NE(error.source_line(), 0);
}

TEST(File, FileOpenForWritingElsewhereIsASharingViolation)
{
    const temporary_folder folder;
    const std::wstring path = folder.write(L"busy.iso", "data");
    const HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    const windows_error error = caught<windows_error>([&] { File file(path); });
    CloseHandle(writer);
    EXPECT_EQ(error.code(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(error.message(), system_message(ERROR_SHARING_VIOLATION));

    // Other readers are fine.
    const HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NO_THROW(File file(path));
    CloseHandle(reader);
}

TEST(File, EmptyFileHasSizeZeroAndReadsNothing)
{
    const temporary_folder folder;
    File file(folder.write(L"empty.iso", ""));
    byte_vector buffer(4096, 0xAA);
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_EQ(file.Read(buffer), 0u);
    EXPECT_EQ(buffer, byte_vector(4096, 0xAA));
}

TEST(File, LastChunkHasItsTrueCountAndLeavesTheRestOfTheBuffer)
{
    const temporary_folder folder;
    const std::string bytes = patterned_bytes(4096 + 10);
    File file(folder.write(L"image.iso", bytes));
    byte_vector buffer(4096, 0);

    ASSERT_EQ(file.Read(buffer), 4096u);
    const byte_vector first_chunk = buffer;
    ASSERT_EQ(file.Read(buffer), 10u);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 10), bytes.substr(4096));
    EXPECT_TRUE(std::equal(buffer.begin() + 10, buffer.end(), first_chunk.begin() + 10));
    EXPECT_EQ(buffer.size(), 4096u);

    const byte_vector before = buffer;
    EXPECT_EQ(file.Read(buffer), 0u);
    EXPECT_EQ(file.Read(buffer), 0u);
    EXPECT_EQ(buffer, before);
}

TEST(File, FileOverFourGibibytesReportsItsFullSize)
{
    const temporary_folder folder;
    const std::wstring path = folder.file(L"large.iso");
    const std::int64_t size = 5LL * 1024 * 1024 * 1024 + 123;
    make_zero_file(path, size);
    File file(path);
    EXPECT_EQ(file.GetSize(), size);
}
