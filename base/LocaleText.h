// Text comparison and case change by the user locale's rules, as names,
// values and extensions are matched throughout.
#pragma once

#include <cstddef>

#include "platform/Win32.h"

// A null text reads as the empty text.
inline const WCHAR* TextOrEmpty(const WCHAR* text) { return text ? text : KW(""); }

// Length in UTF-16 code units up to the terminator; a null text has length 0.
std::size_t TextLength(const WCHAR* text);

// Equal by the user locale's comparison, letter case significant.
bool SameText(const WCHAR* a, const WCHAR* b);
// Equal by the user locale's comparison, letter case ignored.
bool SameTextIgnoreCase(const WCHAR* a, const WCHAR* b);

// Upper- or lower-cases the whole text by the user locale's rules.
void UpperCase(WStr& text);
void LowerCase(WStr& text);
inline WStr UpperCased(WStr text) {
  UpperCase(text);
  return text;
}
inline WStr LowerCased(WStr text) {
  LowerCase(text);
  return text;
}
