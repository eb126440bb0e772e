#include "errors.h"

#include "local_memory.h"

#include <sstream>
#include <vector>

std::string to_narrow(const std::wstring& message)
{
    const int length = static_cast<int>(message.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, message.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed == 0)
    {
        return {};
    }
    std::vector<char> narrow(static_cast<size_t>(needed));
    WideCharToMultiByte(CP_ACP, 0, message.data(), length, narrow.data(), needed, nullptr, nullptr);
    return std::string(narrow.data(), narrow.size());
}

std::wstring system_message(DWORD code)
{
    // Without FORMAT_MESSAGE_IGNORE_INSERTS a system text with %1 in it would make the
    // call read insert arguments from a null pointer.
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr /* no message source */,
        code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<wchar_t*>(&buffer),
        0 /* minimum size */,
        nullptr /* no inserts */);
    const unique_local_memory<wchar_t> owned(buffer);
    if (length != 0 && owned)
    {
        return std::wstring(owned.get());
    }

    std::wostringstream text;
    text << L"Error code: 0x" << std::hex << code;
    return text.str();
}
