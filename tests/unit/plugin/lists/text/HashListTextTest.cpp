// Line composition pieces: the composer, extensions and digest text.
#include <gtest/gtest.h>

#include "plugin/lists/text/DigestText.h"
#include "plugin/lists/text/LineComposer.h"
#include "tests/unit/support/Text.h"

using testing_text::Utf8;

namespace {

// A line of the format with the digest 0A 1B in its printed order.
WStr ComposeLine(const WStr& format, const WStr& path, const WStr& hashName) {
  const BYTE digest[] = {0x0A, 0x1B};
  return ::ComposeLine(ParseLineLayout(format), path, hashName, digest, sizeof digest);
}

TEST(ComposeLine, PlaceholdersAreReplacedOnceEach) {
  struct Case {
    const WCHAR* format;
    std::string line;
  } cases[] = {
      {KW("%FILENAME% %HASH%"), "p\\f.txt 0A1B"},      {KW("%filename% *%hash%"), "p\\f.txt *0a1b"},
      {KW("%Hash% %HASHNAME%"), "0A1B MD5"},           {KW("%HASH% %hash%"), "0A1B %hash%"},
      {KW("%HASHNAME%%HASH%%HASH%"), "MD50A1B%HASH%"}, {KW("x"), "x"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8(ComposeLine(c.format, KW("p\\f.txt"), KW("MD5"))), c.line);
}

TEST(ComposeLine, InsertedTextIsNeverTakenForAPlaceholder) {
  const WStr names[] = {KW("%HASH%.txt"), KW("%hash%"), KW("%HASHNAME% x.txt"), KW("%FILENAME%.txt"),
                        KW("d\\%Hash%")};
  for (const WStr& name : names) {
    const std::string n = Utf8(name);
    EXPECT_EQ(Utf8(ComposeLine(KW("%HASH% *%FILENAME%"), name, KW("SHA-256"))), "0A1B *" + n);
    EXPECT_EQ(Utf8(ComposeLine(KW("%FILENAME% %HASH%"), name, KW("CRC32"))), n + " 0A1B");
    EXPECT_EQ(Utf8(ComposeLine(KW("%HASHNAME% (%FILENAME%) = %HASH%"), name, KW("MD5"))),
              "MD5 (" + n + ") = 0A1B");
  }
  // Nor is the name inserted for %HASHNAME%.
  EXPECT_EQ(Utf8(ComposeLine(KW("%HASHNAME% %FILENAME% %HASH%"), KW("f"), KW("%FILENAME%"))),
            "%FILENAME% f 0A1B");
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
