#include "list_download.h"

#include "list_document.h"

#include "../app/resource_ids.h"
#include "../app/strings.h"
#include "../com/com_variant.h"

#include <sstream>

namespace
{
    constexpr wchar_t source_tag[] = L"Halcyra";
    constexpr long http_ok = 200;

    KnownImageList request_known_images(const std::wstring& address)
    {
        const auto request = create_instance<IXMLHTTPRequest>(class_id::xml_http_30);

        check_hresult(request->open(com_bstr(L"GET").get(), com_bstr(address.c_str()).get(),
                                    com_variant(std::int16_t{0}).get() /* synchronous */,
                                    com_variant().get() /* no user */, com_variant().get() /* no password */),
                      request, source_tag, __LINE__);
        check_hresult(request->setRequestHeader(com_bstr("User-Agent").get(), com_bstr("Halcyra/1.0").get()),
                      request, source_tag, __LINE__);
        check_hresult(request->send(com_variant().get() /* no body */), request, source_tag, __LINE__);

        long status = 0;
        check_hresult(request->get_status(&status), request, source_tag, __LINE__);
        if (status != http_ok)
        {
            com_bstr status_text;
            check_hresult(request->get_statusText(status_text.receive()), request, source_tag, __LINE__);
            std::wostringstream message;
            message << load_string(IDS_LIST_DOWNLOAD_FAILED) << status << L' ' << status_text.to_wstring();
            throw with_location(wexception<std::runtime_error>(message.str()), source_tag, __LINE__);
        }

        com_ptr<IDispatch> response;
        check_hresult(request->get_responseXML(response.receive()), request, source_tag, __LINE__);
        const com_ptr<IXMLDOMDocument2> document(response);
        return read_known_images(document);
    }
}

KnownImageList download_known_images(const std::wstring& address)
{
    try
    {
        return request_known_images(address);
    }
    catch (const windows_error& error)
    {
        throw with_location(windows_error(load_string(IDS_LIST_DOWNLOAD_FAILED) + error.message(), error.code()),
                            source_tag, __LINE__);
    }
}
