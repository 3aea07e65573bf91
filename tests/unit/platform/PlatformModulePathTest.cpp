// GetModuleFileNameW of the running program: the whole path, and the cut
// that a short buffer gets.
#include <gtest/gtest.h>

#include <vector>

#include "platform/Win32.h"

namespace {

TEST(PlatformModulePath, WholePathIsTheProgramsFile) {
  std::vector<WCHAR> buffer(1024, WCHAR('#'));
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  ASSERT_GT(n, 0u);
  ASSERT_LT(n, buffer.size());
  EXPECT_EQ(buffer[n], WCHAR(0));
  const WStr path(buffer.data(), n);
  const std::size_t slash = path.rfind(WCHAR('\\'));
  ASSERT_NE(slash, WStr::npos);
  EXPECT_EQ(path.substr(slash + 1, 13), WStr(KW("korvane_tests")));
  EXPECT_EQ(path.find(WCHAR('/')), WStr::npos);
}

TEST(PlatformModulePath, ShortBufferIsCutAndReportsInsufficientBuffer) {
  WCHAR whole[1024];
  const DWORD n = GetModuleFileNameW(nullptr, whole, 1024);
  ASSERT_GT(n, 5u);
  WCHAR cut[8];
  for (WCHAR& c : cut) c = WCHAR('#');
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GetModuleFileNameW(nullptr, cut, 5), 5u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(WStr(cut, 4), WStr(whole, 4));
  EXPECT_EQ(cut[5], WCHAR('#'));  // nothing past the buffer
}

}  // namespace
