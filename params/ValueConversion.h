// Value conversion: every value enters a parameter through ConvertValue,
// which turns one of the five kinds (VT_EMPTY aside) into another.
#pragma once

#include <cstdint>

#include "platform/Win32.h"

// A PROPVARIANT of kind VT_EMPTY with all bytes zero.
PROPVARIANT EmptyValue();

// The text of a VT_BSTR value up to its terminator; a null text reads as the
// empty text.
const WCHAR* ValueText(const PROPVARIANT& value);

// Text to a signed 64-bit integer: leading spaces, an optional "-" or "+",
// then decimal digits, or hexadecimal digits after "$", "x" or "0x". false for
// an empty text, anything after the digits, or a number beyond 64 bits.
bool TextToInt64(const WCHAR* text, std::int64_t& result);

// "off" and "no" are false, "on" and "yes" are true (letter case ignored, no
// trimming); any other text is not recognised (false result).
bool ParseSwitchWord(const WCHAR* text, bool& value);

// Converts source to the kind target. On S_OK dest has been cleared and
// holds the new value (a text in it is a new system string that dest now
// owns). E_INVALIDARG, with dest untouched, when the pair of kinds has no
// conversion or the source does not fit. A dest whose old kind cannot be
// cleared is raised as a failure (E_INVALIDARG). source and dest may be the
// same value.
HRESULT ConvertValue(const PROPVARIANT& source, VARTYPE target, PROPVARIANT& dest);
