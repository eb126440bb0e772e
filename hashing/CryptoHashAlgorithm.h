#pragma once

#include "byte_vector.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdint>

// MD5 from the default RSA full provider, in a verify-only context (no key container).
class CryptoHashAlgorithm
{
public:
    CryptoHashAlgorithm();
    virtual ~CryptoHashAlgorithm();

    CryptoHashAlgorithm(const CryptoHashAlgorithm&) = delete;
    CryptoHashAlgorithm& operator=(const CryptoHashAlgorithm&) = delete;

    // Adds the first count bytes of the buffer; throws invalid_argument("size") past its end.
    void HashData(const byte_vector& buffer, std::uint32_t count);

    byte_vector GetHashValue() const;

private:
    HCRYPTPROV m_provider = 0;
    HCRYPTHASH m_hash = 0;
};
