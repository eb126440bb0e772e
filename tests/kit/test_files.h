#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// A folder of its own under the system's temporary folder, removed with everything in it.
class temporary_folder
{
public:
    temporary_folder();
    ~temporary_folder();
    temporary_folder(const temporary_folder&) = delete;
    temporary_folder& operator=(const temporary_folder&) = delete;

    const std::wstring& path() const { return m_path; }
    std::wstring file(const std::wstring& name) const { return m_path + L"\\" + name; }

    // Writes bytes to a new file in the folder and returns its path.
    std::wstring write(const std::wstring& name, const std::string& bytes) const;

private:
    std::wstring m_path;
};

// A file of that size whose bytes are all zero, made without writing them (sparse where
// the file system allows).
void make_zero_file(const std::wstring& path, std::int64_t size);

// Bytes that differ from chunk to chunk, so a misplaced chunk changes the digest.
std::string patterned_bytes(size_t size);

// The folder holding the running test executable (and Halcyra.exe beside it).
std::wstring executable_folder();

// Lower-case hexadecimal of bytes.
std::string to_hex(const std::string& bytes);
template <class Bytes>
std::string to_hex(const Bytes& bytes)
{
    return to_hex(std::string(bytes.begin(), bytes.end()));
}

std::wstring widen(const std::string& ascii);

std::wstring from_utf8(const std::string& text);
std::string to_utf8(const std::wstring& text);
