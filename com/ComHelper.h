#pragma once

// Owning COM interface pointers, checked creation, and failed COM calls turned into
// com_error with the object's own description when it offers one.

#include "com_bstr.h"
#include "interface_ids.h"

#include "../app/errors.h"

#include <cstdint>
#include <utility>

namespace com_helper
{
    inline constexpr wchar_t source_tag[] = L"ComHelper";
}

template <class Interface>
class com_ptr;

template <class Interface>
com_error make_com_error(const com_ptr<Interface>& failed_through, HRESULT hr);

template <class Interface>
class com_ptr
{
public:
    com_ptr() noexcept = default;

    com_ptr(const com_ptr& other) noexcept : m_pointer(other.m_pointer)
    {
        if (m_pointer)
        {
            m_pointer->AddRef();
        }
    }

    com_ptr(com_ptr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr))
    {
    }

    // Asks the source's object for Interface; an empty source gives an empty pointer.
    template <class Source>
    explicit com_ptr(const com_ptr<Source>& source)
    {
        if (!source)
        {
            return;
        }
        Interface* queried = nullptr;
        const HRESULT hr = source.get()->QueryInterface(interface_id<Interface>::value, reinterpret_cast<void**>(&queried));
        if (FAILED(hr))
        {
            throw with_location(make_com_error(source, hr), com_helper::source_tag, __LINE__);
        }
        m_pointer = queried;
    }

    com_ptr& operator=(com_ptr other) noexcept
    {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }

    ~com_ptr()
    {
        release();
    }

    Interface* operator->() const
    {
        if (!m_pointer)
        {
            throw with_location(wexception<std::runtime_error>(L"Attempt to use an invalid COM pointer."),
                                com_helper::source_tag, __LINE__);
        }
        return m_pointer;
    }

    Interface* get() const noexcept { return m_pointer; }
    explicit operator bool() const noexcept { return m_pointer != nullptr; }

    // Gives back the held reference and hands out the slot for an out-parameter.
    Interface** receive() noexcept
    {
        release();
        return &m_pointer;
    }

    void release() noexcept
    {
        if (m_pointer)
        {
            std::exchange(m_pointer, nullptr)->Release();
        }
    }

    // True when the object has Query; false when it answers E_NOINTERFACE or the pointer is
    // empty (then result is unchanged); throws on any other failure.
    template <class Query>
    bool try_query(com_ptr<Query>& result) const
    {
        if (!m_pointer)
        {
            return false;
        }
        Query* queried = nullptr;
        const HRESULT hr = m_pointer->QueryInterface(interface_id<Query>::value, reinterpret_cast<void**>(&queried));
        if (hr == E_NOINTERFACE)
        {
            if (queried)
            {
                queried->Release();
            }
            return false;
        }
        if (FAILED(hr))
        {
            throw with_location(make_com_error(*this, hr), com_helper::source_tag, __LINE__);
        }
        *result.receive() = queried;
        return true;
    }

private:
    Interface* m_pointer = nullptr;
};

// The com_error for a call through failed_through that returned hr: the object's error
// description when it supports error info for this interface, else the system text.
template <class Interface>
com_error make_com_error(const com_ptr<Interface>& failed_through, HRESULT hr)
{
    // Queried directly rather than with try_query: describing a failed query through the
    // same object could otherwise nest without end.
    com_ptr<ISupportErrorInfo> support;
    if (failed_through)
    {
        const HRESULT query = failed_through.get()->QueryInterface(interface_id<ISupportErrorInfo>::value,
                                                                    reinterpret_cast<void**>(support.receive()));
        if (FAILED(query) && query != E_NOINTERFACE)
        {
            throw with_location(com_error(query), com_helper::source_tag, __LINE__);
        }
    }
    if (!support || support->InterfaceSupportsErrorInfo(interface_id<Interface>::value) != S_OK)
    {
        return com_error(hr);
    }

    com_ptr<IErrorInfo> error_info;
    if (FAILED(GetErrorInfo(0, error_info.receive())) || !error_info)
    {
        return com_error(hr);
    }
    com_bstr description;
    // A null description says nothing to the user: the system text serves better.
    if (FAILED(error_info->GetDescription(description.receive())) || !description.get())
    {
        return com_error(hr);
    }
    return com_error(description.to_wstring(), hr);
}

template <class Interface>
void check_hresult(HRESULT hr, const com_ptr<Interface>& called_through, const wchar_t* source_tag, std::int32_t line)
{
    if (FAILED(hr))
    {
        throw with_location(make_com_error(called_through, hr), source_tag, line);
    }
}

template <class Interface>
com_ptr<Interface> create_instance(const CLSID& class_id)
{
    com_ptr<Interface> instance;
    const HRESULT hr = CoCreateInstance(class_id, nullptr /* no outer object */, CLSCTX_ALL,
                                        interface_id<Interface>::value, reinterpret_cast<void**>(instance.receive()));
    if (FAILED(hr))
    {
        throw with_location(com_error(hr), com_helper::source_tag, __LINE__);
    }
    return instance;
}
