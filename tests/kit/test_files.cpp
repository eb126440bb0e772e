#include "kit/test_files.h"

#include <shellapi.h>
#include <winioctl.h>

#include <stdexcept>

temporary_folder::temporary_folder()
{
    wchar_t base[MAX_PATH]{};
    GetTempPathW(MAX_PATH, base);
    static unsigned sequence = 0;
    m_path = std::wstring(base) + L"halcyra-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(++sequence);
    if (!CreateDirectoryW(m_path.c_str(), nullptr))
    {
        throw std::runtime_error("cannot create a temporary folder");
    }
}

temporary_folder::~temporary_folder()
{
    std::wstring from = m_path;
    from.push_back(L'\0'); // SHFileOperationW wants a double-NUL-terminated list
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationW(&operation);
}

std::wstring temporary_folder::write(const std::wstring& name, const std::string& bytes) const
{
    const std::wstring path = file(name);
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
    {
        throw std::runtime_error("cannot create a test file");
    }
    DWORD written = 0;
    const BOOL ok = bytes.empty() || WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(handle);
    if (!ok || written != bytes.size())
    {
        throw std::runtime_error("cannot write a test file");
    }
    return path;
}

void make_zero_file(const std::wstring& path, std::int64_t size)
{
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
    {
        throw std::runtime_error("cannot create a test file");
    }
    DWORD returned = 0;
    DeviceIoControl(handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = size;
    const bool sized = SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
    CloseHandle(handle);
    if (!sized)
    {
        throw std::runtime_error("cannot size a test file");
    }
}

std::string patterned_bytes(size_t size)
{
    std::string bytes(size, '\0');
    std::uint32_t state = 2463534242u;
    for (auto& byte : bytes)
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state);
    }
    return bytes;
}

std::wstring executable_folder()
{
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::string to_hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char byte : bytes)
    {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

std::wstring widen(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring from_utf8(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string to_utf8(const std::wstring& text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr, nullptr);
    return narrow;
}
