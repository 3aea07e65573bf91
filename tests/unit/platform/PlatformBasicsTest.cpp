// The small calls: identifier equality, the last error code, the tick count.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "platform/Win32.h"

namespace {

TEST(PlatformBasics, GuidsAreEqualOnlyWhenAllSixteenBytesAre) {
  const GUID base = {0x98EBF028, 0xCD74, 0x4006, {0xB9, 0x37, 0x03, 0xDA, 0x39, 0xA1, 0xC7, 0x8C}};
  GUID same = base;
  EXPECT_TRUE(IsEqualGUID(base, same));
  for (std::size_t byte = 0; byte < sizeof(GUID); ++byte) {
    GUID other = base;
    reinterpret_cast<unsigned char*>(&other)[byte] ^= 0x01;
    EXPECT_FALSE(IsEqualGUID(base, other)) << "byte " << byte;
    EXPECT_FALSE(IsEqualGUID(other, base)) << "byte " << byte;
  }
}

TEST(PlatformBasics, LastErrorKeepsTheCodeSet) {
  for (const DWORD code : {DWORD{0}, static_cast<DWORD>(ERROR_MORE_DATA), static_cast<DWORD>(NTE_BAD_KEYSET),
                           DWORD{0xFFFFFFFF}}) {
    SetLastError(code);
    EXPECT_EQ(GetLastError(), code);
  }
}

TEST(PlatformBasics, TickCountCountsMilliseconds) {
  const auto start = std::chrono::steady_clock::now();
  const DWORD first = GetTickCount();
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(120)) {
  }
  const DWORD elapsed = GetTickCount() - first;  // wraps like the real count
  EXPECT_GE(elapsed, 90u);
  EXPECT_LT(elapsed, 5000u);
}

}  // namespace
