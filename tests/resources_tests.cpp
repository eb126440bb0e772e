#include "app/resource_ids.h"
#include "app/strings.h"
#include "kit/test_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <msxml2.h>
#include <objbase.h>

namespace
{
    const std::wstring program_path = executable_folder() + L"\\Halcyra.exe";

    struct module_deleter
    {
        void operator()(HMODULE module) const noexcept { FreeLibrary(module); }
    };
    using unique_module = std::unique_ptr<std::remove_pointer_t<HMODULE>, module_deleter>;

    unique_module program_as_data()
    {
        return unique_module(LoadLibraryExW(program_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    }

    std::string resource_bytes(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language)
    {
        const HRSRC resource = FindResourceExW(module, type, name, language);
        if (!resource)
        {
            return {};
        }
        const auto* data = static_cast<const char*>(LockResource(LoadResource(module, resource)));
        return std::string(data, SizeofResource(module, resource));
    }

    constexpr WORD chinese_neutral = MAKELANGID(LANG_CHINESE, SUBLANG_NEUTRAL);
    constexpr WORD english_us = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    constexpr WORD neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
}

TEST(Resources, StringTableHoldsEveryTextExactly)
{
    const struct
    {
        UINT id;
        const wchar_t* text;
    } strings[] = {
        {101, L"Halcyra"},
        {102, L"验证ISO文件"},
        {103, L"检查"},
        {104, L"指定ISO文件是官方的Orlenix镜像"},
        {105, L"指定ISO文件不是官方的Orlenix镜像"},
        {106, L"选择Orlenix DVD映像文件"},
        {107, L"DVD images (*.iso)|*.iso"},
        {108, L"下载列表已知的Orlenix映像是无效的"},
        {109, L"无法下载的清单已知的Orlenix的图像"},
        {110, L"下载列表中已知的Orlenix图片"},
        {111, L"Halcyra <a href=\"http://ashgrove.example/\">Ashgrove</a> 与 "
              L"<a href=\"http://vellacourt.example/\">Vellacourt</a>."},
        {112, L"Halcyra Ashgrove (http://ashgrove.example/) 与 Vellacourt (http://vellacourt.example/)."},
        {100, L""},
        {113, L""},
        {65535, L""},
    };
    for (const auto& entry : strings)
    {
        EXPECT_EQ(load_string(entry.id), entry.text) << "string " << entry.id;
    }
    // Spot-check the code units themselves, independent of how this file was decoded.
    EXPECT_EQ(load_string(103), std::wstring(L"\x68c0\x67e5"));
}

TEST(Resources, ProgramStringTableIsChineseOnly)
{
    const unique_module program = program_as_data();
    ASSERT_TRUE(program) << "cannot load Halcyra.exe as data";
    // Ids 96 to 111 form block 7, ids 112 to 127 block 8.
    EXPECT_FALSE(resource_bytes(program.get(), RT_STRING, MAKEINTRESOURCEW(7), chinese_neutral).empty());
    EXPECT_FALSE(resource_bytes(program.get(), RT_STRING, MAKEINTRESOURCEW(8), chinese_neutral).empty());
    EXPECT_TRUE(resource_bytes(program.get(), RT_STRING, MAKEINTRESOURCEW(7), english_us).empty());
}

TEST(Resources, IconGroupHoldsTheTenImagesInOrder)
{
    const unique_module program = program_as_data();
    ASSERT_TRUE(program);
    const std::string group = resource_bytes(program.get(), RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_HALCYRA), neutral);
    ASSERT_GE(group.size(), 6u);

#pragma pack(push, 2)
    struct group_entry
    {
        BYTE width, height, colours, reserved;
        WORD planes, bit_count;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    static_assert(sizeof(group_entry) == 14);
    const auto count = *reinterpret_cast<const WORD*>(group.data() + 4);
    ASSERT_EQ(count, 10);
    ASSERT_EQ(group.size(), 6u + 10 * sizeof(group_entry));

    const struct
    {
        int size, bits;
    } expected[] = {{48, 4}, {32, 4}, {16, 4}, {48, 8}, {32, 8}, {16, 8}, {256, 32}, {48, 32}, {32, 32}, {16, 32}};
    for (int index = 0; index < 10; ++index)
    {
        const auto& entry = reinterpret_cast<const group_entry*>(group.data() + 6)[index];
        const int size = entry.width == 0 ? 256 : entry.width;
        EXPECT_EQ(entry.id, index + 1);
        EXPECT_EQ(size, expected[index].size) << "image " << index + 1;
        EXPECT_EQ(entry.height == 0 ? 256 : entry.height, expected[index].size) << "image " << index + 1;
        EXPECT_EQ(entry.bit_count, expected[index].bits) << "image " << index + 1;

        const std::string image = resource_bytes(program.get(), RT_ICON, MAKEINTRESOURCEW(entry.id), neutral);
        ASSERT_EQ(image.size(), entry.bytes) << "image " << index + 1;
        if (size == 256)
        {
            EXPECT_EQ(image.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        }
        else
        {
            const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
            EXPECT_EQ(header->biWidth, size);
            EXPECT_EQ(header->biHeight, size * 2); // colour bits and mask
            EXPECT_EQ(header->biBitCount, expected[index].bits);
        }
    }
    EXPECT_NE(LoadIconW(module_instance, MAKEINTRESOURCEW(IDI_HALCYRA)), nullptr);
}

TEST(Resources, ManifestIsValidXmlWithEveryElement)
{
    const unique_module program = program_as_data();
    ASSERT_TRUE(program);
    const std::string manifest = resource_bytes(program.get(), RT_MANIFEST, MAKEINTRESOURCEW(1), english_us);
    ASSERT_FALSE(manifest.empty());

    IXMLDOMDocument* document = nullptr;
    const CLSID dom_document_30{0xF5078F32, 0xC551, 0x11D3, {0x89, 0xB9, 0x00, 0x00, 0xF8, 0x1F, 0xE2, 0x21}};
    const IID dom_document{0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
    ASSERT_EQ(CoCreateInstance(dom_document_30, nullptr, CLSCTX_ALL, dom_document, reinterpret_cast<void**>(&document)), S_OK);
    const std::wstring text(manifest.begin(), manifest.end());
    BSTR xml = SysAllocString(text.c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    document->loadXML(xml, &loaded);
    SysFreeString(xml);
    document->Release();
    EXPECT_EQ(loaded, VARIANT_TRUE) << "the manifest is not well-formed XML";

    for (const char* expected : {
             R"(<assemblyIdentity type="win32" name="Halcyra" version="1.0.0.0" processorArchitecture="*"/>)",
             "<description>Halcyra</description>",
             R"(<dependency optional="yes">)",
             R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
             R"(publicKeyToken="6595b64144ccf1df" language="*" processorArchitecture="*")",
             R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)"})
    {
        EXPECT_NE(manifest.find(expected), std::string::npos) << expected;
    }
}

// The test executables carry the same resources as the program: their manifest is the
// program's, and it must bring in version 6 of the common controls (under Wine, a module
// below winsxs).
TEST(Resources, ManifestSelectsCommonControlsVersion6)
{
    const HMODULE common_controls = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(common_controls, nullptr);
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(common_controls, path, MAX_PATH);
    std::wstring lower = path;
    for (auto& c : lower)
    {
        c = static_cast<wchar_t>(towlower(c));
    }
    EXPECT_NE(lower.find(L"winsxs"), std::wstring::npos) << lower.c_str();
    EXPECT_NE(GetProcAddress(common_controls, "TaskDialogIndirect"), nullptr);
}

TEST(Resources, VersionBlockHasEveryValue)
{
    const unique_module program = program_as_data();
    ASSERT_TRUE(program);
    EXPECT_FALSE(resource_bytes(program.get(), RT_VERSION, MAKEINTRESOURCEW(1), chinese_neutral).empty());

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(program_path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(program_path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x17u);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS, 0u);
    EXPECT_EQ(fixed->dwFileDateLS, 0u);

    const struct
    {
        const wchar_t* key;
        const wchar_t* value;
    } strings[] = {
        {L"FileDescription", L"Halcyra"}, {L"FileVersion", L"1.0.0.0"},      {L"InternalName", L"Halcyra"},
        {L"OriginalFilename", L"Halcyra.exe"}, {L"ProductName", L"Halcyra"}, {L"ProductVersion", L"1.0.0.0"},
    };
    for (const auto& entry : strings)
    {
        wchar_t* value = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\000403a8\\") + entry.key;
        ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << entry.key;
        EXPECT_EQ(std::wstring(value), entry.value);
    }
    wchar_t* copyright = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\000403a8\\LegalCopyright",
                               reinterpret_cast<void**>(&copyright), &length));
    EXPECT_NE(std::wstring(copyright).find(L"Halcyra"), std::wstring::npos);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0004);
    EXPECT_EQ(translation[1], 0x03A8);
}
