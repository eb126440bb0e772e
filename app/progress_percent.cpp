#include "progress_percent.h"

std::uint32_t percent_done(std::uint64_t hashed, std::int64_t size)
{
    if (size <= 0)
    {
        return 100;
    }
    const double quotient = static_cast<double>(hashed) / static_cast<double>(size);
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(quotient * 100.0));
}
