// Text to and from the bytes of a list's code page.
#pragma once

#include <string>
#include <string_view>

#include "platform/Win32.h"

// UTF-16 little-endian, as Windows numbers it; a list in it begins with its
// byte-order mark.
constexpr UINT kCodePageUtf16Le = 1200;

// The text in the code page (CP_ACP, CP_UTF8 or kCodePageUtf16Le), without
// terminator.
std::string ToCodePage(UINT codePage, const WStr& text);

// Bytes of the code page (CP_ACP, CP_UTF8 or kCodePageUtf16Le) as UTF-16.
// False when UTF-8 bytes are malformed or UTF-16 bytes are odd in number.
bool FromCodePage(UINT codePage, std::string_view bytes, WStr& text);
