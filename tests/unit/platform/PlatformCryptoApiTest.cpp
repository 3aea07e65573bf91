// CryptoAPI through the Microsoft providers: digests against published test
// vectors, and the failures the hash sequence meets.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Win32.h"
#include "tests/unit/support/Text.h"
#ifndef _WIN32
#include "platform/linux/TestControl.h"
#endif

using testing_text::Hex;

namespace {

const WCHAR kBase[] = KW("Microsoft Base Cryptographic Provider v1.0");
const WCHAR kAes[] = KW("Microsoft Enhanced RSA and AES Cryptographic Provider");
const WCHAR kAesPrototype[] = KW("Microsoft Enhanced RSA and AES Cryptographic Provider (Prototype)");

class PlatformCryptoApi : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef _WIN32
    // What a Windows machine has registered.
    standin::Reset();
    standin::RegisterAllProviders();
#endif
  }

  // The default key container, created when the provider has none yet.
  static HCRYPTPROV Acquire(const WCHAR* provider, DWORD type) {
    HCRYPTPROV prov = 0;
    if (CryptAcquireContextW(&prov, nullptr, provider, type, CRYPT_SILENT)) return prov;
    const DWORD error = GetLastError();
    if (error == static_cast<DWORD>(NTE_BAD_KEYSET) &&
        CryptAcquireContextW(&prov, nullptr, provider, type, CRYPT_SILENT | CRYPT_NEWKEYSET)) {
      return prov;
    }
    ADD_FAILURE() << "no context, error " << std::hex << error;
    return 0;
  }

  // The digest of the data, fed in pieces of at most chunk bytes.
  static std::string Digest(const WCHAR* provider, DWORD type, ALG_ID algId, const std::string& data,
                            std::size_t chunk) {
    const HCRYPTPROV prov = Acquire(provider, type);
    if (prov == 0) return {};
    std::string digest;
    HCRYPTHASH hash = 0;
    if (CryptCreateHash(prov, algId, 0, 0, &hash)) {
      bool fed = true;
      for (std::size_t pos = 0; pos < data.size() && fed; pos += chunk) {
        const std::size_t n = std::min(chunk, data.size() - pos);
        fed = CryptHashData(hash, reinterpret_cast<const BYTE*>(data.data() + pos), static_cast<DWORD>(n), 0);
      }
      DWORD size = 0;
      if (fed && CryptGetHashParam(hash, HP_HASHVAL, nullptr, &size, 0)) {
        std::vector<BYTE> value(size);
        if (CryptGetHashParam(hash, HP_HASHVAL, value.data(), &size, 0)) digest = Hex(value.data(), size);
      }
      EXPECT_TRUE(CryptDestroyHash(hash));
    } else {
      ADD_FAILURE() << "no hash for " << std::hex << algId << ", error " << GetLastError();
    }
    EXPECT_TRUE(CryptReleaseContext(prov, 0));
    return digest;
  }
};

TEST_F(PlatformCryptoApi, DigestsMatchPublishedVectors) {
  const std::string abc = "abc";
  const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
  const std::string million(1000000, 'a');
  struct Case {
    const WCHAR* provider;
    DWORD type;
    ALG_ID algId;
    const std::string* data;
    const char* digest;
  } cases[] = {
      // RFC 1319, RFC 1320, RFC 1321
      {kBase, PROV_RSA_FULL, CALG_MD2, &abc, "DA853B0D3F88D99B30283A69E6DED6BB"},
      {kBase, PROV_RSA_FULL, CALG_MD4, &abc, "A448017AAF21D8525FC10AE87AA6729D"},
      {kBase, PROV_RSA_FULL, CALG_MD5, &abc, "900150983CD24FB0D6963F7D28E17F72"},
      // FIPS 180 examples
      {kBase, PROV_RSA_FULL, CALG_SHA1, &abc, "A9993E364706816ABA3E25717850C26C9CD0D89D"},
      {kBase, PROV_RSA_FULL, CALG_SHA1, &twoBlocks, "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
      {kBase, PROV_RSA_FULL, CALG_SHA1, &million, "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"},
      {kAes, PROV_RSA_AES, CALG_MD5, &abc, "900150983CD24FB0D6963F7D28E17F72"},
      {kAes, PROV_RSA_AES, CALG_SHA_256, &abc,
       "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
      {kAes, PROV_RSA_AES, CALG_SHA_256, &million,
       "CDC76E5C9914FB9281A1C7E284D73E67F1809A48A497200E046D39CCC7112CD0"},
      {kAes, PROV_RSA_AES, CALG_SHA_384, &abc,
       "CB00753F45A35E8BB5A03D699AC65007272C32AB0EDED1631A8B605A43FF5BED8086072BA1E7CC2358BAECA134C825A7"},
      {kAesPrototype, PROV_RSA_AES, CALG_SHA_512, &abc,
       "DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A2192992A274FC1A836BA3C23A3FEEBBD"
       "454D4423643CE80E2A9AC94FA54CA49F"},
  };
  for (const auto& c : cases) {
    // Whole, and in pieces that don't line up with the blocks.
    EXPECT_EQ(Digest(c.provider, c.type, c.algId, *c.data, c.data->size() + 1), c.digest) << (&c - cases);
    EXPECT_EQ(Digest(c.provider, c.type, c.algId, *c.data, 7), c.digest) << (&c - cases);
  }
}

TEST_F(PlatformCryptoApi, EmptyInputHasItsOwnDigest) {
  EXPECT_EQ(Digest(kBase, PROV_RSA_FULL, CALG_MD5, "", 1), "D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(Digest(kAes, PROV_RSA_AES, CALG_SHA_256, "", 1),
            "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855");
}

TEST_F(PlatformCryptoApi, AcquireRefusesUnknownProviderAndWrongType) {
  struct Case {
    const WCHAR* provider;
    DWORD type;
    HRESULT error;
  } cases[] = {
      {KW("Korvane Unregistered Provider"), PROV_RSA_FULL, NTE_KEYSET_NOT_DEF},
      {kBase, PROV_RSA_AES, NTE_PROV_TYPE_NO_MATCH},
      {kAes, PROV_RSA_FULL, NTE_PROV_TYPE_NO_MATCH},
      {kBase, 0, NTE_BAD_PROV_TYPE},
  };
  for (const auto& c : cases) {
    HCRYPTPROV prov = 0;
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CryptAcquireContextW(&prov, nullptr, c.provider, c.type, CRYPT_SILENT));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(c.error)) << (&c - cases);
    EXPECT_EQ(prov, 0u);
  }
}

TEST_F(PlatformCryptoApi, ProviderNameIgnoresCase) {
  HCRYPTPROV prov = 0;
  ASSERT_TRUE(CryptAcquireContextW(&prov, nullptr, KW("MICROSOFT base cryptographic PROVIDER v1.0"),
                                   PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
  EXPECT_TRUE(CryptReleaseContext(prov, 0));
}

TEST_F(PlatformCryptoApi, CreateHashRefusesWhatTheProviderLacks) {
  const HCRYPTPROV prov = Acquire(kBase, PROV_RSA_FULL);
  ASSERT_NE(prov, 0u);
  HCRYPTHASH hash = 0;
  for (const ALG_ID algId : {ALG_ID{CALG_SHA_256}, ALG_ID{CALG_SHA_512}, ALG_ID{0x801E}, ALG_ID{0x1234}}) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CryptCreateHash(prov, algId, 0, 0, &hash)) << std::hex << algId;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_BAD_ALGID)) << std::hex << algId;
  }
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptCreateHash(prov, CALG_MD5, 0, 1, &hash));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_BAD_FLAGS));
  EXPECT_EQ(hash, 0u);
  EXPECT_TRUE(CryptReleaseContext(prov, 0));
}

TEST_F(PlatformCryptoApi, AskingForTheValueFinishesTheHash) {
  const HCRYPTPROV prov = Acquire(kBase, PROV_RSA_FULL);
  ASSERT_NE(prov, 0u);
  HCRYPTHASH hash = 0;
  ASSERT_TRUE(CryptCreateHash(prov, CALG_MD5, 0, 0, &hash));
  ASSERT_TRUE(CryptHashData(hash, reinterpret_cast<const BYTE*>("a"), 1, 0));

  // The digest size leaves the hash open.
  DWORD size = 0, length = sizeof size;
  ASSERT_TRUE(CryptGetHashParam(hash, HP_HASHSIZE, reinterpret_cast<BYTE*>(&size), &length, 0));
  EXPECT_EQ(size, 16u);
  ASSERT_TRUE(CryptHashData(hash, reinterpret_cast<const BYTE*>("bc"), 2, 0));

  // Asking for the value's length already finishes it.
  size = 0;
  ASSERT_TRUE(CryptGetHashParam(hash, HP_HASHVAL, nullptr, &size, 0));
  EXPECT_EQ(size, 16u);
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptHashData(hash, reinterpret_cast<const BYTE*>("d"), 1, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_BAD_HASH_STATE));

  BYTE first[16] = {};
  ASSERT_TRUE(CryptGetHashParam(hash, HP_HASHVAL, first, &size, 0));
  EXPECT_EQ(Hex(first, 16), "900150983CD24FB0D6963F7D28E17F72");
  BYTE again[16] = {};
  ASSERT_TRUE(CryptGetHashParam(hash, HP_HASHVAL, again, &size, 0));
  EXPECT_EQ(Hex(again, 16), Hex(first, 16));

  EXPECT_TRUE(CryptDestroyHash(hash));
  EXPECT_TRUE(CryptReleaseContext(prov, 0));
}

TEST_F(PlatformCryptoApi, ShortBufferGetsMoreDataAndTheLength) {
  const HCRYPTPROV prov = Acquire(kAes, PROV_RSA_AES);
  ASSERT_NE(prov, 0u);
  HCRYPTHASH hash = 0;
  ASSERT_TRUE(CryptCreateHash(prov, CALG_SHA_384, 0, 0, &hash));
  BYTE value[48] = {};
  DWORD size = 47;
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptGetHashParam(hash, HP_HASHVAL, value, &size, 0));
  EXPECT_EQ(GetLastError(), ERROR_MORE_DATA);
  EXPECT_EQ(size, 48u);
  // The failed read has finished the hash all the same.
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(CryptHashData(hash, reinterpret_cast<const BYTE*>("a"), 1, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_BAD_HASH_STATE));
  EXPECT_TRUE(CryptGetHashParam(hash, HP_HASHVAL, value, &size, 0));
  EXPECT_EQ(
      Hex(value, 48),
      "38B060A751AC96384CD9327EB1B1E36A21FDB71114BE07434C0CC7BF63F6E1DA274EDEBFE76F65FBD51AD2F14898B95B");
  EXPECT_TRUE(CryptDestroyHash(hash));
  EXPECT_TRUE(CryptReleaseContext(prov, 0));
}

TEST_F(PlatformCryptoApi, AlgorithmAndSizeParameters) {
  const HCRYPTPROV prov = Acquire(kAes, PROV_RSA_AES);
  ASSERT_NE(prov, 0u);
  struct Case {
    ALG_ID algId;
    DWORD size;
  } cases[] = {{CALG_MD2, 16}, {CALG_SHA1, 20}, {CALG_SHA_256, 32}, {CALG_SHA_512, 64}};
  for (const auto& c : cases) {
    HCRYPTHASH hash = 0;
    ASSERT_TRUE(CryptCreateHash(prov, c.algId, 0, 0, &hash));
    DWORD value = 0, length = sizeof value;
    ASSERT_TRUE(CryptGetHashParam(hash, HP_ALGID, reinterpret_cast<BYTE*>(&value), &length, 0));
    EXPECT_EQ(value, c.algId);
    EXPECT_EQ(length, 4u);
    ASSERT_TRUE(CryptGetHashParam(hash, HP_HASHSIZE, reinterpret_cast<BYTE*>(&value), &length, 0));
    EXPECT_EQ(value, c.size);

    length = 2;
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CryptGetHashParam(hash, HP_ALGID, reinterpret_cast<BYTE*>(&value), &length, 0));
    EXPECT_EQ(GetLastError(), ERROR_MORE_DATA);
    EXPECT_EQ(length, 4u);
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CryptGetHashParam(hash, 99, reinterpret_cast<BYTE*>(&value), &length, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_BAD_TYPE));
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CryptGetHashParam(hash, HP_ALGID, reinterpret_cast<BYTE*>(&value), &length, 1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NTE_BAD_FLAGS));
    EXPECT_TRUE(CryptDestroyHash(hash));
  }
  EXPECT_TRUE(CryptReleaseContext(prov, 0));
}

TEST_F(PlatformCryptoApi, HashObjectsOfOneContextAreIndependent) {
  const HCRYPTPROV prov = Acquire(kAes, PROV_RSA_AES);
  ASSERT_NE(prov, 0u);
  HCRYPTHASH md5 = 0, sha = 0;
  ASSERT_TRUE(CryptCreateHash(prov, CALG_MD5, 0, 0, &md5));
  ASSERT_TRUE(CryptCreateHash(prov, CALG_SHA_256, 0, 0, &sha));
  EXPECT_NE(md5, sha);
  for (const char* piece : {"a", "b", "c"}) {
    ASSERT_TRUE(CryptHashData(md5, reinterpret_cast<const BYTE*>(piece), 1, 0));
    ASSERT_TRUE(CryptHashData(sha, reinterpret_cast<const BYTE*>(piece), 1, 0));
  }
  BYTE value[32] = {};
  DWORD size = 16;
  ASSERT_TRUE(CryptGetHashParam(md5, HP_HASHVAL, value, &size, 0));
  EXPECT_EQ(Hex(value, 16), "900150983CD24FB0D6963F7D28E17F72");
  size = 32;
  ASSERT_TRUE(CryptGetHashParam(sha, HP_HASHVAL, value, &size, 0));
  EXPECT_EQ(Hex(value, 32), "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
  EXPECT_TRUE(CryptDestroyHash(md5));
  EXPECT_TRUE(CryptDestroyHash(sha));
  EXPECT_TRUE(CryptReleaseContext(prov, 0));
}

TEST_F(PlatformCryptoApi, NullHandlesAreRefused) {
  HCRYPTHASH hash = 0;
  DWORD size = 16;
  BYTE value[16];
  const auto expectInvalid = [](BOOL result, const char* call) {
    EXPECT_FALSE(result) << call;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << call;
  };
  SetLastError(ERROR_SUCCESS);
  expectInvalid(CryptCreateHash(0, CALG_MD5, 0, 0, &hash), "CryptCreateHash");
  SetLastError(ERROR_SUCCESS);
  expectInvalid(CryptHashData(0, value, 1, 0), "CryptHashData");
  SetLastError(ERROR_SUCCESS);
  expectInvalid(CryptGetHashParam(0, HP_HASHVAL, value, &size, 0), "CryptGetHashParam");
  SetLastError(ERROR_SUCCESS);
  expectInvalid(CryptDestroyHash(0), "CryptDestroyHash");
  SetLastError(ERROR_SUCCESS);
  expectInvalid(CryptReleaseContext(0, 0), "CryptReleaseContext");
}

}  // namespace
