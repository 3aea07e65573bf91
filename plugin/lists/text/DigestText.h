// Digests as a list line writes them: the order of their bytes and their
// hexadecimal digits.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/Win32.h"

// The order in which a list prints a digest, used both when a line is
// composed and when a computed digest is compared with a line's. Digests of
// 2, 4 or 8 bytes are one little-endian number (CRC-style), printed most
// significant byte first; any other digest is printed byte by byte as the
// hasher gives it.
std::vector<BYTE> InPrintedOrder(const BYTE* digest, std::size_t size);

// Upper-case (or lower-case) hex of the bytes in their order.
WStr BytesToHex(const BYTE* bytes, std::size_t size, bool upperCase = true);
// Upper-case hex of a digest in its printed order.
WStr DigestToHex(const BYTE* digest, std::size_t size);

// Hexadecimal digits (either case) as bytes, two digits a byte, in the order
// they stand. False for an odd count or anything but a digit.
bool HexToBytes(WStrView hex, BYTE* bytes);
