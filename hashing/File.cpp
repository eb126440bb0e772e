#include "File.h"

#include "../app/errors.h"

namespace
{
    constexpr wchar_t source_tag[] = L"File";
}

File::File(const std::wstring& path)
{
    m_handle = CreateFileW(path.c_str(),
                           GENERIC_READ,
                           FILE_SHARE_READ,
                           nullptr /* default security */,
                           OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL,
                           nullptr /* no template */);
    if (m_handle == INVALID_HANDLE_VALUE)
    {
        const DWORD code = GetLastError();
        throw with_location(windows_error(code), source_tag, __LINE__);
    }
}

File::~File()
{
    CloseHandle(m_handle);
}

std::int64_t File::GetSize() const
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_handle, &size))
    {
        const DWORD code = GetLastError();
        throw with_location(windows_error(code), source_tag, __LINE__);
    }
    return size.QuadPart;
}

std::uint32_t File::Read(byte_vector& buffer)
{
    DWORD read = 0;
    if (!ReadFile(m_handle, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr /* synchronous */))
    {
        const DWORD code = GetLastError();
        throw with_location(windows_error(code), source_tag, __LINE__);
    }
    return read;
}
