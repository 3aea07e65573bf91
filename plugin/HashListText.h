// Text pieces of a hash-list line.
#pragma once

#include <string>

#include "platform/Win32.h"

// Upper-case hex. Digests of 2, 4 or 8 bytes are one little-endian number
// written most significant digit first (CRC-style); others byte by byte.
WStr DigestToHex(const BYTE* digest, std::size_t size);

// The line format with its placeholders filled in: %FILENAME% (any case) by
// the path, %HASHNAME% (any case) by the algorithm's name, then %HASH% by the
// digest in upper case, %hash% by it in lower case, or, failing both, a
// %HASH% in any case by it in upper case. Each is replaced once.
WStr ComposeLine(const WStr& lineFormat, const WStr& path, const WStr& hashName,
                 const WStr& digestHex);

// The text from the name's last "." to its end, or empty when a "\" comes
// after it or there is none.
WStr FileExtension(const WStr& name);

// The text in the code page (CP_ACP or CP_UTF8), without terminator.
std::string ToCodePage(UINT codePage, const WStr& text);
