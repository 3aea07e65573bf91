// CompareStringW, CharUpperBuffW and CharLowerBuffW with the user locale, as
// Windows answers them for text whose order doesn't depend on the language.
#include <gtest/gtest.h>

#include "platform/Win32.h"

namespace {

int Compare(DWORD flags, const WCHAR* a, const WCHAR* b) {
  return CompareStringW(LOCALE_USER_DEFAULT, flags, a, -1, b, -1);
}

TEST(PlatformLocaleText, CompareIgnoringCaseMatchesAnyLetterCase) {
  struct Case {
    const WCHAR* a;
    const WCHAR* b;
  } equal[] = {
      {KW("SHA-256"), KW("sha-256")},
      {KW("Korvane.ini"), KW("KORVANE.INI")},
      {KW("\u00e9t\u00e9"), KW("\u00c9T\u00c9")},            // été / ÉTÉ
      {KW("\u0436\u0443\u043a"), KW("\u0416\u0423\u041a")},  // жук / ЖУК
      {KW(""), KW("")},
  };
  for (const auto& c : equal) EXPECT_EQ(Compare(NORM_IGNORECASE, c.a, c.b), CSTR_EQUAL) << (&c - equal);
  EXPECT_NE(Compare(NORM_IGNORECASE, KW("SHA-256"), KW("SHA256")), CSTR_EQUAL);
  EXPECT_NE(Compare(NORM_IGNORECASE, KW("MD5"), KW("MD4")), CSTR_EQUAL);
}

TEST(PlatformLocaleText, CompareOrdersLikeWindows) {
  struct Case {
    DWORD flags;
    const WCHAR* a;
    const WCHAR* b;
    int expected;
  } cases[] = {
      {0, KW("abc"), KW("abd"), CSTR_LESS_THAN},       {0, KW("abd"), KW("abc"), CSTR_GREATER_THAN},
      {0, KW("ab"), KW("abc"), CSTR_LESS_THAN},        {0, KW(""), KW("a"), CSTR_LESS_THAN},
      {0, KW("a"), KW(""), CSTR_GREATER_THAN},         {0, KW("1"), KW("a"), CSTR_LESS_THAN},
      {0, KW("a"), KW("B"), CSTR_LESS_THAN},  // letters before case
      {0, KW("Z"), KW("a"), CSTR_GREATER_THAN},        {NORM_IGNORECASE, KW("a"), KW("B"), CSTR_LESS_THAN},
      {0, KW("a"), KW("A"), CSTR_LESS_THAN},  // lower case first when only case differs
      {0, KW("A"), KW("a"), CSTR_GREATER_THAN},        {0, KW("aB"), KW("Ab"), CSTR_LESS_THAN},
      {0, KW("\u00e9"), KW("\u00c9"), CSTR_LESS_THAN}, {0, KW("x"), KW("x"), CSTR_EQUAL},
  };
  for (const auto& c : cases) EXPECT_EQ(Compare(c.flags, c.a, c.b), c.expected) << (&c - cases);
}

TEST(PlatformLocaleText, CompareTakesCountsOrNulTerminatedText) {
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, KW("abc"), 2, KW("abd"), 2), CSTR_EQUAL);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, KW("abcX"), 3, KW("abc"), -1), CSTR_EQUAL);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, KW("abc"), -5, KW("abc"), 3), CSTR_EQUAL);  // any negative
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, KW("abc"), 0, KW("xyz"), 0), CSTR_EQUAL);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, KW("abc"), 3, KW("abcd"), 4), CSTR_LESS_THAN);
}

TEST(PlatformLocaleText, CompareRefusesMissingText) {
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, nullptr, -1, KW("a"), -1), 0);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, KW("a"), -1, nullptr, -1), 0);
}

TEST(PlatformLocaleText, UpperAndLowerCaseMapEveryScript) {
  struct Case {
    const WCHAR* lower;
    const WCHAR* upper;
  } cases[] = {
      {KW("sha-256_%hash%"), KW("SHA-256_%HASH%")},
      {KW("\u00e9\u00e0\u00ff\u00e6"), KW("\u00c9\u00c0\u0178\u00c6")},  // éàÿæ
      {KW("\u0436\u0451\u044f"), KW("\u0416\u0401\u042f")},              // жёя
      {KW("\u03b1\u03c9"), KW("\u0391\u03a9")},                          // αω
      {KW("0123 !?"), KW("0123 !?")},
      {KW("\U00010428x"), KW("\U00010400X")},  // Deseret, a surrogate pair
  };
  for (const auto& c : cases) {
    WStr text = c.lower;
    EXPECT_EQ(CharUpperBuffW(text.data(), static_cast<DWORD>(text.size())), text.size());
    EXPECT_EQ(text, WStr(c.upper)) << (&c - cases);
    EXPECT_EQ(CharLowerBuffW(text.data(), static_cast<DWORD>(text.size())), text.size());
    EXPECT_EQ(text, WStr(c.lower)) << (&c - cases);
  }
}

TEST(PlatformLocaleText, CaseChangeStopsAtTheCount) {
  WStr text = KW("abcd");
  EXPECT_EQ(CharUpperBuffW(text.data(), 2), 2u);
  EXPECT_EQ(text, WStr(KW("ABcd")));
  EXPECT_EQ(CharLowerBuffW(text.data(), 1), 1u);
  EXPECT_EQ(text, WStr(KW("aBcd")));
}

TEST(PlatformLocaleText, CharactersWithoutASimplePartnerStay) {
  // ß has no single upper-case letter; dotless ı and final ς map only one way
  // in Unicode, and Windows leaves them.
  WStr upper = KW("\u00df\u0131\u03c2");
  CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  EXPECT_EQ(upper, WStr(KW("\u00df\u0131\u03c2")));
  WStr lower = KW("\u0130");  // İ
  CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
  EXPECT_EQ(lower, WStr(KW("\u0130")));
}

}  // namespace
