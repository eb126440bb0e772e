#pragma once

#include <string>

// Hashes the image under the shell's progress dialog, checks it against the downloaded
// list of official images and shows the verdict. Returns quietly when the user cancels.
void run_verification(const std::wstring& path);
