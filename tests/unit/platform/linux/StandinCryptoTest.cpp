// The stand-in CryptoAPI's own controls: registration, refusals, the missing
// key container, the GOST provider and the count of open handles.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/Win32.h"
#include "platform/linux/TestControl.h"
#include "tests/unit/support/Text.h"

using testing_text::Hex;

namespace {

const std::u16string kBase = u"Microsoft Base Cryptographic Provider v1.0";
const std::u16string kAes = u"Microsoft Enhanced RSA and AES Cryptographic Provider";
const std::u16string kAesPrototype = u"Microsoft Enhanced RSA and AES Cryptographic Provider (Prototype)";
const std::u16string kInfotecs = u"Infotecs Cryptographic Service Provider";
const std::u16string kProviderKeys = u"SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\";
constexpr DWORD kInfotecsType = 2;

class StandinCrypto : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::Reset();
    contexts_ = standin::OpenContexts();
    hashes_ = standin::OpenHashes();
  }
  void TearDown() override {
    EXPECT_EQ(standin::OpenContexts(), contexts_);
    EXPECT_EQ(standin::OpenHashes(), hashes_);
    standin::Reset();
  }

  // Acquires; on failure returns 0 with the last error in *error.
  static HCRYPTPROV Acquire(const std::u16string& provider, DWORD type, DWORD flags = CRYPT_SILENT,
                            DWORD* error = nullptr, const WCHAR* container = nullptr) {
    HCRYPTPROV prov = 0;
    SetLastError(ERROR_SUCCESS);
    if (!CryptAcquireContextW(&prov, container, provider.c_str(), type, flags)) {
      if (error != nullptr) *error = GetLastError();
      EXPECT_EQ(prov, 0u);
      return 0;
    }
    return prov;
  }

  static std::string Digest(HCRYPTPROV prov, ALG_ID algId, const std::string& data) {
    HCRYPTHASH hash = 0;
    if (!CryptCreateHash(prov, algId, 0, 0, &hash)) return "no hash";
    std::string digest = "no value";
    DWORD size = 0;
    if (CryptHashData(hash, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()), 0) &&
        CryptGetHashParam(hash, HP_HASHVAL, nullptr, &size, 0)) {
      std::vector<BYTE> value(size);
      if (CryptGetHashParam(hash, HP_HASHVAL, value.data(), &size, 0)) digest = Hex(value.data(), size);
    }
    CryptDestroyHash(hash);
    return digest;
  }

 private:
  int contexts_ = 0;
  int hashes_ = 0;
};

TEST_F(StandinCrypto, OnlyRegisteredProvidersCanBeAcquired) {
  for (const auto& [name, type] :
       {std::pair{kBase, PROV_RSA_FULL}, std::pair{kAes, PROV_RSA_AES},
        std::pair{kAesPrototype, PROV_RSA_AES}, std::pair{kInfotecs, kInfotecsType}}) {
    DWORD error = 0;
    EXPECT_EQ(Acquire(name, type, CRYPT_SILENT, &error), 0u);
    EXPECT_EQ(error, static_cast<DWORD>(NTE_KEYSET_NOT_DEF));
  }
  standin::SetRegistryKeys({kProviderKeys + u"MICROSOFT BASE CRYPTOGRAPHIC PROVIDER V1.0"});
  const HCRYPTPROV prov = Acquire(kBase, PROV_RSA_FULL);
  EXPECT_NE(prov, 0u);
  EXPECT_TRUE(CryptReleaseContext(prov, 0));
  DWORD error = 0;
  EXPECT_EQ(Acquire(kAes, PROV_RSA_AES, CRYPT_SILENT, &error), 0u);
  EXPECT_EQ(error, static_cast<DWORD>(NTE_KEYSET_NOT_DEF));
}

TEST_F(StandinCrypto, RegisteredProviderWithoutImplementationCantBeLoaded) {
  standin::SetRegistryKeys({kProviderKeys + u"Some Other Provider"});
  DWORD error = 0;
  EXPECT_EQ(Acquire(u"Some Other Provider", PROV_RSA_FULL, CRYPT_SILENT, &error), 0u);
  EXPECT_EQ(error, static_cast<DWORD>(NTE_PROV_TYPE_ENTRY_BAD));
}

TEST_F(StandinCrypto, GostDigestsMatchPublishedVectors) {
  standin::RegisterAllProviders();
  const HCRYPTPROV prov = Acquire(kInfotecs, kInfotecsType);
  ASSERT_NE(prov, 0u);
  const std::string m1 = "012345678901234567890123456789012345678901234567890123456789012";
  struct Case {
    ALG_ID algId;
    std::string data;
    const char* digest;
  } cases[] = {
      // GOST R 34.11-94 with the CryptoPro parameters
      {0x801E, "abc", "B285056DBF18D7392D7677369524DD14747459ED8143997E163B2986F92FD42C"},
      {0x801E, "message digest", "BC6041DD2AA401EBFA6E9886734174FEBDB4729AA972D60F549AC39B29721BA0"},
      // GOST 34.11-2012, the examples of the standard (message M1) and the empty message
      {0x8021, m1, "9D151EEFD8590B89DAA6BA6CB74AF9275DD051026BB149A452FD84E5E57B5500"},
      {0x8021, "", "3F539A213E97C802CC229D474C6AA32A825A360B2A933A949FD925208D9CE1BB"},
      {0x8022, m1,
       "1B54D01A4AF5B9D5CC3D86D68D285462B19ABC2475222F35C085122BE4BA1FFA00AD30F8767B3A82384C6574F024C311"
       "E2A481332B08EF7F41797891C1646F48"},
      {0x8022, "",
       "8E945DA209AA869F0455928529BCAE4679E9873AB707B55315F56CEB98BEF0A7362F715528356EE83CDA5F2AAC4C6AD2"
       "BA3A715C1BCD81CB8E9F90BF4C1C1A8A"},
  };
  for (const auto& c : cases) EXPECT_EQ(Digest(prov, c.algId, c.data), c.digest) << std::hex << c.algId;
  HCRYPTHASH hash = 0;
  EXPECT_FALSE(CryptCreateHash(prov, CALG_MD5, 0, 0, &hash));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_BAD_ALGID));
  EXPECT_TRUE(CryptReleaseContext(prov, 0));

  DWORD error = 0;
  EXPECT_EQ(Acquire(kInfotecs, PROV_RSA_FULL, CRYPT_SILENT, &error), 0u);
  EXPECT_EQ(error, static_cast<DWORD>(NTE_PROV_TYPE_NO_MATCH));
}

TEST_F(StandinCrypto, RefusedContextUntilReset) {
  standin::RegisterAllProviders();
  standin::RefuseContext(u"microsoft base cryptographic provider v1.0");
  for (const DWORD flags : {CRYPT_SILENT, CRYPT_SILENT | CRYPT_NEWKEYSET, CRYPT_VERIFYCONTEXT}) {
    DWORD error = 0;
    EXPECT_EQ(Acquire(kBase, PROV_RSA_FULL, flags, &error), 0u);
    EXPECT_EQ(error, static_cast<DWORD>(NTE_PROVIDER_DLL_FAIL));
  }
  const HCRYPTPROV other = Acquire(kAes, PROV_RSA_AES);
  EXPECT_NE(other, 0u);
  EXPECT_TRUE(CryptReleaseContext(other, 0));

  standin::Reset();
  standin::RegisterAllProviders();
  const HCRYPTPROV prov = Acquire(kBase, PROV_RSA_FULL);
  EXPECT_NE(prov, 0u);
  EXPECT_TRUE(CryptReleaseContext(prov, 0));
}

TEST_F(StandinCrypto, RefusedAlgorithmOnlyOnItsProvider) {
  standin::RegisterAllProviders();
  standin::RefuseAlgorithm(kAes, CALG_SHA_256);
  const HCRYPTPROV aes = Acquire(kAes, PROV_RSA_AES);
  const HCRYPTPROV prototype = Acquire(kAesPrototype, PROV_RSA_AES);
  ASSERT_NE(aes, 0u);
  ASSERT_NE(prototype, 0u);
  HCRYPTHASH hash = 0;
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptCreateHash(aes, CALG_SHA_256, 0, 0, &hash));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_BAD_ALGID));
  EXPECT_EQ(Digest(aes, CALG_MD5, "abc"), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(Digest(prototype, CALG_SHA_256, "abc"),
            "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
  EXPECT_TRUE(CryptReleaseContext(aes, 0));
  EXPECT_TRUE(CryptReleaseContext(prototype, 0));
}

TEST_F(StandinCrypto, MissingKeysetUntilCreated) {
  standin::RegisterAllProviders();
  standin::MissingKeyset(kBase);
  DWORD error = 0;
  EXPECT_EQ(Acquire(kBase, PROV_RSA_FULL, CRYPT_SILENT, &error), 0u);
  EXPECT_EQ(error, static_cast<DWORD>(NTE_BAD_KEYSET));

  const HCRYPTPROV verify = Acquire(kBase, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT);  // needs no container
  EXPECT_NE(verify, 0u);
  EXPECT_TRUE(CryptReleaseContext(verify, 0));

  const HCRYPTPROV created = Acquire(kBase, PROV_RSA_FULL, CRYPT_SILENT | CRYPT_NEWKEYSET);
  ASSERT_NE(created, 0u);
  EXPECT_EQ(Digest(created, CALG_MD5, "abc"), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_TRUE(CryptReleaseContext(created, 0));

  const HCRYPTPROV again = Acquire(kBase, PROV_RSA_FULL);
  EXPECT_NE(again, 0u);
  EXPECT_TRUE(CryptReleaseContext(again, 0));
  EXPECT_EQ(Acquire(kBase, PROV_RSA_FULL, CRYPT_SILENT | CRYPT_NEWKEYSET, &error), 0u);
  EXPECT_EQ(error, static_cast<DWORD>(NTE_EXISTS));

  // Deleting gives no context and takes the container away again.
  HCRYPTPROV none = 0;
  EXPECT_TRUE(CryptAcquireContextW(&none, nullptr, kBase.c_str(), PROV_RSA_FULL, CRYPT_DELETEKEYSET));
  EXPECT_EQ(Acquire(kBase, PROV_RSA_FULL, CRYPT_SILENT, &error), 0u);
  EXPECT_EQ(error, static_cast<DWORD>(NTE_BAD_KEYSET));
}

TEST_F(StandinCrypto, OnlyTheDefaultContainer) {
  standin::RegisterAllProviders();
  const HCRYPTPROV empty = Acquire(kBase, PROV_RSA_FULL, CRYPT_SILENT, nullptr, u"");
  EXPECT_NE(empty, 0u);
  EXPECT_TRUE(CryptReleaseContext(empty, 0));
  DWORD error = 0;
  EXPECT_EQ(Acquire(kBase, PROV_RSA_FULL, CRYPT_SILENT, &error, u"named"), 0u);
  EXPECT_EQ(error, static_cast<DWORD>(NTE_BAD_KEYSET_PARAM));
  EXPECT_EQ(Acquire(kBase, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT, &error, u"named"), 0u);
  EXPECT_EQ(error, static_cast<DWORD>(NTE_BAD_FLAGS));
}

TEST_F(StandinCrypto, NoProviderNameTakesTheTypesDefault) {
  standin::SetRegistryKeys({kProviderKeys + kAes});
  HCRYPTPROV prov = 0;
  ASSERT_TRUE(CryptAcquireContextW(&prov, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT));
  EXPECT_EQ(Digest(prov, CALG_SHA_512, "abc").substr(0, 16), "DDAF35A193617ABA");
  EXPECT_TRUE(CryptReleaseContext(prov, 0));
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptAcquireContextW(&prov, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_PROV_TYPE_NOT_DEF));
}

TEST_F(StandinCrypto, OpenHandlesAreCountedAndReleasedOnce) {
  standin::RegisterAllProviders();
  const int contexts = standin::OpenContexts();
  const int hashes = standin::OpenHashes();
  const HCRYPTPROV prov = Acquire(kBase, PROV_RSA_FULL);
  ASSERT_NE(prov, 0u);
  HCRYPTHASH first = 0, second = 0;
  ASSERT_TRUE(CryptCreateHash(prov, CALG_MD5, 0, 0, &first));
  ASSERT_TRUE(CryptCreateHash(prov, CALG_SHA1, 0, 0, &second));
  EXPECT_EQ(standin::OpenContexts(), contexts + 1);
  EXPECT_EQ(standin::OpenHashes(), hashes + 2);

  standin::Reset();  // shows leaks; it doesn't close anything
  EXPECT_EQ(standin::OpenHashes(), hashes + 2);

  EXPECT_TRUE(CryptDestroyHash(first));
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptDestroyHash(first));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  DWORD size = 16;
  BYTE value[16];
  EXPECT_FALSE(CryptGetHashParam(first, HP_HASHVAL, value, &size, 0));
  EXPECT_FALSE(CryptHashData(first, value, 1, 0));
  EXPECT_TRUE(CryptDestroyHash(second));
  EXPECT_EQ(standin::OpenHashes(), hashes);

  // Flags other than 0 are refused, but the context goes all the same.
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptReleaseContext(prov, 1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_BAD_FLAGS));
  EXPECT_EQ(standin::OpenContexts(), contexts);
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptReleaseContext(prov, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  HCRYPTHASH hash = 0;
  EXPECT_FALSE(CryptCreateHash(prov, CALG_MD5, 0, 0, &hash));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(StandinCrypto, BadArgumentsAreRefused) {
  standin::RegisterAllProviders();
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptAcquireContextW(nullptr, nullptr, kBase.c_str(), PROV_RSA_FULL, CRYPT_SILENT));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  const HCRYPTPROV prov = Acquire(kBase, PROV_RSA_FULL);
  ASSERT_NE(prov, 0u);
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptCreateHash(prov, CALG_MD5, 0, 0, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  HCRYPTHASH hash = 0;
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptCreateHash(prov, CALG_MD5, 0x1234, 0, &hash));  // there are no keys
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  ASSERT_TRUE(CryptCreateHash(prov, CALG_MD5, 0, 0, &hash));
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptHashData(hash, nullptr, 1, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(CryptHashData(hash, nullptr, 0, 0));
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptHashData(hash, reinterpret_cast<const BYTE*>("a"), 1, 2));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_BAD_FLAGS));
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptGetHashParam(hash, HP_HASHVAL, nullptr, nullptr, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(CryptDestroyHash(hash));
  EXPECT_TRUE(CryptReleaseContext(prov, 0));
}

TEST_F(StandinCrypto, LastErrorBelongsToTheThread) {
  SetLastError(ERROR_MORE_DATA);
  DWORD seen = 0;
  std::thread other([&seen] {
    seen = GetLastError();
    HCRYPTPROV prov = 0;
    CryptAcquireContextW(&prov, nullptr, u"Unknown", PROV_RSA_FULL, 0);
  });
  other.join();
  EXPECT_EQ(seen, ERROR_SUCCESS);
  EXPECT_EQ(GetLastError(), ERROR_MORE_DATA);
}

}  // namespace
