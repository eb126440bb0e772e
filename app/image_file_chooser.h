#pragma once

#include <string>

// Asks for the image with the file-open dialog; empty when the user chose nothing.
std::wstring choose_image_file();
