// Text pieces of a hash-list line.
#pragma once

#include <string>
#include <string_view>

#include "platform/Win32.h"

// Upper-case hex. Digests of 2, 4 or 8 bytes are one little-endian number
// written most significant digit first (CRC-style); others byte by byte.
WStr DigestToHex(const BYTE* digest, std::size_t size);
// Upper-case hex of the bytes in their order.
WStr BytesToHex(const BYTE* bytes, std::size_t size);

// The line format with its placeholders filled in (see ParseLineLayout): the
// path, the algorithm's name and the digest are inserted as they are and are
// never taken for placeholders themselves.
WStr ComposeLine(const WStr& lineFormat, const WStr& path, const WStr& hashName, const WStr& digestHex);

// The text from the name's last "." to its end, or empty when a "\" comes
// after it or there is none.
WStr FileExtension(const WStr& name);

// The text in the code page (CP_ACP or CP_UTF8), without terminator.
std::string ToCodePage(UINT codePage, const WStr& text);

// Bytes of the code page (CP_ACP or CP_UTF8) as UTF-16. False when UTF-8 bytes
// are malformed.
bool FromCodePage(UINT codePage, std::string_view bytes, WStr& text);

// Hexadecimal digits (either case) as bytes, two digits a byte, in the order
// they stand. False for an odd count or anything but a digit.
bool HexToBytes(WStrView hex, BYTE* bytes);
