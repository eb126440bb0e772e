#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

// Owns one BSTR (or none, the null BSTR). Allocation and code-page failures throw
// com_error with their HRESULT.
class com_bstr
{
public:
    com_bstr() noexcept = default;
    explicit com_bstr(const wchar_t* text);
    // Converts 8-bit text from the ANSI code page.
    explicit com_bstr(const char* text);
    ~com_bstr();

    com_bstr(const com_bstr&) = delete;
    com_bstr& operator=(const com_bstr&) = delete;

    BSTR get() const noexcept { return m_bstr; }

    // Frees the held BSTR and hands out the slot for an out-parameter.
    BSTR* receive() noexcept;

    // The characters before the first NUL; empty for the null BSTR.
    std::wstring to_wstring() const;

private:
    BSTR m_bstr = nullptr;
};

// The characters of a BSTR before its first NUL; empty for the null BSTR.
std::wstring to_wstring(BSTR text);
