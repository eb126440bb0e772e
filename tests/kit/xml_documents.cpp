#include "kit/xml_documents.h"

#include "com/com_bstr.h"

namespace
{
    constexpr CLSID dom_document_30{0xF5078F32, 0xC551, 0x11D3, {0x89, 0xB9, 0x00, 0x00, 0xF8, 0x1F, 0xE2, 0x21}};
}

com_ptr<IXMLDOMDocument2> parse_xml(const std::wstring& text)
{
    const auto document = create_instance<IXMLDOMDocument2>(dom_document_30);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    document->loadXML(com_bstr(text.c_str()).get(), &loaded);
    return document;
}

std::string list_document(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Images>\n";
    for (const auto& [name, hash] : entries)
    {
        xml += "  <Image name=\"" + name + "\" hash=\"" + hash + "\"/>\n";
    }
    return xml + "</Images>\n";
}
