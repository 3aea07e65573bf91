// CryptoAPI digests as the plug-in computes them: whether a digest was
// computed is told apart from one the provider could not give, and no hash
// object outlives its holder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypt/CryptDigest.h"
#include "crypt/CryptHash.h"
#include "tests/unit/support/ModuleFixture.h"
#include "tests/unit/support/Text.h"
#ifndef _WIN32
#include "platform/linux/TestControl.h"
#endif

using testing_text::Hex;

namespace {

const THashAlgInfo& Md5Row() { return BuiltinHashAlgs()[BuiltinMd5Row]; }

struct Outcome {
  bool computed;
  std::string hex;
};

Outcome Digest(const THashAlgInfo& alg, const std::string& data) {
  CryptDigest digest(&alg);
  digest.Start();
  digest.Add(data.data(), static_cast<DWORD>(data.size()));
  std::vector<BYTE> bytes(digest.Size(), 0xAB);
  const bool computed = digest.Finish(bytes.data());
  return {computed, Hex(bytes.data(), bytes.size())};
}

TEST(CryptDigest, ComputedDigestSaysSo) {
  fixture::Module module;
  const Outcome md5 = Digest(Md5Row(), "abc");
  EXPECT_TRUE(md5.computed);
  EXPECT_EQ(md5.hex, "900150983CD24FB0D6963F7D28E17F72");
}

TEST(CryptDigest, UnknownAlgorithmIsNotComputedAndGivesZeros) {
  fixture::Module module;
  THashAlgInfo alg = Md5Row();
  alg.AlgId = 0x80FF;
  const Outcome none = Digest(alg, "abc");
  EXPECT_FALSE(none.computed);
  EXPECT_EQ(none.hex, std::string(32, '0'));
}

// Why a digest failed, as a run reports it: the provider's own error, or
// NTE_BAD_LEN for a value of a length other than the row's.
TEST(CryptDigest, FailureSaysWhy) {
  fixture::Module module;
  THashAlgInfo unknown = Md5Row();
  unknown.AlgId = 0x80FF;
  THashAlgInfo longer = Md5Row();
  longer.HashSize = 20;
  const std::pair<const THashAlgInfo*, HRESULT> cases[] = {
      {&Md5Row(), S_OK}, {&unknown, NTE_BAD_ALGID}, {&longer, NTE_BAD_LEN}};
  for (const auto& [alg, expected] : cases) {
    CryptDigest digest(alg);
    EXPECT_EQ(digest.Failure(), E_UNEXPECTED);  // nothing started yet
    digest.Start();
    digest.Add("abc", 3);
    std::vector<BYTE> bytes(digest.Size(), 0xAB);
    EXPECT_EQ(digest.Finish(bytes.data()), expected == S_OK);
    EXPECT_EQ(digest.Failure(), expected);
    if (expected != S_OK) {
      EXPECT_EQ(bytes, std::vector<BYTE>(digest.Size(), 0));
    }
    EXPECT_EQ(ProbeDigest(alg, ProviderContextOf(alg->ProviderName, alg->ProviderType)), expected);
  }
}

TEST(CryptDigest, FinishWithoutStartIsNotComputed) {
  fixture::Module module;
  CryptDigest digest(&Md5Row());
  EXPECT_FALSE(digest.Add("abc", 3));
  BYTE bytes[16];
  EXPECT_FALSE(digest.Finish(bytes));
  EXPECT_EQ(Hex(bytes, sizeof bytes), std::string(32, '0'));
}

TEST(CryptDigest, StartDropsTheDigestInProgress) {
  fixture::Module module;
  CryptDigest digest(&Md5Row());
  digest.Start();
  digest.Add("xyz", 3);
  ASSERT_TRUE(digest.Start());
  digest.Add("abc", 3);
  BYTE bytes[16];
  EXPECT_TRUE(digest.Finish(bytes));
  EXPECT_EQ(Hex(bytes, sizeof bytes), "900150983CD24FB0D6963F7D28E17F72");
}

#ifndef _WIN32
TEST(CryptDigest, RefusedContextIsNotComputed) {
  fixture::Module module;
  standin::RefuseContext(Md5Row().ProviderName);
  EXPECT_FALSE(Digest(Md5Row(), "abc").computed);
  CryptDigest digest(&Md5Row());
  EXPECT_FALSE(digest.Start());
  EXPECT_EQ(digest.Failure(), NTE_PROVIDER_DLL_FAIL);
  standin::Reset();
}

TEST(CryptHashHolder, DestroysItsHashObjectWhenItGoesOrTakesAnother) {
  fixture::Module module;
  CryptDigest digest(&Md5Row());
  ASSERT_TRUE(digest.Start());  // acquires the context
  const int before = standin::OpenHashes();
  HCRYPTPROV prov = 0;
  ASSERT_TRUE(CryptAcquireContextW(&prov, nullptr, Md5Row().ProviderName.c_str(), Md5Row().ProviderType,
                                   CRYPT_VERIFYCONTEXT));
  {
    HCRYPTHASH a = 0, b = 0;
    ASSERT_TRUE(CryptCreateHash(prov, Md5Row().AlgId, 0, 0, &a));
    ASSERT_TRUE(CryptCreateHash(prov, Md5Row().AlgId, 0, 0, &b));
    CryptHashHolder holder(a);
    EXPECT_EQ(standin::OpenHashes(), before + 2);
    holder = CryptHashHolder(b);
    EXPECT_EQ(standin::OpenHashes(), before + 1);
    CryptHashHolder moved(std::move(holder));
    EXPECT_EQ(moved.Get(), b);
  }
  EXPECT_EQ(standin::OpenHashes(), before);
  CryptReleaseContext(prov, 0);
}
#endif

}  // namespace
