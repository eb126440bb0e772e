// Checks a list written by tools/publish-list against the program's own reader and the
// built program. Run by published_list_roundtrip.sh, which publishes a folder of images and
// names the folder and the list in HALCYRA_PUBLISHED_FOLDER and HALCYRA_PUBLISHED_LIST.
#include "app/resource_ids.h"
#include "app/strings.h"
#include "dialogs/dialog_watcher.h"
#include "kit/digests.h"
#include "kit/loopback_server.h"
#include "kit/test_files.h"
#include "kit/xml_documents.h"
#include "knownlist/list_document.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace
{
    std::wstring environment(const wchar_t* name)
    {
        wchar_t value[MAX_PATH]{};
        const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
        return length > 0 && length < MAX_PATH ? value : L"";
    }

    std::string file_bytes(const std::wstring& path)
    {
        std::ifstream file(path.c_str(), std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }
}

TEST(PublishedList, EveryImageIsReadBackAndOfficial)
{
    const std::wstring folder = environment(L"HALCYRA_PUBLISHED_FOLDER");
    const std::wstring list_path = environment(L"HALCYRA_PUBLISHED_LIST");
    ASSERT_FALSE(folder.empty() || list_path.empty()) << "run through tests/published_list_roundtrip.sh";
    const std::string list = file_bytes(list_path);

    // The reader sees what the program would see, from the published bytes.
    const KnownImageList images = read_known_images(parse_xml(from_utf8(list)));
    ASSERT_EQ(images.size(), 4u);
    for (const auto& image : images)
    {
        EXPECT_EQ(to_hex(image.hash), md5_hex_of_file(folder + L"\\" + image.name)) << to_utf8(image.name);
    }

    scripted_response response;
    response.body = list;
    const loopback_server server(response);
    const proxy_route route(server.port());
    for (const auto& image : images)
    {
        const program_run run = run_program(executable_folder() + L"\\Halcyra.exe", L"\"" + folder + L"\\" + image.name + L"\"");
        ASSERT_FALSE(run.dialogs.empty());
        EXPECT_EQ(run.dialogs.back().first().main_text(), load_string(IDS_OFFICIAL_IMAGE)) << to_utf8(image.name);
    }
}
