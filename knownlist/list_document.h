#pragma once

#include "KnownImage.h"

#include "../com/ComHelper.h"

// Every "Image" child of the "Images" document element, all or nothing: the first entry
// that breaks a rule fails the whole list with the "list invalid" message.
KnownImageList read_known_images(const com_ptr<IXMLDOMDocument2>& document);

// 32 hexadecimal digits to the 16 bytes they spell.
byte_vector decode_hash(const std::wstring& text);

int hex_digit_value(wchar_t digit);
