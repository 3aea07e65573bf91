// RegOpenKeyExW / RegCloseKey on the provider keys, as the provider test uses
// them.
#include <gtest/gtest.h>

#include "platform/Win32.h"
#ifndef _WIN32
#include "platform/linux/TestControl.h"
#endif

namespace {

const WStr kProviders = KW("SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\");

class PlatformRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef _WIN32
    standin::Reset();
    standin::RegisterAllProviders();
#endif
  }
};

TEST_F(PlatformRegistry, RegisteredProviderKeyOpensAndCloses) {
  for (const WStr& path : {kProviders + KW("Microsoft Base Cryptographic Provider v1.0"),
                           kProviders + KW("Microsoft Enhanced RSA and AES Cryptographic Provider"),
                           WStr(KW("software\\MICROSOFT\\cryptography\\defaults\\provider\\microsoft BASE "
                                   "cryptographic provider v1.0"))}) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_NE(key, nullptr);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  }
}

TEST_F(PlatformRegistry, UnknownKeyIsNotFound) {
  HKEY key = nullptr;
  const WStr path = kProviders + KW("Korvane Unregistered Provider");
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key),
            static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
}

TEST_F(PlatformRegistry, BadArgumentsAreRefused) {
  const WStr path = kProviders + KW("Microsoft Base Cryptographic Provider v1.0");
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, nullptr),
            static_cast<LSTATUS>(ERROR_INVALID_PARAMETER));
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (WStr(KW("\\")) + path).c_str(), 0, KEY_READ, &key),
            static_cast<LSTATUS>(ERROR_BAD_PATHNAME));
}

}  // namespace
