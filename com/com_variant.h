#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>

// Owns one VARIANT; whatever it holds is freed with VariantClear.
class com_variant
{
public:
    com_variant() noexcept;
    explicit com_variant(std::int16_t value) noexcept;
    // VT_BSTR; throws com_error(E_OUTOFMEMORY) when the BSTR cannot be allocated.
    explicit com_variant(const wchar_t* text);
    ~com_variant();

    com_variant(const com_variant&) = delete;
    com_variant& operator=(const com_variant&) = delete;

    // Passed to in-parameters by value as a plain copy of the bits; the holder stays the owner.
    const VARIANT& get() const noexcept { return m_value; }

    // Clears the held value and hands out the slot for an out-parameter.
    VARIANT* receive();

private:
    VARIANT m_value;
};
