#pragma once

#include "com/ComHelper.h"

#include <string>
#include <utility>
#include <vector>

// A real MSXML 3.0 DOM document parsed from text (an unparsable text gives one without
// elements, as the request object's response does).
com_ptr<IXMLDOMDocument2> parse_xml(const std::wstring& text);

// A list document with one "Image" element per (name, hash) pair.
std::string list_document(const std::vector<std::pair<std::string, std::string>>& entries);
