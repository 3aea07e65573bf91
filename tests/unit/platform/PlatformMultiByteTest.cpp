// MultiByteToWideChar from UTF-8 and the ANSI code page, as Windows converts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Win32.h"

namespace {

struct Decoded {
  int result;
  std::vector<unsigned> units;
  DWORD error;
};

Decoded Decode(UINT codePage, DWORD flags, const std::string& bytes) {
  std::vector<WCHAR> out(64, 0);
  SetLastError(ERROR_SUCCESS);
  const int n = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                                    static_cast<int>(out.size()));
  return {n, std::vector<unsigned>(out.begin(), out.begin() + (n > 0 ? n : 0)), GetLastError()};
}

TEST(PlatformMultiByte, StrictUtf8RefusesMalformedBytes) {
  const Decoded ok = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, "caf\xC3\xA9 \xF0\x9F\x98\x80");
  EXPECT_EQ(ok.units, (std::vector<unsigned>{'c', 'a', 'f', 0xE9, ' ', 0xD83D, 0xDE00}));
  for (const std::string bad : {"caf\xE9", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"}) {
    const Decoded d = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, bad);
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(d.error, static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  }
  // The size query.
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xC3\xA9x", 3, nullptr, 0), 2);
}

TEST(PlatformMultiByte, AnsiIsWindows1252) {
#ifdef _WIN32
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP();
#endif
  EXPECT_EQ(Decode(CP_ACP, 0, "caf\xE9 \x80\x9F").units,
            (std::vector<unsigned>{'c', 'a', 'f', 0xE9, ' ', 0x20AC, 0x178}));
}

}  // namespace
