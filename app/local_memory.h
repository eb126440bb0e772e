#pragma once

#include <windows.h>

#include <memory>

// Owner of memory that the system allocated for us with LocalAlloc
// (FormatMessageW's buffer, CommandLineToArgvW's vector).
struct local_memory_deleter
{
    void operator()(void* memory) const noexcept
    {
        LocalFree(memory);
    }
};

template <class T>
using unique_local_memory = std::unique_ptr<T, local_memory_deleter>;
