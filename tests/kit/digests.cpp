#include "kit/digests.h"

#include "hashing/CryptoHashAlgorithm.h"
#include "hashing/File.h"
#include "kit/test_files.h"

std::string md5_hex(const std::string& bytes)
{
    CryptoHashAlgorithm hash;
    if (!bytes.empty())
    {
        hash.HashData(byte_vector(bytes.begin(), bytes.end()), static_cast<std::uint32_t>(bytes.size()));
    }
    return to_hex(hash.GetHashValue());
}

std::string md5_hex_of_file(const std::wstring& path)
{
    File file(path);
    CryptoHashAlgorithm hash;
    byte_vector buffer(4096, 0);
    while (const std::uint32_t count = file.Read(buffer))
    {
        hash.HashData(buffer, count);
    }
    return to_hex(hash.GetHashValue());
}
