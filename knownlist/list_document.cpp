#include "list_document.h"

#include "../app/resource_ids.h"
#include "../app/strings.h"
#include "../com/com_variant.h"

namespace
{
    constexpr wchar_t source_tag[] = L"Halcyra";
    constexpr size_t hash_digits = 32;

    [[noreturn]] void throw_list_invalid(std::int32_t line)
    {
        throw with_location(wexception<std::runtime_error>(load_string(IDS_LIST_INVALID)), source_tag, line);
    }

    // A missing attribute answers S_FALSE with VT_NULL: anything but a text is invalid.
    std::wstring required_attribute(const com_ptr<IXMLDOMElement>& element, const wchar_t* name)
    {
        com_variant value;
        const HRESULT hr = element->getAttribute(com_bstr(name).get(), value.receive());
        if (hr != S_OK || value.get().vt != VT_BSTR)
        {
            throw_list_invalid(__LINE__);
        }
        return to_wstring(value.get().bstrVal);
    }
}

KnownImageList read_known_images(const com_ptr<IXMLDOMDocument2>& document)
{
    check_hresult(document->setProperty(com_bstr(L"SelectionLanguage").get(), com_variant(L"XPath").get()),
                  document, source_tag, __LINE__);

    com_ptr<IXMLDOMNodeList> entries;
    check_hresult(document->selectNodes(com_bstr(L"/Images/Image").get(), entries.receive()),
                  document, source_tag, __LINE__);
    long count = 0;
    check_hresult(entries->get_length(&count), entries, source_tag, __LINE__);
    if (count == 0)
    {
        throw_list_invalid(__LINE__);
    }

    KnownImageList images;
    for (long index = 0; index < count; ++index)
    {
        com_ptr<IXMLDOMNode> node;
        entries->get_item(index, node.receive());
        const com_ptr<IXMLDOMElement> element(node);

        std::wstring name = required_attribute(element, L"name");
        const std::wstring hash = required_attribute(element, L"hash");
        images.push_back(KnownImage{std::move(name), decode_hash(hash)});
    }
    return images;
}

byte_vector decode_hash(const std::wstring& text)
{
    if (text.size() != hash_digits)
    {
        throw_list_invalid(__LINE__);
    }
    byte_vector bytes;
    bytes.reserve(hash_digits / 2);
    for (size_t position = 0; position < hash_digits; position += 2)
    {
        const int high = hex_digit_value(text[position]);
        const int low = hex_digit_value(text[position + 1]);
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

int hex_digit_value(wchar_t digit)
{
    if (digit >= L'0' && digit <= L'9')
    {
        return digit - 0x30;
    }
    if (digit >= L'a' && digit <= L'f')
    {
        return digit - 0x57;
    }
    if (digit >= L'A' && digit <= L'F')
    {
        return digit - 0x37;
    }
    throw_list_invalid(__LINE__);
}
