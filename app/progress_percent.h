#pragma once

#include <cstdint>

// Whole percent of size that hashed makes: the quotient first, then times 100.0, truncated.
// A size that is not positive (the file was empty when measured and has grown since)
// counts as done rather than dividing by zero.
std::uint32_t percent_done(std::uint64_t hashed, std::int64_t size);
