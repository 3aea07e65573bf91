// The stand-in's text calls where it chooses among what Windows versions do
// or where Windows is not reachable from a test: profile paths in Windows
// spelling, argument checks, and the parts it documents as its own choice.
#include <gtest/gtest.h>

#include <string>

#include "platform/Win32.h"
#include "tests/unit/support/TempDir.h"

using testing_files::TempDir;

namespace {

std::u16string Profile(const char16_t* section, const char16_t* key, const std::u16string& file,
                       const char16_t* fallback = u"def") {
  char16_t buffer[100];
  const DWORD n = GetPrivateProfileStringW(section, key, fallback, buffer, 100, file.c_str());
  return std::u16string(buffer, n);
}

std::u16string WindowsSpelling(const std::filesystem::path& path) {
  std::u16string s = path.u16string();
  for (char16_t& c : s) {
    if (c == u'/') c = u'\\';
  }
  return s;
}

TEST(StandinText, ProfilePathTakesEitherSeparator) {
  const TempDir dir;
  const auto file = dir.Write("Korvane.ini", "[Main]\r\nMD5=0\r\n");
  EXPECT_EQ(Profile(u"Main", u"MD5", WindowsSpelling(file)), u"0");
  std::u16string mixed = file.u16string();
  mixed[mixed.rfind(u'/')] = u'\\';
  EXPECT_EQ(Profile(u"Main", u"MD5", mixed), u"0");
}

TEST(StandinText, ProfileFollowsWineWhereWindowsIsSilent) {
  const TempDir dir;
  const std::u16string file = dir.Write("a.ini",
                                        "[ Main ]\r\n"
                                        ";comment=x\r\n"
                                        "dup=1\r\n"
                                        "dup=2\r\n"
                                        "bad=\xC3\x28\r\n")
                                  .u16string();
  EXPECT_EQ(Profile(u"Main", u"dup", file), u"1");       // blanks inside the brackets don't count
  EXPECT_EQ(Profile(u"Main", u";comment", file), u"x");  // a comment line can still be read by name
  EXPECT_EQ(Profile(u"Main", nullptr, file), std::u16string(u"dup\0dup\0bad\0", 12));
  EXPECT_EQ(Profile(u"Main", u"bad", file), u"\u00c3(");       // no byte-order mark: the ANSI code page
  EXPECT_EQ(Profile(u"Main", u"missing", file, u"   "), u"");  // every trailing blank goes
}

TEST(StandinText, ProfileReadsUtf16BigEndianAndBadUtf8) {
  const TempDir dir;
  const std::u16string be =
      dir.Write("be.ini", std::string("\xFE\xFF\0[\0s\0]\0\n\0k\0=\x04\x36", 16)).u16string();
  EXPECT_EQ(Profile(u"s", u"k", be), u"\u0436");
  const std::u16string utf8 = dir.Write("u8.ini",
                                        "\xEF\xBB\xBF[s]\nk=a\xFF"
                                        "b\xE2\x82\n")
                                  .u16string();
  EXPECT_EQ(Profile(u"s", u"k", utf8), u"a\uFFFDb\uFFFD");
}

TEST(StandinText, CompareRefusesBadArgumentsWithTheirCodes) {
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, nullptr, -1, u"a", -1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0x40000000, u"a", -1, u"a", -1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, LINGUISTIC_IGNORECASE, u"\u0416", -1, u"\u0436", -1),
            CSTR_EQUAL);
}

TEST(StandinText, Utf8ConversionRefusesDefaultCharacterAndOtherFlags) {
  char out[8];
  const char16_t lone[] = {u'a', 0xD800, 0};
  BOOL used = FALSE;
  struct Case {
    UINT codePage;
    DWORD flags;
    const char16_t* text;
    LPCSTR defaultChar;
    LPBOOL usedDefault;
    DWORD error;
  } cases[] = {
      {CP_UTF8, 0, u"a", "?", nullptr, ERROR_INVALID_PARAMETER},
      {CP_UTF8, 0, u"a", nullptr, &used, ERROR_INVALID_PARAMETER},
      {CP_UTF8, WC_NO_BEST_FIT_CHARS, u"a", nullptr, nullptr, ERROR_INVALID_FLAGS},
      {CP_UTF8, WC_ERR_INVALID_CHARS, lone, nullptr, nullptr, ERROR_NO_UNICODE_TRANSLATION},
      {CP_ACP, WC_ERR_INVALID_CHARS, u"a", nullptr, nullptr, ERROR_INVALID_FLAGS},
      {12345, 0, u"a", nullptr, nullptr, ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : cases) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(WideCharToMultiByte(c.codePage, c.flags, c.text, -1, out, 8, c.defaultChar, c.usedDefault), 0)
        << (&c - cases);
    EXPECT_EQ(GetLastError(), c.error) << (&c - cases);
  }
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, u"ok", -1, out, 8, nullptr, nullptr), 3);
}

TEST(StandinText, AnsiBestFitsOnlyASampleOfWindowsTable) {
  // "ā" is in the sample and becomes "a", unreported; the minus sign, which
  // Windows makes "-", is not, and becomes the default character.
  char out[8];
  BOOL used = FALSE;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u0101\u2212", 2, out, 8, nullptr, &used), 2);
  EXPECT_EQ(std::string(out, 2), "a?");
  EXPECT_TRUE(used);
}

TEST(StandinText, AllocStringLenWithoutTextIsZeroFilled) {
  const BSTR text = SysAllocStringLen(nullptr, 5);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::u16string(text, 6), std::u16string(6, u'\0'));
  SysFreeString(text);
}

}  // namespace
