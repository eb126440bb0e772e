#include "CryptoHashAlgorithm.h"

#include "../app/errors.h"

#include <stdexcept>

namespace
{
    constexpr wchar_t source_tag[] = L"CryptoHashAlgorithm";

    [[noreturn]] void throw_last_error(std::int32_t line)
    {
        const DWORD code = GetLastError();
        throw with_location(windows_error(code), source_tag, line);
    }
}

CryptoHashAlgorithm::CryptoHashAlgorithm()
{
    if (!CryptAcquireContextW(&m_provider, nullptr /* no container */, nullptr /* default provider */,
                              PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
    {
        throw_last_error(__LINE__);
    }
    if (!CryptCreateHash(m_provider, CALG_MD5, 0 /* no key */, 0, &m_hash))
    {
        // The destructor does not run for a failed constructor; read the code before the
        // release can overwrite it.
        const DWORD code = GetLastError();
        CryptReleaseContext(m_provider, 0);
        throw with_location(windows_error(code), source_tag, __LINE__);
    }
}

CryptoHashAlgorithm::~CryptoHashAlgorithm()
{
    CryptDestroyHash(m_hash);
    CryptReleaseContext(m_provider, 0);
}

void CryptoHashAlgorithm::HashData(const byte_vector& buffer, std::uint32_t count)
{
    if (count > buffer.size())
    {
        throw std::invalid_argument("size");
    }
    if (!CryptHashData(m_hash, buffer.data(), count, 0))
    {
        throw_last_error(__LINE__);
    }
}

byte_vector CryptoHashAlgorithm::GetHashValue() const
{
    DWORD digest_size = 0;
    DWORD size_width = sizeof(digest_size);
    if (!CryptGetHashParam(m_hash, HP_HASHSIZE, reinterpret_cast<BYTE*>(&digest_size), &size_width, 0))
    {
        throw_last_error(__LINE__);
    }
    byte_vector digest(digest_size, 0);
    if (!CryptGetHashParam(m_hash, HP_HASHVAL, digest.data(), &digest_size, 0))
    {
        throw_last_error(__LINE__);
    }
    return digest;
}
