// Text to and from the bytes of a list's code page.
#pragma once

#include <string>
#include <string_view>

#include "platform/Win32.h"

// The text in the code page (CP_ACP or CP_UTF8), without terminator.
std::string ToCodePage(UINT codePage, const WStr& text);

// Bytes of the code page (CP_ACP or CP_UTF8) as UTF-16. False when UTF-8 bytes
// are malformed.
bool FromCodePage(UINT codePage, std::string_view bytes, WStr& text);
