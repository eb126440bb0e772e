// Hashes a file exactly as the verification does (one 4096-byte buffer, File::Read then
// CryptoHashAlgorithm::HashData) and prints the throughput.
#include "../hashing/CryptoHashAlgorithm.h"
#include "../hashing/File.h"
#include "../app/errors.h"

#include <chrono>
#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
    {
        std::fwprintf(stderr, L"usage: hash_bench FILE\n");
        return 2;
    }
    try
    {
        const auto start = std::chrono::steady_clock::now();
        File file(argv[1]);
        CryptoHashAlgorithm hash;
        byte_vector buffer(4096, 0);
        std::uint64_t total = 0;
        while (const std::uint32_t count = file.Read(buffer))
        {
            hash.HashData(buffer, count);
            total += count;
        }
        const byte_vector digest = hash.GetHashValue();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        for (const auto byte : digest)
        {
            std::printf("%02x", byte);
        }
        std::printf("  %llu bytes  %.3f s  %.1f MB/s\n", static_cast<unsigned long long>(total), seconds,
                    static_cast<double>(total) / 1e6 / seconds);
        return 0;
    }
    catch (const windows_error& error)
    {
        std::fwprintf(stderr, L"%ls", error.message().c_str());
        return 1;
    }
}
