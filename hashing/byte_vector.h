#pragma once

#include <cstdint>
#include <vector>

// Read buffers, digests and expected digests.
using byte_vector = std::vector<std::uint8_t>;
