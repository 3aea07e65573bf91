// WideCharToMultiByte to UTF-8 and to the ANSI code page, as Windows converts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Win32.h"
#include "tests/unit/support/Text.h"

namespace {

struct Conversion {
  int result;
  std::string bytes;
  DWORD error;
};

Conversion Convert(UINT codePage, const WStr& text, int length, LPCSTR defaultChar = nullptr,
                   LPBOOL usedDefault = nullptr, DWORD flags = 0) {
  std::vector<char> out(64, '#');
  SetLastError(ERROR_SUCCESS);
  const int n = WideCharToMultiByte(codePage, flags, text.c_str(), length, out.data(),
                                    static_cast<int>(out.size()), defaultChar, usedDefault);
  return {n, std::string(out.data(), n > 0 ? static_cast<std::size_t>(n) : 0), GetLastError()};
}

TEST(PlatformWideChar, Utf8EncodesEveryCharacter) {
  const WCHAR pair[] = {0xD83D, 0xDE00, 0};        // U+1F600
  const WCHAR loneHigh[] = {'a', 0xD800, 'b', 0};  // high surrogate without low
  const WCHAR loneLow[] = {0xDC00, 0};
  const WCHAR swapped[] = {0xDE00, 0xD83D, 0};
  struct Case {
    WStr text;
    std::string expected;
  } cases[] = {
      {KW("abc"), "abc"},
      {KW("\u00e9"), "\xC3\xA9"},
      {KW("\u20ac\u0436"), "\xE2\x82\xAC\xD0\xB6"},
      {pair, "\xF0\x9F\x98\x80"},
      {loneHigh,
       "a\xEF\xBF\xBD"
       "b"},
      {loneLow, "\xEF\xBF\xBD"},
      {swapped, "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    const Conversion exact = Convert(CP_UTF8, c.text, static_cast<int>(c.text.size()));
    EXPECT_EQ(exact.bytes, c.expected) << (&c - cases);
    EXPECT_EQ(exact.result, static_cast<int>(c.expected.size()));
    const Conversion terminated = Convert(CP_UTF8, c.text, -1);  // the NUL is counted and written
    EXPECT_EQ(terminated.bytes, c.expected + std::string(1, '\0')) << (&c - cases);
  }
}

TEST(PlatformWideChar, SizeQueryAndShortBuffer) {
  const WStr text = KW("h\u00e9llo");
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), 7);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), 5, nullptr, 0, nullptr, nullptr), 6);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), 6);

  char out[6];
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out, 6, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out, 5, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), 5, out, 6, nullptr, nullptr), 6);
  EXPECT_EQ(std::string(out, 6), "h\xC3\xA9llo");
}

TEST(PlatformWideChar, EmptyCountIsRefused) {
  char out[4];
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, KW("a"), 0, out, 4, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(PlatformWideChar, AnsiIsWindows1252WithDefaultCharacter) {
  if (!testing_text::AnsiIsWindows1252()) GTEST_SKIP() << "the ANSI code page here is not Windows-1252";
  struct Case {
    WStr text;
    std::string expected;
    BOOL usedDefault;
  } cases[] = {
      {KW("abc"), "abc", FALSE},
      {KW("\u00e9\u00ff\u00a0"), "\xE9\xFF\xA0", FALSE},
      {KW("\u20ac\u201c\u0178\u0160\u2122"), "\x80\x93\x9F\x8A\x99", FALSE},  // the 0x80-0x9F row
      {KW("\u0081\u008d"), "\x81\x8D", FALSE},                                // its unused bytes
      {KW("a\u0436\u4e2d"), "a??", TRUE},                                     // no byte for ж, 中
      {KW("\U0001F600"), "??", TRUE},                                         // one per UTF-16 unit
  };
  for (const auto& c : cases) {
    BOOL used = 7;
    const Conversion conv = Convert(CP_ACP, c.text, static_cast<int>(c.text.size()), nullptr, &used);
    EXPECT_EQ(conv.bytes, c.expected) << (&c - cases);
    EXPECT_EQ(used, c.usedDefault) << (&c - cases);
  }
}

TEST(PlatformWideChar, AnsiTakesTheCallersDefaultCharacter) {
  if (!testing_text::AnsiIsWindows1252()) GTEST_SKIP() << "the ANSI code page here is not Windows-1252";
  BOOL used = FALSE;
  const Conversion conv = Convert(CP_ACP, KW("\u0436-\u4e2d"), -1, "*", &used);
  EXPECT_EQ(conv.bytes, std::string("*-*\0", 4));
  EXPECT_EQ(used, TRUE);
  // Without a place for the flag the conversion is the same.
  EXPECT_EQ(Convert(CP_ACP, KW("\u0436"), 1).bytes, "?");
}

TEST(PlatformWideChar, BestFitIsUnreportedUnlessSwitchedOff) {
  if (!testing_text::AnsiIsWindows1252()) GTEST_SKIP() << "the ANSI code page here is not Windows-1252";
  // Without WC_NO_BEST_FIT_CHARS a look-alike stands in and nothing says
  // so: the fullwidth reverse solidus even becomes a folder separator.
  const WStr name = KW("\u0141\u00f3d\u017a\uff3c\u0151");  // Łódź＼ő
  BOOL used = 7;
  Conversion conv = Convert(CP_ACP, name, static_cast<int>(name.size()), nullptr, &used);
  EXPECT_EQ(conv.bytes,
            "L\xF3"
            "dz\\o");
  EXPECT_EQ(used, FALSE);
  // With it, each becomes the default character, and that is reported.
  used = 7;
  conv = Convert(CP_ACP, name, static_cast<int>(name.size()), nullptr, &used, WC_NO_BEST_FIT_CHARS);
  EXPECT_EQ(conv.bytes,
            "?\xF3"
            "d???");
  EXPECT_EQ(used, TRUE);
  used = 7;
  conv = Convert(CP_ACP, KW("caf\u00e9"), 4, nullptr, &used, WC_NO_BEST_FIT_CHARS);
  EXPECT_EQ(conv.bytes, "caf\xE9");
  EXPECT_EQ(used, FALSE);
}

TEST(PlatformWideChar, Utf8RefusesAnUnpairedSurrogateWhenAsked) {
  const WCHAR lone[] = {'a', 0xDC00, 0};
  const Conversion refused = Convert(CP_UTF8, lone, 2, nullptr, nullptr, WC_ERR_INVALID_CHARS);
  EXPECT_EQ(refused.result, 0);
  EXPECT_EQ(refused.error, static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  const WCHAR pair[] = {0xD83D, 0xDE00, 0};
  EXPECT_EQ(Convert(CP_UTF8, pair, 2, nullptr, nullptr, WC_ERR_INVALID_CHARS).bytes, "\xF0\x9F\x98\x80");
}

}  // namespace
