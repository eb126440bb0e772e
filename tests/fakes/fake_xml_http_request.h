#pragma once

#include "fakes/fake_com.h"

#include <map>
#include <string>
#include <vector>

// A scripted XML HTTP request object for failures a real server cannot cause. Register it
// for the MSXML 3.0 class with fake_class_registration.
class fake_xml_http_request : public counted_dispatch<IXMLHTTPRequest>
{
public:
    long status = 200;
    std::wstring status_text = L"OK";
    IDispatch* response = nullptr;                // what get_responseXML hands out (may be null)
    std::map<std::string, HRESULT> failures;      // method name -> HRESULT it returns
    std::wstring failure_description;             // set as the thread's error object on failure

    std::wstring opened_method;
    std::wstring opened_address;
    VARTYPE async_type = VT_ERROR;
    std::map<std::wstring, std::wstring> request_headers;
    int sends = 0;
    std::vector<std::wstring>* log = nullptr;     // "send()" is appended when set

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override
    {
        *result = nullptr;
        if (iid == interface_id<IUnknown>::value || iid == interface_id<IDispatch>::value ||
            iid == interface_id<IXMLHTTPRequest>::value)
        {
            *result = static_cast<IXMLHTTPRequest*>(this);
            AddRef();
            return S_OK;
        }
        if (iid == interface_id<ISupportErrorInfo>::value && !failure_description.empty())
        {
            *result = &m_support;
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE open(BSTR method, BSTR address, VARIANT async, VARIANT, VARIANT) override
    {
        opened_method = to_wstring(method);
        opened_address = to_wstring(address);
        async_type = async.vt;
        return result_of("open");
    }
    HRESULT STDMETHODCALLTYPE setRequestHeader(BSTR header, BSTR value) override
    {
        request_headers[to_wstring(header)] = to_wstring(value);
        return result_of("setRequestHeader");
    }
    HRESULT STDMETHODCALLTYPE getResponseHeader(BSTR, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE getAllResponseHeaders(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE send(VARIANT) override
    {
        ++sends;
        if (log)
        {
            log->push_back(L"send()");
        }
        return result_of("send");
    }
    HRESULT STDMETHODCALLTYPE abort() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_status(long* value) override
    {
        *value = status;
        return result_of("get_status");
    }
    HRESULT STDMETHODCALLTYPE get_statusText(BSTR* value) override
    {
        const HRESULT hr = result_of("get_statusText");
        *value = FAILED(hr) ? nullptr : SysAllocString(status_text.c_str());
        return hr;
    }
    HRESULT STDMETHODCALLTYPE get_responseXML(IDispatch** value) override
    {
        const HRESULT hr = result_of("get_responseXML");
        *value = FAILED(hr) ? nullptr : response;
        if (*value)
        {
            (*value)->AddRef();
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE get_responseText(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_responseBody(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_responseStream(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_readyState(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onreadystatechange(IDispatch*) override { return E_NOTIMPL; }

private:
    HRESULT result_of(const char* method)
    {
        const auto failure = failures.find(method);
        if (failure == failures.end())
        {
            return S_OK;
        }
        if (!failure_description.empty())
        {
            set_thread_error_description(failure_description);
        }
        return failure->second;
    }

    struct support_error_info : ISupportErrorInfo
    {
        explicit support_error_info(fake_xml_http_request& owner) : m_owner(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override { return m_owner.QueryInterface(iid, result); }
        ULONG STDMETHODCALLTYPE AddRef() override { return m_owner.AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return m_owner.Release(); }
        HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override
        {
            return iid == interface_id<IXMLHTTPRequest>::value ? S_OK : S_FALSE;
        }
        fake_xml_http_request& m_owner;
    } m_support{*this};
};
