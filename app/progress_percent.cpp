#include "progress_percent.h"

#include <cfloat>

// The percent is defined by double arithmetic: the quotient rounded to a double before it is
// multiplied. Evaluated in x87 extended precision (32-bit GCC's default) the quotient keeps
// more bits, and 29 of 100 chunks comes out as 29 percent instead of 28.
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD != 0
#error "double expressions must be evaluated in double precision: build 32-bit x86 with SSE2 math"
#endif

std::uint32_t percent_done(std::uint64_t hashed, std::int64_t size)
{
    if (size <= 0)
    {
        return 100;
    }
    const double quotient = static_cast<double>(hashed) / static_cast<double>(size);
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(quotient * 100.0));
}
