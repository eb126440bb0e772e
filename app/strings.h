#pragma once

#include <windows.h>

#include <string>

// The executable whose resources are read; set once by the entry point.
extern HINSTANCE module_instance;

// A string-table entry, or an empty string when the table has none with that id.
std::wstring load_string(UINT id);
