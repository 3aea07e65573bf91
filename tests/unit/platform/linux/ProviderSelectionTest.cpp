// What the catalogues hold for each set of registered providers, and the
// configuration path; the stand-in lets these tests choose the providers.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/ComPtr.h"
#include "crypt/NameClassId.h"
#include "platform/linux/TestControl.h"
#include "plugin/Exports.h"
#include "plugin/catalogue/Catalogues.h"
#include "plugin/catalogue/FormatCatalogue.h"
#include "plugin/catalogue/IniFile.h"
#include "plugin/hashers/Hasher.h"
#include "tests/unit/support/GostProvider.h"
#include "tests/unit/support/ModuleFixture.h"
#include "tests/unit/support/Text.h"

using testing_text::Hex;
using testing_text::Utf8;

namespace {

using fixture::HasherNames;

TEST(ProviderSelection, RowsFollowTheRegisteredProviders) {
  using fixture::kAesPrototypeProvider, fixture::kAesProvider, fixture::kBaseProvider,
      fixture::kInfotecsProvider;
  struct Case {
    std::vector<WStr> providers;
    std::vector<std::string> names;
  } cases[] = {
      {{}, {}},
      {{kBaseProvider}, {"SHA-1", "MD2", "MD4", "MD5"}},
      {{kAesProvider}, {"SHA-256", "SHA-384", "SHA-512"}},
      {{kAesPrototypeProvider, kInfotecsProvider},
       {"SHA-256", "SHA-384", "SHA-512", "GOST R 34.11-94", "GOST 34.11-2012 256", "GOST 34.11-2012 512"}},
  };
  for (const auto& c : cases) {
    fixture::Module module(std::nullopt, c.providers);
    EXPECT_EQ(HasherNames(), c.names);
    EXPECT_EQ(HasherAlgs.size(), 13u);
  }
}

TEST(ProviderSelection, OnlyTheSecondAesNameTakesRowSeven) {
  fixture::Module module("[Create]\r\nsha-256=:%HASH%\r\nGOST R 34.11-94=gost\r\n",
                         std::vector<WStr>{fixture::kAesProvider});
  ASSERT_EQ(FormatCount, 2);
  EXPECT_TRUE(FormatAlgs[0].IsCryptoApi);
  EXPECT_EQ(Utf8(FormatAlgs[0].Name), "SHA-256");
  EXPECT_EQ(FormatAlgs[0].ProviderName, fixture::kAesProvider);
  EXPECT_EQ(FormatAlgs[0].ClassId,
            (GUID{0x0000800C, 0x7992, 0x451F, {0x87, 0x97, 0xBF, 0xB7, 0x9F, 0x81, 0x7D, 0x85}}));
  // Without the Infotecs provider the GOST key names a host hasher.
  EXPECT_FALSE(FormatAlgs[1].IsCryptoApi);
  EXPECT_EQ(Utf8(FormatAlgs[1].Name), "GOST R 34.11-94");
  NameFormatClassIds();
  EXPECT_EQ(FormatAlgs[1].ClassId, NameClassId(KW("GOST R 34.11-94")));
}

TEST(ProviderSelection, NameClassIdIsZeroWithoutMd5) {
  fixture::Module module;
  standin::RefuseContext(fixture::kBaseProvider);
  EXPECT_EQ(NameClassId(KW("CRC32")), GUID{});
}

TEST(ProviderSelection, GostDigestsComeFromTheInfotecsProvider) {
  fixture::Module module;
  ASSERT_EQ(fixture::kGostAbc.size(), 3u);
  for (const auto& [name, digest] : fixture::kGostAbc) {
    const auto it = std::find_if(HasherAlgs.begin(), HasherAlgs.begin() + HasherAlgCount,
                                 [&name = name](const THashAlgInfo& a) { return Utf8(a.Name) == name; });
    ASSERT_NE(it, HasherAlgs.begin() + HasherAlgCount) << name;
    auto hasher = ComPtr<host::IHasher>::Adopt(NewInterface<host::IHasher, TqovHasher>(&*it));
    hasher->Init();
    hasher->Update("abc", 3);
    std::vector<BYTE> out(hasher->GetDigestSize());
    hasher->Final(out.data());
    EXPECT_EQ(Hex(out.data(), out.size()), digest) << name;
  }
}

TEST(ProviderSelection, RefusalsGiveZerosAndAcquireIsRetried) {
  auto module = std::make_optional<fixture::Module>();
  const THashAlgInfo& md5 = BuiltinHashAlgs()[BuiltinMd5Row];
  auto hasher = ComPtr<host::IHasher>::Adopt(NewInterface<host::IHasher, TqovHasher>(&md5));
  BYTE out[16];
  standin::RefuseContext(fixture::kBaseProvider);
  hasher->Init();
  hasher->Update("abc", 3);
  hasher->Final(out);
  EXPECT_EQ(Hex(out, 16), std::string(32, '0'));
  EXPECT_EQ(standin::OpenContexts(), 0);
  // The next Init tries again and succeeds once the provider gives a context.
  standin::Reset();
  standin::RegisterAllProviders();
  hasher->Init();
  hasher->Update("abc", 3);
  hasher->Final(out);
  EXPECT_EQ(Hex(out, 16), "900150983CD24FB0D6963F7D28E17F72");
  standin::RefuseAlgorithm(fixture::kBaseProvider, 0x8003);
  auto refused = ComPtr<host::IHasher>::Adopt(NewInterface<host::IHasher, TqovHasher>(&md5));
  refused->Init();
  refused->Update("abc", 3);
  refused->Final(out);
  EXPECT_EQ(Hex(out, 16), std::string(32, '0'));
  // Both hashers hold the one context; it goes with the last of them.
  EXPECT_EQ(standin::OpenContexts(), 1);
  hasher.Reset();
  EXPECT_EQ(standin::OpenContexts(), 1);
  refused.Reset();
  EXPECT_EQ(standin::OpenContexts(), 0);
  EXPECT_EQ(standin::OpenHashes(), 0);
}

TEST(ProviderSelection, HashersShareOneContextPerProvider) {
  auto module = std::make_optional<fixture::Module>();
  EXPECT_EQ(standin::OpenContexts(), 0);  // none before the first digest
  const auto& rows = BuiltinHashAlgs();
  // SHA-1 and MD5 of the base provider, SHA-256 of the AES one.
  const std::pair<std::size_t, std::string> uses[] = {
      {0, "A9993E364706816ABA3E25717850C26C9CD0D89D"},
      {BuiltinMd5Row, "900150983CD24FB0D6963F7D28E17F72"},
      {7, "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
  };
  std::vector<ComPtr<host::IHasher>> hashers;
  for (int round = 0; round < 10; ++round) {
    for (const auto& [row, digest] : uses) {
      hashers.push_back(ComPtr<host::IHasher>::Adopt(NewInterface<host::IHasher, TqovHasher>(&rows[row])));
      host::IHasher* h = hashers.back().Get();
      h->Init();
      h->Update("abc", 3);
      std::vector<BYTE> out(h->GetDigestSize());
      h->Final(out.data());
      EXPECT_EQ(Hex(out.data(), out.size()), digest) << row;
    }
  }
  EXPECT_EQ(standin::OpenContexts(), 2);
  EXPECT_EQ(standin::OpenHashes(), 30);  // each hasher has its own hash object
  hashers.clear();
  EXPECT_EQ(standin::OpenHashes(), 0);
  EXPECT_EQ(standin::OpenContexts(), 0);  // released with the last hasher
  // Module end and start leave a context alone while a hasher holds it
  // (they run under the loader lock); its last holder releases it.
  auto held = ComPtr<host::IHasher>::Adopt(NewInterface<host::IHasher, TqovHasher>(&rows[BuiltinMd5Row]));
  held->Init();
  EXPECT_EQ(standin::OpenContexts(), 1);
  module.reset();
  standin::RegisterAllProviders();
  module.emplace();
  EXPECT_EQ(standin::OpenContexts(), 1);
  held.Reset();
  EXPECT_EQ(standin::OpenContexts(), 0);
}

TEST(ProviderSelection, MissingKeyContainerIsCreated) {
  fixture::Module module;
  standin::MissingKeyset(fixture::kBaseProvider);
  auto hasher = ComPtr<host::IHasher>::Adopt(
      NewInterface<host::IHasher, TqovHasher>(&BuiltinHashAlgs()[BuiltinMd5Row]));
  BYTE out[16];
  hasher->Init();
  hasher->Update("abc", 3);
  hasher->Final(out);
  EXPECT_EQ(Hex(out, 16), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(IniFileName, SitsBesideTheModule) {
  standin::Reset();
  standin::SetModulePath(u"C:\\p\\Korvane.64.dll");
  EXPECT_EQ(Utf8(IniFileName()), "C:\\p\\Korvane.ini");
  standin::SetModulePath(u"C:\\" + std::u16string(300, u'd') + u"\\Korvane.64.dll");
  EXPECT_EQ(Utf8(IniFileName()), "C:\\" + std::string(300, 'd') + "\\Korvane.ini");
  standin::Reset();
}

}  // namespace
