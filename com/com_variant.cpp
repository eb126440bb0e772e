#include "com_variant.h"

#include "../app/errors.h"

namespace
{
    constexpr wchar_t source_tag[] = L"ComHelper";
}

com_variant::com_variant() noexcept
{
    VariantInit(&m_value);
}

com_variant::com_variant(std::int16_t value) noexcept : com_variant()
{
    m_value.vt = VT_I2;
    m_value.iVal = value;
}

com_variant::com_variant(const wchar_t* text) : com_variant()
{
    BSTR bstr = SysAllocString(text);
    if (!bstr && text)
    {
        throw with_location(com_error(E_OUTOFMEMORY), source_tag, __LINE__);
    }
    m_value.vt = VT_BSTR;
    m_value.bstrVal = bstr;
}

com_variant::~com_variant()
{
    VariantClear(&m_value);
}

VARIANT* com_variant::receive()
{
    const HRESULT hr = VariantClear(&m_value);
    if (FAILED(hr))
    {
        throw with_location(com_error(hr), source_tag, __LINE__);
    }
    return &m_value;
}
