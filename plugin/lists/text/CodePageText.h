// Text to and from the bytes of a list's code page.
#pragma once

#include <string>
#include <string_view>

#include "platform/Win32.h"

// UTF-16 little-endian, as Windows numbers it; a list in it begins with its
// byte-order mark.
constexpr UINT kCodePageUtf16Le = 1200;

// What ToCodePage gives for a text the code page can't hold. Windows' text
// for it: "No mapping for the Unicode character exists in the target
// multi-byte code page."
constexpr auto kNoUnicodeTranslation = static_cast<HRESULT>(0x80070459);

// The text in the code page (CP_ACP, CP_UTF8 or kCodePageUtf16Le), without
// terminator, only when every character converts exactly: a character the
// ANSI code page lacks never becomes "?" or a look-alike (best fit), and an
// unpaired surrogate never becomes U+FFFD in UTF-8. Either would make a list
// that names another file, or none. kNoUnicodeTranslation otherwise, and
// bytes is empty.
HRESULT ToCodePage(UINT codePage, const WStr& text, std::string& bytes);

// The text as UTF-16LE bytes, which hold every UTF-16 text as it is.
std::string ToUtf16Le(const WStr& text);

// Bytes of the code page (CP_ACP, CP_UTF8 or kCodePageUtf16Le) as UTF-16.
// False when UTF-8 bytes are malformed or UTF-16 bytes are odd in number.
bool FromCodePage(UINT codePage, std::string_view bytes, WStr& text);
