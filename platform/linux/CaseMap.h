// Letter case by Unicode's default mapping, as the Windows user locale
// applies it: a character is changed only when its partner changes back to it
// (so 'ı', 'ς', 'ſ', 'İ' and title-case digraphs stay as they are, as they do
// on Windows).
#pragma once

#include <string_view>

#include "platform/linux/Types.h"

namespace standin::detail {

char32_t UpperChar(char32_t c);
char32_t LowerChar(char32_t c);

// The same for one UTF-16 unit; a surrogate never changes on its own.
WCHAR UpperUnit(WCHAR c);
WCHAR LowerUnit(WCHAR c);

// The unit that comparisons without regard to case look at.
inline WCHAR FoldUnit(WCHAR c) { return UpperUnit(c); }

// Names that Windows takes for the same without regard to case (registry
// keys, provider names, profile sections and keys).
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);

// Changes the case of count UTF-16 units in place; a surrogate pair inside
// them changes as the character it encodes.
void UpperText(WCHAR* text, DWORD count);
void LowerText(WCHAR* text, DWORD count);

}  // namespace standin::detail
