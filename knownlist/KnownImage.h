#pragma once

#include "../hashing/byte_vector.h"

#include <string>
#include <vector>

// One official image: its name and the expected MD5 digest of the whole image file.
struct KnownImage
{
    std::wstring name;
    byte_vector hash;
};

// In document order; never empty when it comes from the list document.
using KnownImageList = std::vector<KnownImage>;
