#pragma once

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

// Narrow copy of a wide text in the ANSI code page; empty when nothing converts.
std::string to_narrow(const std::wstring& message);

// The system's text for an error code, or "Error code: 0x..." when it has none.
std::wstring system_message(DWORD code);

template <class Base>
class wexception : public Base
{
public:
    explicit wexception(const std::wstring& message) :
        Base(to_narrow(message)), m_message(message)
    {
    }

    std::wstring message() const { return m_message; }
    std::wstring source_file() const { return m_source_file; }
    std::int32_t source_line() const { return m_source_line; }

private:
    template <class Error>
    friend Error with_location(Error error, const std::wstring& file, std::int32_t line);

    std::wstring m_message;
    std::wstring m_source_file;
    std::int32_t m_source_line = 0;
};

class windows_error : public wexception<std::runtime_error>
{
public:
    explicit windows_error(DWORD code) :
        windows_error(system_message(code), code)
    {
    }

    windows_error(const std::wstring& message, DWORD code) :
        wexception(message), m_code(code)
    {
    }

    DWORD code() const { return m_code; }

private:
    DWORD m_code;
};

class com_error : public windows_error
{
public:
    explicit com_error(HRESULT hr) :
        windows_error(static_cast<DWORD>(hr))
    {
    }

    com_error(const std::wstring& description, HRESULT hr) :
        windows_error(description, static_cast<DWORD>(hr))
    {
    }
};

// Stamps the throw site (a source-unit tag and line) on a copy of the error.
template <class Error>
Error with_location(Error error, const std::wstring& file, std::int32_t line)
{
    wexception<std::runtime_error>& stamped = error;
    stamped.m_source_file = file;
    stamped.m_source_line = line;
    return error;
}
