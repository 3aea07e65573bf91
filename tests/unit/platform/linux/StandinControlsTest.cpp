// The module path and tick count that the tests set, and Reset().
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/Win32.h"
#include "platform/linux/TestControl.h"

namespace {

std::u16string ModulePath(DWORD size) {
  std::u16string buffer(size + 1, u'#');
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), size);
  return buffer.substr(0, n);
}

TEST(StandinControls, ModulePathIsTheOneSet) {
  standin::SetModulePath(u"\\opt\\7-Zip\\Codecs\\Korvane.64.dll");
  EXPECT_EQ(ModulePath(261), u"\\opt\\7-Zip\\Codecs\\Korvane.64.dll");
  const HMODULE someModule = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x10000));
  char16_t buffer[64];
  EXPECT_EQ(GetModuleFileNameW(someModule, buffer, 64), 32u);
  standin::Reset();
  EXPECT_NE(ModulePath(261), u"\\opt\\7-Zip\\Codecs\\Korvane.64.dll");
}

TEST(StandinControls, DefaultModulePathIsTheProgramInWindowsSpelling) {
  standin::Reset();
  char exe[4096];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe);
  ASSERT_GT(n, 0);
  std::u16string expected;
  for (ssize_t i = 0; i < n; ++i) expected.push_back(exe[i] == '/' ? u'\\' : static_cast<char16_t>(exe[i]));
  EXPECT_EQ(ModulePath(4096), expected);
}

TEST(StandinControls, ModulePathCutKeepsATerminator) {
  standin::SetModulePath(u"\\a\\b\\Korvane.dll");
  char16_t buffer[8];
  for (char16_t& c : buffer) c = u'#';
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 5), 5u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::u16string(buffer, 5), std::u16string(u"\\a\\b\0", 5));
  // Exactly the length: no room for the terminator either.
  EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 8), 8u);
  EXPECT_EQ(std::u16string(buffer), u"\\a\\b\\Ko");
  EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 0), 0u);
  standin::Reset();
}

TEST(StandinControls, TickCountCanBeFixed) {
  standin::SetTickCount(4294967295LL);
  EXPECT_EQ(GetTickCount(), 0xFFFFFFFFu);
  EXPECT_EQ(GetTickCount(), 0xFFFFFFFFu);
  standin::SetTickCount(4294967296LL + 7);  // the count is 32-bit
  EXPECT_EQ(GetTickCount(), 7u);
  standin::SetTickCount(-1);
  const DWORD a = GetTickCount();
  usleep(30000);
  EXPECT_GE(GetTickCount() - a, 25u);
  standin::SetTickCount(500);
  standin::Reset();
  EXPECT_NE(GetTickCount(), 500u);
}

}  // namespace
