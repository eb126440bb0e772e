#pragma once

#include <string>

// MD5 in lower-case hexadecimal, computed with the program's own CryptoHashAlgorithm.
std::string md5_hex(const std::string& bytes);

// The same for a file read as the verification run reads it: one 4096-byte buffer, reused.
std::string md5_hex_of_file(const std::wstring& path);
