#pragma once

#include "byte_vector.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The image file, opened for sequential reading while other processes may only read it.
class File
{
public:
    explicit File(const std::wstring& path);
    virtual ~File();

    File(const File&) = delete;
    File& operator=(const File&) = delete;

    std::int64_t GetSize() const;

    // One ReadFile call for as many bytes as the buffer holds; 0 at the end of the file.
    // Bytes past the returned count keep what they held.
    std::uint32_t Read(byte_vector& buffer);

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};
