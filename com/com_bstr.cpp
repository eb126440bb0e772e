#include "com_bstr.h"

#include "../app/errors.h"

#include <vector>

namespace
{
    constexpr wchar_t source_tag[] = L"ComHelper";

    BSTR allocate(const wchar_t* text)
    {
        BSTR bstr = SysAllocString(text);
        if (!bstr)
        {
            throw with_location(com_error(E_OUTOFMEMORY), source_tag, __LINE__);
        }
        return bstr;
    }

    [[noreturn]] void throw_conversion_failure(std::int32_t line)
    {
        const DWORD code = GetLastError();
        throw with_location(com_error(HRESULT_FROM_WIN32(code)), source_tag, line);
    }
}

com_bstr::com_bstr(const wchar_t* text)
{
    if (text)
    {
        m_bstr = allocate(text);
    }
}

com_bstr::com_bstr(const char* text)
{
    if (!text)
    {
        return;
    }
    const int count = lstrlenA(text) + 1; // the terminator is converted too
    const int needed = MultiByteToWideChar(CP_ACP, 0, text, count, nullptr, 0);
    if (needed == 0)
    {
        throw_conversion_failure(__LINE__);
    }
    std::vector<wchar_t> wide(static_cast<size_t>(needed));
    if (MultiByteToWideChar(CP_ACP, 0, text, count, wide.data(), needed) == 0)
    {
        throw_conversion_failure(__LINE__);
    }
    m_bstr = allocate(wide.data());
}

com_bstr::~com_bstr()
{
    SysFreeString(m_bstr);
}

BSTR* com_bstr::receive() noexcept
{
    SysFreeString(m_bstr);
    m_bstr = nullptr;
    return &m_bstr;
}

std::wstring com_bstr::to_wstring() const
{
    return ::to_wstring(m_bstr);
}

std::wstring to_wstring(BSTR text)
{
    return text ? std::wstring(text) : std::wstring();
}
