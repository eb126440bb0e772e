#include "app/resource_ids.h"
#include "app/strings.h"
#include "fakes/failing_xml_document.h"
#include "fakes/fake_xml_http_request.h"
#include "kit/caught.h"
#include "kit/loopback_server.h"
#include "kit/test_files.h"
#include "kit/xml_documents.h"
#include "knownlist/list_document.h"
#include "knownlist/list_download.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

namespace
{
    const std::string hash_a = "0123456789abcdef0123456789abcdef";
    const std::string hash_b = "fedcba9876543210fedcba9876543210";
    const byte_vector bytes_a{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};

    std::wstring list_invalid() { return load_string(IDS_LIST_INVALID); }
    std::wstring download_failed() { return load_string(IDS_LIST_DOWNLOAD_FAILED); }

    // The message of the plain wexception (not a windows_error) that action throws.
    template <class Action>
    std::wstring plain_failure(Action action)
    {
        try
        {
            action();
        }
        catch (const windows_error& error)
        {
            return L"unexpected windows_error: " + error.message();
        }
        catch (const wexception<std::runtime_error>& error)
        {
            return error.message();
        }
        return L"nothing thrown";
    }

    KnownImageList read(const std::string& utf8_document)
    {
        return read_known_images(parse_xml(from_utf8(utf8_document)));
    }

    // The download tests talk to their servers directly.
    class ListDownload : public testing::Test
    {
    protected:
        static void SetUpTestSuite() { use_direct_connections(); }
    };

    scripted_response ok_with(const std::string& body)
    {
        scripted_response response;
        response.body = body;
        response.headers = {{"Content-Type", "text/xml"}};
        return response;
    }
}

TEST(ListDocument, EntriesComeBackInDocumentOrderWithNamesAsParsed)
{
    const KnownImageList images = read(
        "<Images>"
        "<Image name=\"Orlenix 7 &amp; friends &#x4e2d;\" hash=\"0123456789ABCDEF0123456789ABCDEF\" size=\"12\"><Note/></Image>"
        "<Image name=\"版本 二\" hash=\"" + hash_b + "\"/>"
        "<Image name=\"\" hash=\"0123456789aBcDeF0123456789AbCdEf\"/>"
        "</Images>");
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].name, L"Orlenix 7 & friends \x4e2d");
    EXPECT_EQ(images[0].hash, bytes_a);
    EXPECT_EQ(images[1].name, L"\x7248\x672c \x4e8c");
    EXPECT_EQ(to_hex(images[1].hash), hash_b);
    EXPECT_EQ(images[2].name, L"");
    EXPECT_EQ(images[2].hash, bytes_a); // the same digest twice stays twice
}

TEST(ListDocument, EveryBrokenRuleFailsTheWholeListWithTheInvalidMessage)
{
    const struct
    {
        const char* situation;
        std::string document;
    } cases[] = {
        {"no entry", "<Images/>"},
        {"lower-case document element", "<images><Image name=\"a\" hash=\"" + hash_a + "\"/></images>"},
        {"default namespace", "<Images xmlns=\"urn:x\"><Image name=\"a\" hash=\"" + hash_a + "\"/></Images>"},
        {"entry one level deeper", "<Images><Group><Image name=\"a\" hash=\"" + hash_a + "\"/></Group></Images>"},
        {"empty body", ""},
        {"not XML", "this is not a list"},
        {"valid entry, then one without name",
         "<Images><Image name=\"a\" hash=\"" + hash_a + "\"/><Image hash=\"" + hash_a + "\"/></Images>"},
        {"no hash", "<Images><Image name=\"a\"/></Images>"},
        {"31 digits", "<Images><Image name=\"a\" hash=\"" + hash_a.substr(1) + "\"/></Images>"},
        {"33 digits", "<Images><Image name=\"a\" hash=\"" + hash_a + "0\"/></Images>"},
        {"40 digits", "<Images><Image name=\"a\" hash=\"" + hash_a + "01234567\"/></Images>"},
        {"blank before", "<Images><Image name=\"a\" hash=\" " + hash_a.substr(1) + "\"/></Images>"},
        {"blank after", "<Images><Image name=\"a\" hash=\"" + hash_a.substr(1) + " \"/></Images>"},
        {"letter g inside", "<Images><Image name=\"a\" hash=\"0123456789abcdeg0123456789abcdef\"/></Images>"},
        {"blank inside", "<Images><Image name=\"a\" hash=\"0123456789abcde 0123456789abcdef\"/></Images>"},
        {"empty hash", "<Images><Image name=\"a\" hash=\"\"/></Images>"},
    };
    for (const auto& test : cases)
    {
        EXPECT_EQ(plain_failure([&] { read(test.document); }), list_invalid()) << test.situation;
    }
}

TEST(ListDocument, HashDigitsDecodeInAnyCase)
{
    for (const std::wstring text : {L"0123456789ABCDEF0123456789ABCDEF", L"0123456789abcdef0123456789abcdef",
                                    L"0123456789aBcDeF0123456789AbCdEf"})
    {
        EXPECT_EQ(decode_hash(text), bytes_a);
    }
    const struct
    {
        wchar_t digit;
        int value;
    } digits[] = {{L'0', 0}, {L'9', 9}, {L'a', 10}, {L'f', 15}, {L'A', 10}, {L'F', 15}};
    for (const auto& test : digits)
    {
        EXPECT_EQ(hex_digit_value(test.digit), test.value);
    }
    for (const wchar_t bad : {L'g', L'G', L'/', L':', L'@', L'`', L' ', L'\x0660', L'\xff10'})
    {
        EXPECT_EQ(plain_failure([&] { hex_digit_value(bad); }), list_invalid()) << static_cast<int>(bad);
    }
}

TEST(ListDocument, LargeListsAndLongNames)
{
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i = 0; i < 100000; ++i)
    {
        entries.emplace_back("Orlenix image " + std::to_string(i), i % 2 ? hash_a : hash_b);
    }
    const std::string long_name(10000, 'n');
    entries.emplace_back(long_name, hash_a);
    const auto document = parse_xml(from_utf8(list_document(entries)));

    const auto start = std::chrono::steady_clock::now();
    const KnownImageList images = read_known_images(document);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "read_known_images: 100001 entries in " << seconds << " s\n";

    ASSERT_EQ(images.size(), 100001u);
    EXPECT_EQ(images[99999].name, L"Orlenix image 99999");
    EXPECT_EQ(images.back().name, std::wstring(long_name.begin(), long_name.end()));
}

TEST(ListDocument, NestedEntityDefinitionsDoNotBringTheReaderDown)
{
    std::string document = "<?xml version=\"1.0\"?><!DOCTYPE Images [<!ENTITY a0 \"aaaaaaaaaa\">";
    for (int level = 1; level <= 9; ++level)
    {
        const std::string previous = "&a" + std::to_string(level - 1) + ";";
        std::string value;
        for (int i = 0; i < 10; ++i)
        {
            value += previous;
        }
        document.append("<!ENTITY a").append(std::to_string(level)).append(" \"").append(value).append("\">");
    }
    document += "]><Images><Image name=\"&a9;\" hash=\"" + hash_a + "\"/></Images>";

    // Either the parser refuses the expansion (no entries: the invalid message) or it
    // expands it; neither may crash or hang.
    try
    {
        const KnownImageList images = read(document);
        std::cout << "nested entities expanded: name of " << images.at(0).name.size() << " characters\n";
    }
    catch (const wexception<std::runtime_error>& error)
    {
        EXPECT_EQ(error.message(), list_invalid());
        std::cout << "nested entities refused by the parser\n";
    }
}

TEST_F(ListDownload, OkResponseGivesTheListAndTheRequestIsAPlainGet)
{
    const loopback_server server(ok_with(list_document({{"Orlenix 1", hash_a}, {"Orlenix 2", hash_b}, {"Orlenix 1", hash_a}})));
    const KnownImageList images = download_known_images(server.address());
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[1].name, L"Orlenix 2");
    EXPECT_EQ(images[2].hash, bytes_a);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path(), "/halcyra/orlenixhash.xml");
    EXPECT_EQ(requests[0].header("User-Agent"), "Halcyra/1.0");
    EXPECT_TRUE(requests[0].body.empty());
    EXPECT_TRUE(requests[0].header("Content-Length").empty() || requests[0].header("Content-Length") == "0");
}

TEST_F(ListDownload, AnyStatusButOkFailsWithCodeAndReason)
{
    const struct
    {
        int status;
        std::string reason;
        std::wstring tail;
    } cases[] = {
        {404, "Not Found", L"404 Not Found"},
        {500, "", L"500 "},
        {204, "No Content", L"204 No Content"},
        {304, "Not Modified", L"304 Not Modified"},
        {201, "Created", L"201 Created"},
        {403, "Forbidden", L"403 Forbidden"},
    };
    for (const auto& test : cases)
    {
        scripted_response response;
        response.status = test.status;
        response.reason = test.reason;
        const loopback_server server(response);
        EXPECT_EQ(plain_failure([&] { download_known_images(server.address()); }), download_failed() + test.tail)
            << test.status;
    }
    EXPECT_EQ(download_failed() + L"404 Not Found", L"无法下载的清单已知的Orlenix的图像404 Not Found");
}

TEST_F(ListDownload, OkWithoutAUsableDocumentIsTheInvalidMessage)
{
    for (const std::string body : {"", "not xml at all", "<Images/>"})
    {
        const loopback_server server(ok_with(body));
        EXPECT_EQ(plain_failure([&] { download_known_images(server.address()); }), list_invalid()) << body;
    }
}

TEST_F(ListDownload, UnreachableServerIsTheDownloadMessageWithTheRequestError)
{
    const std::wstring address = L"http://127.0.0.1:" + std::to_wstring(unused_loopback_port()) + L"/halcyra/orlenixhash.xml";
    const windows_error error = caught<windows_error>([&] { download_known_images(address); });
    EXPECT_LT(static_cast<HRESULT>(error.code()), 0) << error.message().c_str();
    ASSERT_EQ(error.message().rfind(download_failed(), 0), 0u) << error.message().c_str();
    const std::wstring tail = error.message().substr(download_failed().size());
    EXPECT_FALSE(tail.empty());
    // Wine's request object gives no description (0x800c0008, no system text either);
    // Windows' may describe it in its own words.
    if (error.code() == 0x800C0008u)
    {
        EXPECT_EQ(tail, system_message(error.code()));
    }
    EXPECT_EQ(error.source_file(), L"Halcyra");
}

TEST_F(ListDownload, FailedCallsOfTheRequestAreWrappedWithTheirCode)
{
    for (const char* method : {"open", "setRequestHeader", "send", "get_status", "get_statusText", "get_responseXML"})
    {
        fake_xml_http_request request;
        request.status = std::string(method) == "get_statusText" ? 404 : 200;
        request.failures[method] = static_cast<HRESULT>(0x80070005);
        request.failure_description = L"Access is denied by the fake.";
        {
            const fake_class_registration registration(class_id::xml_http_30, static_cast<IXMLHTTPRequest*>(&request));
            const windows_error error = caught<windows_error>([] { download_known_images(L"http://lists.example/x.xml"); });
            EXPECT_EQ(error.message(), download_failed() + L"Access is denied by the fake.") << method;
            EXPECT_EQ(error.code(), 0x80070005u) << method;
        }
        EXPECT_EQ(request.references.outstanding(), 0) << method;
        SetErrorInfo(0, nullptr);
    }
}

TEST_F(ListDownload, RequestIsOpenedSynchronouslyWithTheHeader)
{
    fake_xml_http_request request;
    request.status = 404;
    request.status_text = L"Not Found";
    const fake_class_registration registration(class_id::xml_http_30, static_cast<IXMLHTTPRequest*>(&request));
    plain_failure([] { download_known_images(L"http://lists.example/halcyra/orlenixhash.xml"); });
    EXPECT_EQ(request.opened_method, L"GET");
    EXPECT_EQ(request.opened_address, L"http://lists.example/halcyra/orlenixhash.xml");
    EXPECT_EQ(request.async_type, VT_I2);
    EXPECT_EQ(request.request_headers, (std::map<std::wstring, std::wstring>{{L"User-Agent", L"Halcyra/1.0"}}));
    EXPECT_EQ(request.sends, 1);
}

TEST_F(ListDownload, ResponseThatIsNoDocument)
{
    {
        fake_xml_http_request request; // get_responseXML succeeds with no object
        const fake_class_registration registration(class_id::xml_http_30, static_cast<IXMLHTTPRequest*>(&request));
        EXPECT_EQ(plain_failure([] { download_known_images(L"http://lists.example/x.xml"); }),
                  L"Attempt to use an invalid COM pointer.");
        EXPECT_EQ(request.references.outstanding(), 0);
    }
    {
        fake_dispatch not_a_document;
        not_a_document.offers_support_error_info = false;
        fake_xml_http_request request;
        request.response = &not_a_document;
        const fake_class_registration registration(class_id::xml_http_30, static_cast<IXMLHTTPRequest*>(&request));
        const windows_error error = caught<windows_error>([] { download_known_images(L"http://lists.example/x.xml"); });
        EXPECT_EQ(error.message(), download_failed() + system_message(static_cast<DWORD>(E_NOINTERFACE)));
        EXPECT_EQ(error.code(), static_cast<DWORD>(E_NOINTERFACE));
        EXPECT_EQ(not_a_document.references.outstanding(), 0);
    }
}

TEST_F(ListDownload, FailingDocumentCallIsTheDownloadMessageWithItsCode)
{
    failing_xml_document document;
    document.failure = static_cast<HRESULT>(0x8badf00d);
    fake_xml_http_request request;
    request.response = &document;
    {
        const fake_class_registration registration(class_id::xml_http_30, static_cast<IXMLHTTPRequest*>(&request));
        const windows_error error = caught<windows_error>([] { download_known_images(L"http://lists.example/x.xml"); });
        EXPECT_EQ(error.message(), download_failed() + system_message(0x8badf00d));
        EXPECT_EQ(error.code(), 0x8badf00du);
    }
    EXPECT_EQ(document.references.outstanding(), 0);
}

TEST_F(ListDownload, RequestObjectThatCannotBeCreatedIsTheDownloadMessageWithItsCode)
{
    const fake_class_registration missing_class(class_id::xml_http_30, nullptr);
    const windows_error error = caught<windows_error>([] { download_known_images(L"http://lists.example/x.xml"); });
    EXPECT_EQ(error.code(), static_cast<DWORD>(REGDB_E_CLASSNOTREG));
    EXPECT_EQ(error.message(), download_failed() + system_message(static_cast<DWORD>(REGDB_E_CLASSNOTREG)));
}
