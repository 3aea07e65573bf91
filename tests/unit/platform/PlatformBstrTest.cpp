// OLE automation strings: length prefix, terminator, lengths, NULL handling.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/Win32.h"

namespace {

// The 32-bit byte count stored right before the text.
UINT BytePrefix(BSTR text) {
  UINT bytes = 0;
  std::memcpy(&bytes, reinterpret_cast<const char*>(text) - sizeof bytes, sizeof bytes);
  return bytes;
}

TEST(PlatformBstr, AllocStringCopiesTextWithPrefixAndTerminator) {
  const BSTR text = SysAllocString(KW("SHA-256 \u00e9"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 9u);
  EXPECT_EQ(BytePrefix(text), 18u);
  EXPECT_EQ(WStr(text, 9), WStr(KW("SHA-256 \u00e9")));
  EXPECT_EQ(text[9], WCHAR(0));
  SysFreeString(text);
}

TEST(PlatformBstr, AllocStringLenTakesExactlyTheCount) {
  const BSTR cut = SysAllocStringLen(KW("abcdef"), 3);
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(SysStringLen(cut), 3u);
  EXPECT_EQ(WStr(cut, 4), WStr(KW("abc\0"), 4));
  SysFreeString(cut);

  // Embedded NULs belong to the text; this is how an identifier's 16 bytes travel.
  const WCHAR raw[] = {0x1234, 0, 0xFFFF, 0, 0x00E9, 0x8000, 0, 0x0001};
  const BSTR binary = SysAllocStringLen(raw, 8);
  ASSERT_NE(binary, nullptr);
  EXPECT_EQ(SysStringLen(binary), 8u);
  EXPECT_EQ(std::memcmp(binary, raw, sizeof raw), 0);
  EXPECT_EQ(binary[8], WCHAR(0));
  SysFreeString(binary);
}

TEST(PlatformBstr, AllocStringLenWithoutTextIsTerminated) {
  const BSTR text = SysAllocStringLen(nullptr, 4);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 4u);
  EXPECT_EQ(BytePrefix(text), 8u);
  EXPECT_EQ(text[4], WCHAR(0));
  SysFreeString(text);
}

TEST(PlatformBstr, EmptyAndNull) {
  const BSTR empty = SysAllocString(KW(""));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringLen(empty), 0u);
  EXPECT_EQ(empty[0], WCHAR(0));
  SysFreeString(empty);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
}

}  // namespace
