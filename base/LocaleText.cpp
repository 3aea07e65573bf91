#include "base/LocaleText.h"

namespace {

bool Compare(DWORD flags, const WCHAR* a, const WCHAR* b) {
  return CompareStringW(LOCALE_USER_DEFAULT, flags, TextOrEmpty(a), -1, TextOrEmpty(b), -1) == CSTR_EQUAL;
}

}  // namespace

std::size_t TextLength(const WCHAR* text) {
  std::size_t length = 0;
  if (text)
    while (text[length] != 0) ++length;
  return length;
}

bool SameText(const WCHAR* a, const WCHAR* b) { return Compare(0, a, b); }

bool SameTextIgnoreCase(const WCHAR* a, const WCHAR* b) { return Compare(NORM_IGNORECASE, a, b); }

void UpperCase(WStr& text) {
  if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
}

void LowerCase(WStr& text) {
  if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
}
