#pragma once

#include "com/ComHelper.h"

#include <oleauto.h>

#include <string>

// Reference counting for fakes that the test owns (on its stack): Release never frees,
// so a test can check that every AddRef was given back.
class counted_references
{
public:
    ULONG add_ref() { return ++m_count, ++m_add_refs; }
    ULONG release() { return --m_count, ++m_releases; }
    // References handed out and not yet given back.
    long outstanding() const { return m_count; }
    long add_refs() const { return m_add_refs; }
    long releases() const { return m_releases; }

private:
    long m_count = 0;
    long m_add_refs = 0;
    long m_releases = 0;
};

// Hands the test-owned object to a com_ptr, with a reference of the pointer's own.
template <class Interface>
com_ptr<Interface> hold(Interface* object)
{
    com_ptr<Interface> pointer;
    object->AddRef();
    *pointer.receive() = object;
    return pointer;
}

// Makes description the calling thread's pending error object, as a component does
// before it returns a failure.
inline void set_thread_error_description(const std::wstring& description)
{
    ICreateErrorInfo* creator = nullptr;
    CreateErrorInfo(&creator);
    creator->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    IErrorInfo* error_info = nullptr;
    creator->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&error_info));
    SetErrorInfo(0, error_info);
    error_info->Release();
    creator->Release();
}

// Reference counting and an IDispatch that offers no type information, for fakes of
// dispatch interfaces; the fake itself answers QueryInterface and its own methods.
template <class Interface>
class counted_dispatch : public Interface
{
public:
    counted_references references;

    ULONG STDMETHODCALLTYPE AddRef() override { return references.add_ref(); }
    ULONG STDMETHODCALLTYPE Release() override { return references.release(); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
};

// An IDispatch object whose GetTypeInfoCount fails on demand, with or without
// ISupportErrorInfo, a description, and a QueryInterface that fails.
class fake_dispatch : public IDispatch, public ISupportErrorInfo
{
public:
    bool offers_support_error_info = true;
    HRESULT supports_error_info_answer = S_OK;
    HRESULT failure = E_FAIL;         // what GetTypeInfoCount returns
    std::wstring description;         // set as the thread's error object when failing
    HRESULT query_failure = E_NOINTERFACE; // for interfaces the fake does not have
    counted_references references;
    int queries = 0;
    IID last_asked_support_for{};

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override
    {
        ++queries;
        *result = nullptr;
        if (iid == interface_id<IUnknown>::value || iid == interface_id<IDispatch>::value)
        {
            *result = static_cast<IDispatch*>(this);
        }
        else if (iid == interface_id<ISupportErrorInfo>::value && offers_support_error_info)
        {
            *result = static_cast<ISupportErrorInfo*>(this);
        }
        else
        {
            return query_failure;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return references.add_ref(); }
    ULONG STDMETHODCALLTYPE Release() override { return references.release(); }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        if (!description.empty())
        {
            set_thread_error_description(description);
        }
        return failure;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override
    {
        last_asked_support_for = iid;
        return supports_error_info_answer;
    }
};

// A class factory that hands out one test-owned object, for CoRegisterClassObject: while it
// is registered, CoCreateInstance in this apartment returns the fake instead of the real class.
// Without an object, creation fails as for a class that is not installed.
class fake_class_registration : public IClassFactory
{
public:
    fake_class_registration(const CLSID& class_id, IUnknown* object) : m_object(object)
    {
        CoRegisterClassObject(class_id, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie);
    }
    ~fake_class_registration() { CoRevokeClassObject(m_cookie); }
    fake_class_registration(const fake_class_registration&) = delete;
    fake_class_registration& operator=(const fake_class_registration&) = delete;

    int created = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override
    {
        if (iid == interface_id<IUnknown>::value || iid == IID_IClassFactory)
        {
            *result = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *result = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override
    {
        *result = nullptr;
        if (outer)
        {
            return CLASS_E_NOAGGREGATION;
        }
        ++created;
        return m_object ? m_object->QueryInterface(iid, result) : REGDB_E_CLASSNOTREG;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    IUnknown* m_object;
    DWORD m_cookie = 0;
};
