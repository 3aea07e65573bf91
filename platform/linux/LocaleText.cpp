// Comparison and case change of UTF-16 text by the user locale, which here is
// Unicode's default case mapping for every locale identifier.
//
// CharUpperBuffW and CharLowerBuffW change surrogate pairs as the characters
// they encode. CompareStringW orders by UTF-16 unit after case folding (of
// characters of the basic plane); without
// NORM_IGNORECASE, texts that differ only in case then order lower case first,
// at the first unit that differs, as Windows does. Equality is what Windows
// answers for the same text; the order of punctuation and accented letters
// against other letters is not Windows' linguistic order. Flags that would
// ask for more than case folding are refused with ERROR_INVALID_FLAGS.
#include "platform/linux/Api.h"
#include "platform/linux/CaseMap.h"

namespace {

constexpr DWORD kIgnoreCase = NORM_IGNORECASE | LINGUISTIC_IGNORECASE;
constexpr DWORD kAcceptedFlags = kIgnoreCase | SORT_STRINGSORT | NORM_LINGUISTIC_CASING;

int Length(LPCWSTR text, int length) {
  if (length >= 0) return length;
  int n = 0;
  while (text[n] != 0) ++n;
  return n;
}

bool IsLowerCase(WCHAR c) { return standin::detail::UpperUnit(c) != c; }

int Order(int difference) {
  return difference < 0 ? CSTR_LESS_THAN : difference > 0 ? CSTR_GREATER_THAN : CSTR_EQUAL;
}

}  // namespace

int CompareStringW(LCID /*locale*/, DWORD flags, LPCWSTR s1, int len1, LPCWSTR s2, int len2) {
  using standin::detail::FoldUnit;
  if (s1 == nullptr || s2 == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if ((flags & ~kAcceptedFlags) != 0) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  const int n1 = Length(s1, len1);
  const int n2 = Length(s2, len2);
  const int common = n1 < n2 ? n1 : n2;
  for (int i = 0; i < common; ++i) {
    const WCHAR a = FoldUnit(s1[i]);
    const WCHAR b = FoldUnit(s2[i]);
    if (a != b) return Order(a < b ? -1 : 1);
  }
  if (n1 != n2) return Order(n1 - n2);
  if ((flags & kIgnoreCase) != 0) return CSTR_EQUAL;
  for (int i = 0; i < n1; ++i) {
    const WCHAR a = s1[i];
    const WCHAR b = s2[i];
    if (a == b) continue;
    if (IsLowerCase(a) != IsLowerCase(b)) return IsLowerCase(a) ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
    return Order(a < b ? -1 : 1);
  }
  return CSTR_EQUAL;
}

DWORD CharUpperBuffW(LPWSTR text, DWORD length) {
  if (text == nullptr) return 0;
  standin::detail::UpperText(text, length);
  return length;
}

DWORD CharLowerBuffW(LPWSTR text, DWORD length) {
  if (text == nullptr) return 0;
  standin::detail::LowerText(text, length);
  return length;
}
