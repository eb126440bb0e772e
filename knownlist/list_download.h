#pragma once

#include "KnownImage.h"

#include <string>

// One synchronous HTTP GET of the list document at address. Every failed COM call is
// reported as the "download failed" message followed by the failure's own text.
KnownImageList download_known_images(const std::wstring& address);
