// The stand-in registry: keys set by the tests, open handles tracked.
#include <gtest/gtest.h>

#include "platform/Win32.h"
#include "platform/linux/TestControl.h"

namespace {

class StandinRegistry : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override {
    EXPECT_EQ(standin::OpenRegistryKeys(), 0);
    standin::Reset();
  }

  static LSTATUS Open(HKEY root, const char16_t* path, HKEY* key) {
    return RegOpenKeyExW(root, path, 0, KEY_READ, key);
  }
};

TEST_F(StandinRegistry, KeysExistOnlyWhenSet) {
  HKEY key = nullptr;
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvane\\Test", &key),
            static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(key, nullptr);

  standin::SetRegistryKeys({u"SOFTWARE\\Korvane\\Test", u"SOFTWARE\\Other"});
  struct Case {
    const char16_t* path;
    DWORD expected;
  } cases[] = {
      {u"SOFTWARE\\Korvane\\Test", ERROR_SUCCESS},
      {u"software\\KORVANE\\test", ERROR_SUCCESS},    // letter case ignored
      {u"SOFTWARE\\Korvane\\Test\\", ERROR_SUCCESS},  // a closing separator too
      {u"SOFTWARE\\Korvane", ERROR_SUCCESS},          // the keys on the way exist
      {u"SOFTWARE\\Korvane\\Tes", ERROR_FILE_NOT_FOUND},
      {u"SOFTWARE\\Korvane\\Test\\Deeper", ERROR_FILE_NOT_FOUND},
      {u"SOFTWARE\\Korvane Test", ERROR_FILE_NOT_FOUND},
  };
  for (const auto& c : cases) {
    key = nullptr;
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, c.path, &key), static_cast<LSTATUS>(c.expected)) << (&c - cases);
    if (c.expected == ERROR_SUCCESS) {
      EXPECT_NE(key, nullptr);
      EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
  }

  standin::SetRegistryKeys({u"SOFTWARE\\Other"});  // replaces the set
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvane\\Test", &key),
            static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
}

TEST_F(StandinRegistry, OtherRootsHoldNoKeys) {
  standin::SetRegistryKeys({u"SOFTWARE\\Korvane"});
  const HKEY currentUser = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u));
  HKEY key = nullptr;
  EXPECT_EQ(Open(currentUser, u"SOFTWARE\\Korvane", &key), static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
}

TEST_F(StandinRegistry, SubkeysOpenFromAnOpenKey) {
  standin::SetRegistryKeys({u"SOFTWARE\\Korvane\\Test"});
  HKEY parent = nullptr, child = nullptr;
  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE", &parent), ERROR_SUCCESS);
  EXPECT_EQ(Open(parent, u"korvane\\test", &child), ERROR_SUCCESS);
  EXPECT_EQ(standin::OpenRegistryKeys(), 2);
  EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(parent), ERROR_SUCCESS);
}

TEST_F(StandinRegistry, HandlesCloseOnce) {
  standin::RegisterAllProviders();
  HKEY key = nullptr;
  ASSERT_EQ(
      Open(HKEY_LOCAL_MACHINE,
           u"SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\Infotecs Cryptographic Service Provider",
           &key),
      ERROR_SUCCESS);
  EXPECT_EQ(standin::OpenRegistryKeys(), 1);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), static_cast<LSTATUS>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(RegCloseKey(nullptr), static_cast<LSTATUS>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);  // predefined keys may be "closed"
  EXPECT_EQ(Open(key, u"x", &key), static_cast<LSTATUS>(ERROR_INVALID_HANDLE));
}

TEST_F(StandinRegistry, ResetEmptiesTheRegistry) {
  standin::RegisterAllProviders();
  standin::Reset();
  HKEY key = nullptr;
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft", &key),
            static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
