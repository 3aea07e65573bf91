// The catalogues built at module start from the providers and Korvane.ini.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/ComPtr.h"
#include "crypt/NameClassId.h"
#include "plugin/Exports.h"
#include "plugin/catalogue/Catalogues.h"
#include "plugin/catalogue/FormatCatalogue.h"
#include "tests/unit/support/Fakes.h"
#include "tests/unit/support/ModuleFixture.h"
#include "tests/unit/support/Text.h"

using testing_text::Utf8;

namespace {

using fixture::HasherNames;

int CountOf(const std::vector<std::string>& names, const std::string& name) {
  return static_cast<int>(std::count(names.begin(), names.end(), name));
}

TEST(MainSection, NoFileKeepsEveryRegisteredRow) {
  fixture::Module module;
  EXPECT_EQ(HasherAlgCount, 13);
  EXPECT_EQ(HasherAlgs.size(), 13u);
  EXPECT_EQ(FormatCount, 0);
}

TEST(MainSection, OnlyTheExactValueZeroSwitchesOff) {
  struct Case {
    const char* ini;
    int sha256, md5, count;
  } cases[] = {
      {"[Main]\r\nSHA-256=0\r\n", 0, 1, 11},
      {"[main]\r\nsha-256=0\r\nMD5=0\r\n", 0, 0, 10},
      {"[Main]\r\nSHA-256=false\r\nMD5=00\r\n", 2, 1, 13},
      {"[Main]\r\nSHA-256 = 0 \r\nMD5=\r\n", 0, 1, 11},
      {"[Other]\r\nSHA-256=0\r\n", 2, 1, 13},
  };
  for (const auto& c : cases) {
    fixture::Module module(c.ini);
    const auto names = HasherNames();
    EXPECT_EQ(CountOf(names, "SHA-256"), c.sha256) << c.ini;
    EXPECT_EQ(CountOf(names, "MD5"), c.md5) << c.ini;
    EXPECT_EQ(HasherAlgCount, c.count) << c.ini;
  }
}

TEST(CreateSection, CryptoApiAndHostHasherFormats) {
  fixture::Module module(
      "[Create]\r\n"
      "SHA-256=sha256:%HASH% *%FILENAME%\r\n"
      "md5=:%FILENAME% %HASH%\r\n"
      "SHA-1=\r\n"
      "CRC32=sfv:%FILENAME% %HASH%\r\n"
      "crc32=x\r\n");
  ASSERT_EQ(FormatCount, 4);
  EXPECT_EQ(FormatAlgs.size(), 8u);
  const THashAlgInfo& sha256 = FormatAlgs[0];
  EXPECT_TRUE(sha256.IsCryptoApi);
  EXPECT_EQ(Utf8(sha256.Name), "SHA-256");
  // Both AES names are registered: the first row, the prototype's, wins.
  EXPECT_EQ(sha256.ProviderName, fixture::kAesPrototypeProvider);
  EXPECT_EQ(sha256.ClassId,
            (GUID{0x0000800C, 0x7992, 0x451F, {0x87, 0x97, 0xBF, 0xB7, 0x9F, 0x81, 0x7D, 0x85}}));
  EXPECT_EQ(Utf8(FormatSettings[0]), "sha256:%HASH% *%FILENAME%");
  EXPECT_EQ(Utf8(FormatAlgs[1].Name), "MD5");  // the table's spelling, not the key's
  EXPECT_EQ(FormatAlgs[1].ClassId, AlgClassId(0x8003));
  // The empty SHA-1 value made no format and took no index.
  const THashAlgInfo& crc = FormatAlgs[2];
  EXPECT_FALSE(crc.IsCryptoApi);
  EXPECT_EQ(Utf8(crc.Name), "CRC32");
  // Module start computes no digest (it runs under the loader lock): a name's
  // class identifier is made when the host first asks for one.
  EXPECT_EQ(crc.ClassId, GUID{});
  NameFormatClassIds();
  EXPECT_EQ(crc.ClassId, Crc32FormatClassId);
  EXPECT_TRUE(crc.ProviderName.empty());
  EXPECT_EQ(crc.HashSize, 0);
  EXPECT_EQ(Utf8(FormatAlgs[3].Name), "crc32");
  EXPECT_EQ(FormatAlgs[3].ClassId, Crc32FormatClassId);
}

TEST(CreateSection, GrowsByEightAndReadsLongKeyLists) {
  std::string ini = "[Create]\r\n";
  for (int i = 0; i < 9; ++i) ini += "Name" + std::to_string(i) + std::string(150, 'k') + "=x\r\n";
  fixture::Module module(ini);
  EXPECT_EQ(FormatCount, 9);  // the key names add up to over 1,350 characters
  EXPECT_EQ(FormatAlgs.size(), 16u);
  EXPECT_EQ(FormatSettings.size(), 16u);
  EXPECT_EQ(Utf8(FormatAlgs[8].Name), "Name8" + std::string(150, 'k'));
}

TEST(NameClassId, IsTheMd5OfTheLowerCasedName) {
  fixture::Module module;
  EXPECT_EQ(NameClassId(KW("CRC32")), Crc32FormatClassId);
  EXPECT_EQ(NameClassId(KW("crc32")), Crc32FormatClassId);
  // MD5 of no bytes, D41D8CD98F00B204E9800998ECF8427E, in GUID byte order.
  EXPECT_EQ(NameClassId(KW("")),
            (GUID{0xD98C1DD4, 0x008F, 0x04B2, {0xE9, 0x80, 0x09, 0x98, 0xEC, 0xF8, 0x42, 0x7E}}));
}

TEST(SetCodecs, KeepsOneReferenceToTheLatestObject) {
  auto first = ComPtr<fakes::CodecsInfo>::Adopt(NewInterface<fakes::CodecsInfo, fakes::CodecsInfo>());
  auto second = ComPtr<fakes::CodecsInfo>::Adopt(NewInterface<fakes::CodecsInfo, fakes::CodecsInfo>());
  {
    fixture::Module module;
    EXPECT_EQ(SetCodecs(first.Get()), S_OK);
    EXPECT_EQ(first->RefCount(), 2);
    EXPECT_EQ(SetCodecs(second.Get()), S_OK);
    EXPECT_EQ(first->RefCount(), 1);
    EXPECT_EQ(second->RefCount(), 2);
    EXPECT_EQ(SetCodecs(nullptr), S_OK);
    EXPECT_EQ(second->RefCount(), 1);
    EXPECT_FALSE(HostCodecsInfo);
    EXPECT_EQ(SetCodecs(first.Get()), S_OK);
  }
  // Module end released the stored object.
  EXPECT_EQ(first->RefCount(), 1);
  EXPECT_FALSE(HostCodecsInfo);
}

}  // namespace
