// Line composition pieces.
#include <gtest/gtest.h>

#include "plugin/HashListText.h"
#include "tests/unit/support/Text.h"

using testing_text::Utf8;

namespace {

TEST(ComposeLine, PlaceholdersAreReplacedOnceEach) {
  struct Case {
    const WCHAR* format;
    std::string line;
  } cases[] = {
      {KW("%FILENAME% %HASH%"), "p\\f.txt 0A1B"},
      {KW("%filename% *%hash%"), "p\\f.txt *0a1b"},
      {KW("%Hash% %HASHNAME%"), "0A1B MD5"},
      {KW("%HASH% %hash%"), "0A1B %hash%"},
      {KW("%HASHNAME%%HASH%%HASH%"), "MD50A1B%HASH%"},
      {KW("x"), "x"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Utf8(ComposeLine(c.format, KW("p\\f.txt"), KW("MD5"), KW("0A1B"))), c.line);
  // An inserted path is searched by the later steps.
  EXPECT_EQ(Utf8(ComposeLine(KW("%FILENAME%"), KW("%hash%"), KW("MD5"), KW("0A1B"))), "0a1b");
}

TEST(FileExtension, FromTheLastDotAfterTheLastBackslash) {
  EXPECT_EQ(Utf8(FileExtension(KW("C:\\d\\list.MD5"))), ".MD5");
  EXPECT_EQ(Utf8(FileExtension(KW("C:\\d.x\\list"))), "");
  EXPECT_EQ(Utf8(FileExtension(KW("d.x/list"))), ".x/list");
  EXPECT_EQ(Utf8(FileExtension(KW(".md5"))), ".md5");
  EXPECT_EQ(Utf8(FileExtension(KW("list"))), "");
}

TEST(DigestToHex, NumbersForShortDigests) {
  const BYTE bytes[] = {0x78, 0x56, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x90};
  EXPECT_EQ(Utf8(DigestToHex(bytes, 2)), "5678");
  EXPECT_EQ(Utf8(DigestToHex(bytes, 4)), "12345678");
  EXPECT_EQ(Utf8(DigestToHex(bytes, 8)), "90ABCDEF12345678");
  EXPECT_EQ(Utf8(DigestToHex(bytes, 3)), "785634");
  EXPECT_EQ(Utf8(DigestToHex(bytes, 0)), "");
}

}  // namespace
