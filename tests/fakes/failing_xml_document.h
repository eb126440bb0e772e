#pragma once

#include "fakes/fake_com.h"

// An XML document every call of which fails with one HRESULT: the DOM calls of the list
// reader cannot be made to fail on a real document.
class failing_xml_document : public counted_dispatch<IXMLDOMDocument2>
{
public:
    HRESULT failure = E_FAIL;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override
    {
        *result = nullptr;
        if (iid == interface_id<IUnknown>::value || iid == interface_id<IDispatch>::value ||
            iid == interface_id<IXMLDOMNode>::value || iid == interface_id<IXMLDOMDocument2>::value ||
            iid == IID_IXMLDOMDocument)
        {
            *result = static_cast<IXMLDOMDocument2*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE get_nodeName(BSTR*) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_nodeValue(VARIANT*) override { return failure; }
    HRESULT STDMETHODCALLTYPE put_nodeValue(VARIANT) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_nodeType(DOMNodeType*) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_parentNode(IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_childNodes(IXMLDOMNodeList**) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_firstChild(IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_lastChild(IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_previousSibling(IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_nextSibling(IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_attributes(IXMLDOMNamedNodeMap**) override { return failure; }
    HRESULT STDMETHODCALLTYPE insertBefore(IXMLDOMNode*, VARIANT, IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE replaceChild(IXMLDOMNode*, IXMLDOMNode*, IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE removeChild(IXMLDOMNode*, IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE appendChild(IXMLDOMNode*, IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE hasChildNodes(VARIANT_BOOL*) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_ownerDocument(IXMLDOMDocument**) override { return failure; }
    HRESULT STDMETHODCALLTYPE cloneNode(VARIANT_BOOL, IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_nodeTypeString(BSTR*) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_text(BSTR*) override { return failure; }
    HRESULT STDMETHODCALLTYPE put_text(BSTR) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_specified(VARIANT_BOOL*) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_definition(IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_nodeTypedValue(VARIANT*) override { return failure; }
    HRESULT STDMETHODCALLTYPE put_nodeTypedValue(VARIANT) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_dataType(VARIANT*) override { return failure; }
    HRESULT STDMETHODCALLTYPE put_dataType(BSTR) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_xml(BSTR*) override { return failure; }
    HRESULT STDMETHODCALLTYPE transformNode(IXMLDOMNode*, BSTR*) override { return failure; }
    HRESULT STDMETHODCALLTYPE selectNodes(BSTR, IXMLDOMNodeList**) override { return failure; }
    HRESULT STDMETHODCALLTYPE selectSingleNode(BSTR, IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_parsed(VARIANT_BOOL*) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_namespaceURI(BSTR*) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_prefix(BSTR*) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_baseName(BSTR*) override { return failure; }
    HRESULT STDMETHODCALLTYPE transformNodeToObject(IXMLDOMNode*, VARIANT) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_doctype(IXMLDOMDocumentType**) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_implementation(IXMLDOMImplementation**) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_documentElement(IXMLDOMElement**) override { return failure; }
    HRESULT STDMETHODCALLTYPE putref_documentElement(IXMLDOMElement*) override { return failure; }
    HRESULT STDMETHODCALLTYPE createElement(BSTR, IXMLDOMElement**) override { return failure; }
    HRESULT STDMETHODCALLTYPE createDocumentFragment(IXMLDOMDocumentFragment**) override { return failure; }
    HRESULT STDMETHODCALLTYPE createTextNode(BSTR, IXMLDOMText**) override { return failure; }
    HRESULT STDMETHODCALLTYPE createComment(BSTR, IXMLDOMComment**) override { return failure; }
    HRESULT STDMETHODCALLTYPE createCDATASection(BSTR, IXMLDOMCDATASection**) override { return failure; }
    HRESULT STDMETHODCALLTYPE createProcessingInstruction(BSTR, BSTR, IXMLDOMProcessingInstruction**) override { return failure; }
    HRESULT STDMETHODCALLTYPE createAttribute(BSTR, IXMLDOMAttribute**) override { return failure; }
    HRESULT STDMETHODCALLTYPE createEntityReference(BSTR, IXMLDOMEntityReference**) override { return failure; }
    HRESULT STDMETHODCALLTYPE getElementsByTagName(BSTR, IXMLDOMNodeList**) override { return failure; }
    HRESULT STDMETHODCALLTYPE createNode(VARIANT, BSTR, BSTR, IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE nodeFromID(BSTR, IXMLDOMNode**) override { return failure; }
    HRESULT STDMETHODCALLTYPE load(VARIANT, VARIANT_BOOL*) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_readyState(long*) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_parseError(IXMLDOMParseError**) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_url(BSTR*) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_async(VARIANT_BOOL*) override { return failure; }
    HRESULT STDMETHODCALLTYPE put_async(VARIANT_BOOL) override { return failure; }
    HRESULT STDMETHODCALLTYPE abort() override { return failure; }
    HRESULT STDMETHODCALLTYPE loadXML(BSTR, VARIANT_BOOL*) override { return failure; }
    HRESULT STDMETHODCALLTYPE save(VARIANT) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_validateOnParse(VARIANT_BOOL*) override { return failure; }
    HRESULT STDMETHODCALLTYPE put_validateOnParse(VARIANT_BOOL) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_resolveExternals(VARIANT_BOOL*) override { return failure; }
    HRESULT STDMETHODCALLTYPE put_resolveExternals(VARIANT_BOOL) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_preserveWhiteSpace(VARIANT_BOOL*) override { return failure; }
    HRESULT STDMETHODCALLTYPE put_preserveWhiteSpace(VARIANT_BOOL) override { return failure; }
    HRESULT STDMETHODCALLTYPE put_onreadystatechange(VARIANT) override { return failure; }
    HRESULT STDMETHODCALLTYPE put_ondataavailable(VARIANT) override { return failure; }
    HRESULT STDMETHODCALLTYPE put_ontransformnode(VARIANT) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_namespaces(IXMLDOMSchemaCollection**) override { return failure; }
    HRESULT STDMETHODCALLTYPE get_schemas(VARIANT*) override { return failure; }
    HRESULT STDMETHODCALLTYPE putref_schemas(VARIANT) override { return failure; }
    HRESULT STDMETHODCALLTYPE validate(IXMLDOMParseError**) override { return failure; }
    HRESULT STDMETHODCALLTYPE setProperty(BSTR, VARIANT) override { return failure; }
    HRESULT STDMETHODCALLTYPE getProperty(BSTR, VARIANT*) override { return failure; }
};
