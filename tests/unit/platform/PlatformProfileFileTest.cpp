// GetPrivateProfileStringW as Windows answers it: name matching, values,
// defaults, key lists, buffer sizes and file encodings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Win32.h"
#include "tests/unit/support/TempDir.h"

using testing_files::TempDir;
using testing_files::WidePath;

namespace {

constexpr char kSample[] =
    "[section1]\r\n"
    "name1=val1\r\n"
    "name2=\"val2\"\r\n"
    "name3\r\n"
    "name4=a\r\n"
    ";comment=x\r\n"
    "  spaced key  =   spaced value   \r\n"
    "q1='abc'\r\n"
    "q2=\"abc'\r\n"
    "q3=\"\r\n"
    "dup=first\r\n"
    "dup=second\r\n"
    "[empty]\r\n"
    "[Section1]\r\n"
    "later=1\r\n";

struct Answer {
  DWORD result;
  WStr text;  // the buffer up to the result
};

class PlatformProfileFile : public ::testing::Test {
 protected:
  WStr Write(std::string_view bytes) { return WidePath(dir_.Write("test.ini", bytes)); }

  // One call with a buffer of size characters.
  static Answer Read(const WCHAR* section, const WCHAR* key, const WCHAR* fallback, DWORD size,
                     const WStr& file) {
    std::vector<WCHAR> buffer(size + 1, WCHAR('#'));
    const DWORD n = GetPrivateProfileStringW(section, key, fallback, buffer.data(), size, file.c_str());
    return {n, WStr(buffer.data(), n <= size ? n : size)};
  }

  // The whole buffer of a list answer, both closing NULs included.
  static WStr List(const WCHAR* section, DWORD size, const WStr& file, DWORD* result) {
    std::vector<WCHAR> buffer(size, WCHAR('#'));
    *result = GetPrivateProfileStringW(section, nullptr, KW("def"), buffer.data(), size, file.c_str());
    return WStr(buffer.data(), size);
  }

  TempDir dir_;
};

TEST_F(PlatformProfileFile, FindsValuesAsWindowsDoes) {
  const WStr file = Write(kSample);
  struct Case {
    const WCHAR* section;
    const WCHAR* key;
    const WCHAR* expected;
  } cases[] = {
      {KW("section1"), KW("name1"), KW("val1")},
      {KW("SECTION1"), KW("NAME1"), KW("val1")},        // case of names ignored
      {KW(" section1 "), KW("  name1\t"), KW("val1")},  // blanks around names ignored
      {KW("section1"), KW("name2"), KW("val2")},        // double quotes removed
      {KW("section1"), KW("q1"), KW("abc")},            // single quotes removed
      {KW("section1"), KW("q2"), KW("\"abc'")},         // quotes that don't pair stay
      {KW("section1"), KW("q3"), KW("\"")},             // a lone quote stays
      {KW("section1"), KW("spaced key"), KW("spaced value")},
      {KW("section1"), KW("dup"), KW("first")},  // first occurrence wins
      {KW("section1"), KW("name3"), KW("def")},  // no "=": not a value
      {KW("section1"), KW("missing"), KW("def")},
      {KW("section1"), KW("later"), KW("def")},  // only the first [section1]
      {KW("nosection"), KW("name1"), KW("def")},
  };
  for (const auto& c : cases) {
    const Answer a = Read(c.section, c.key, KW("def"), 100, file);
    EXPECT_EQ(a.text, WStr(c.expected)) << "key index " << (&c - cases);
    EXPECT_EQ(a.result, a.text.size());
  }
}

TEST_F(PlatformProfileFile, DefaultLosesTrailingBlanksOnly) {
  const WStr file = Write(kSample);
  EXPECT_EQ(Read(KW("section1"), KW("missing"), KW("def  "), 100, file).text, WStr(KW("def")));
  EXPECT_EQ(Read(KW("section1"), KW("missing"), KW("  x  "), 100, file).text, WStr(KW("  x")));
  const Answer none = Read(KW("section1"), KW("missing"), nullptr, 100, file);
  EXPECT_EQ(none.result, 0u);
  EXPECT_EQ(none.text, WStr());
  const Answer cut = Read(KW("section1"), KW("missing"), KW("abcdef"), 4, file);
  EXPECT_EQ(cut.result, 3u);
  EXPECT_EQ(cut.text, WStr(KW("abc")));
}

TEST_F(PlatformProfileFile, MissingFileGivesTheDefaultAndFileNotFound) {
  const WStr file = WidePath(dir_.Path() / "absent.ini");
  SetLastError(ERROR_SUCCESS);
  const Answer a = Read(KW("section1"), KW("name1"), KW("fallback "), 100, file);
  EXPECT_EQ(a.text, WStr(KW("fallback")));
  EXPECT_EQ(a.result, 8u);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Read(KW("section1"), nullptr, KW("def"), 100, file).text, WStr(KW("def")));
}

TEST_F(PlatformProfileFile, ValueIsCutToTheBuffer) {
  const WStr file = Write(kSample);
  struct Case {
    DWORD size;
    DWORD result;
    const WCHAR* text;
  } cases[] = {{1, 0, KW("")}, {2, 1, KW("v")}, {4, 3, KW("val")}, {5, 4, KW("val1")}, {6, 4, KW("val1")}};
  for (const auto& c : cases) {
    std::vector<WCHAR> buffer(c.size + 1, WCHAR('#'));
    const DWORD n =
        GetPrivateProfileStringW(KW("section1"), KW("name1"), KW("def"), buffer.data(), c.size, file.c_str());
    EXPECT_EQ(n, c.result) << "size " << c.size;
    EXPECT_EQ(WStr(buffer.data()), WStr(c.text)) << "size " << c.size;  // terminated within the buffer
    EXPECT_EQ(buffer[c.size], WCHAR('#')) << "size " << c.size;         // nothing written past it
  }
}

TEST_F(PlatformProfileFile, ZeroSizeWritesNothing) {
  const WStr file = Write(kSample);
  WCHAR buffer[2] = {WCHAR('#'), WCHAR('#')};
  EXPECT_EQ(GetPrivateProfileStringW(KW("section1"), KW("name1"), KW("def"), buffer, 0, file.c_str()), 0u);
  EXPECT_EQ(buffer[0], WCHAR('#'));
}

TEST_F(PlatformProfileFile, LongValueIsCutAt2047Characters) {
  const std::string value(3000, 'x');
  const WStr file = Write("[Main]\r\nlong=" + value + "\r\n");
  const Answer a = Read(KW("Main"), KW("long"), KW(""), 2048, file);
  EXPECT_EQ(a.result, 2047u);
  EXPECT_EQ(a.text, WStr(2047, WCHAR('x')));
}

TEST_F(PlatformProfileFile, KeyListHoldsNamesWithValuesWithoutComments) {
  const WStr file = Write("[s]\r\nalpha=1\r\n;note=2\r\nbeta\r\n  Gamma = 3\r\n[t]\r\nother=5\r\n");
  DWORD n = 0;
  const WStr list = List(KW("S"), 20, file, &n);
  EXPECT_EQ(n, 12u);
  EXPECT_EQ(list.substr(0, 13), WStr(KW("alpha\0Gamma\0\0"), 13));
}

TEST_F(PlatformProfileFile, KeyListThatDoesNotFitEndsWithTwoNuls) {
  const WStr file = Write(kSample);
  struct Case {
    DWORD size;
    const WCHAR* text;  // size characters
    std::size_t length;
  } cases[] = {
      {10, KW("name1\0na\0\0"), 10},
      {13, KW("name1\0name2\0\0"), 13},
  };
  for (const auto& c : cases) {
    DWORD n = 0;
    const WStr list = List(KW("section1"), c.size, file, &n);
    EXPECT_EQ(n, c.size - 2) << "size " << c.size;
    EXPECT_EQ(list, WStr(c.text, c.length)) << "size " << c.size;
  }
}

TEST_F(PlatformProfileFile, EmptyOrMissingSectionListsTheDefault) {
  const WStr file = Write(kSample);
  for (const WCHAR* section : {KW("empty"), KW("nosection")}) {
    DWORD n = 0;
    const WStr list = List(section, 10, file, &n);
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(list.substr(0, 4), WStr(KW("def\0"), 4));
  }
}

TEST_F(PlatformProfileFile, SectionNamesAreListedWithoutSection) {
  const WStr file = Write("[one]\r\na=1\r\n[Two]\r\n");
  std::vector<WCHAR> buffer(20, WCHAR('#'));
  const DWORD n = GetPrivateProfileStringW(nullptr, nullptr, KW(""), buffer.data(), 20, file.c_str());
  EXPECT_EQ(n, 8u);
  EXPECT_EQ(WStr(buffer.data(), 9), WStr(KW("one\0Two\0\0"), 9));
}

// UTF-16 LE with its byte-order mark.
std::string Utf16LeFile(const WStr& text) {
  std::string bytes = "\xFF\xFE";
  for (const WCHAR c : text) {
    bytes.push_back(static_cast<char>(static_cast<unsigned>(c) & 0xFF));
    bytes.push_back(static_cast<char>(static_cast<unsigned>(c) >> 8));
  }
  return bytes;
}

TEST_F(PlatformProfileFile, ReadsEachEncodingAndLineEnd) {
  struct Case {
    std::string bytes;
    const WCHAR* expected;
  } cases[] = {
      {"\xEF\xBB\xBF[s]\nk=\xC3\xA9\xE2\x82\xAC\xD0\xB6\n", KW("\u00e9\u20ac\u0436")},  // UTF-8, LF
      {Utf16LeFile(KW("[s]\r\nk=\u00e9\u0436\r\n")), KW("\u00e9\u0436")},               // UTF-16 LE
      {"[s]\rj=1\rk=cr\r", KW("cr")},                                                   // CR only
      {"[s]\nk=lf", KW("lf")},                                                          // no final line end
  };
  for (const auto& c : cases) {
    const WStr file = Write(c.bytes);
    EXPECT_EQ(Read(KW("s"), KW("k"), KW(""), 100, file).text, WStr(c.expected)) << "case " << (&c - cases);
  }
}

TEST_F(PlatformProfileFile, PlainTextIsTheAnsiCodePage) {
#ifdef _WIN32
  if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page here is not Windows-1252";
#endif
  const WStr file = Write("[s]\r\nk=\xE9\x80\x81\x9F\xFF\r\n");
  EXPECT_EQ(Read(KW("s"), KW("k"), KW(""), 100, file).text, WStr(KW("\u00e9\u20ac\u0081\u0178\u00ff")));
}

}  // namespace
