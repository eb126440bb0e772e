#include "app/strings.h"

#include <gtest/gtest.h>

#include <objbase.h>

// The tests run where the program runs: in a single-threaded apartment, reading the
// string table of their own executable.
int main(int argc, char** argv)
{
    module_instance = GetModuleHandleW(nullptr);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
