// The three GOST hashers through the provider that the machine has (see
// support/GostProvider.h): where it is installed their digests are the
// algorithms', where only its key is registered they are zeros. Every test
// here holds in both places.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "plugin/catalogue/Catalogues.h"
#include "plugin/hashers/Hasher.h"
#include "tests/unit/support/GostProvider.h"
#include "tests/unit/support/ModuleFixture.h"
#include "tests/unit/support/Text.h"

using testing_text::Hex;
using testing_text::Utf8;

namespace {

const char kM1[] = "012345678901234567890123456789012345678901234567890123456789012";

// The catalogue entry of that name; the GOST rows are there wherever the
// provider's key is registered, which is everywhere the tests run.
const THashAlgInfo* Entry(const std::string& name) {
  const auto end = HasherAlgs.begin() + HasherAlgCount;
  const auto it =
      std::find_if(HasherAlgs.begin(), end, [&](const THashAlgInfo& a) { return Utf8(a.Name) == name; });
  return it == end ? nullptr : &*it;
}

ComPtr<host::IHasher> HasherOn(const THashAlgInfo* alg) {
  return ComPtr<host::IHasher>::Adopt(NewInterface<host::IHasher, TqovHasher>(alg));
}

// Init, the data in pieces of 7 bytes (so that no piece lines up with a
// block), Final.
std::string Digest(host::IHasher* hasher, const std::string& data) {
  hasher->Init();
  for (std::size_t pos = 0; pos < data.size(); pos += 7)
    hasher->Update(data.data() + pos, static_cast<host::UInt32>(std::min<std::size_t>(7, data.size() - pos)));
  std::vector<BYTE> digest(hasher->GetDigestSize());
  hasher->Final(digest.data());
  return Hex(digest.data(), digest.size());
}

std::string Expected(const THashAlgInfo& alg, const std::string& digest) {
  return fixture::GostProviderInstalled() ? digest
                                          : std::string(2 * static_cast<std::size_t>(alg.HashSize), '0');
}

TEST(GostHashers, DigestsOfKnownMessages) {
  fixture::Module module;
  struct Case {
    const char* name;
    std::string data;
    const char* digest;
  } cases[] = {
      // GOST R 34.11-94 with the CryptoPro parameters, as nettle-hash
      // (gosthash94cp) gives them.
      {"GOST R 34.11-94", "", "981E5F3CA30C841487830F84FB433E13AC1101569B9C13584AC483234CD656C0"},
      {"GOST R 34.11-94", "message digest",
       "BC6041DD2AA401EBFA6E9886734174FEBDB4729AA972D60F549AC39B29721BA0"},
      // GOST R 34.11-2012: the standard's example message M1, whose digests
      // the standard prints as numbers (256 bits: 00557BE5...EF1E159D); here
      // as the bytes that the algorithm puts out, last byte of the number
      // first, and of the empty message.
      {"GOST 34.11-2012 256", kM1, "9D151EEFD8590B89DAA6BA6CB74AF9275DD051026BB149A452FD84E5E57B5500"},
      {"GOST 34.11-2012 256", "", "3F539A213E97C802CC229D474C6AA32A825A360B2A933A949FD925208D9CE1BB"},
      {"GOST 34.11-2012 512", kM1,
       "1B54D01A4AF5B9D5CC3D86D68D285462B19ABC2475222F35C085122BE4BA1FFA00AD30F8767B3A82384C6574F024C311"
       "E2A481332B08EF7F41797891C1646F48"},
      {"GOST 34.11-2012 512", "",
       "8E945DA209AA869F0455928529BCAE4679E9873AB707B55315F56CEB98BEF0A7362F715528356EE83CDA5F2AAC4C6AD2"
       "BA3A715C1BCD81CB8E9F90BF4C1C1A8A"},
  };
  for (const auto& c : cases) {
    const THashAlgInfo* alg = Entry(c.name);
    ASSERT_NE(alg, nullptr) << c.name;
    EXPECT_EQ(Digest(HasherOn(alg).Get(), c.data), Expected(*alg, c.digest))
        << c.name << " of " << c.data.size() << " bytes";
  }
  for (const auto& [name, digest] : fixture::kGostAbc) {
    const THashAlgInfo* alg = Entry(name);
    ASSERT_NE(alg, nullptr) << name;
    EXPECT_EQ(Digest(HasherOn(alg).Get(), "abc"), Expected(*alg, digest)) << name;
  }
}

TEST(GostHashers, RefusedContextGivesZerosAndTheNextInitTriesAgain) {
  fixture::Module module;
  const THashAlgInfo* alg = Entry("GOST 34.11-2012 256");
  ASSERT_NE(alg, nullptr);
  auto hasher = HasherOn(alg);
  {
    fixture::GostContextsRefused refused;
    EXPECT_EQ(hasher->GetDigestSize(), 32u);
    EXPECT_EQ(Digest(hasher.Get(), "abc"), std::string(64, '0'));
  }
  EXPECT_EQ(Digest(hasher.Get(), "abc"), Expected(*alg, fixture::kGostAbc.at("GOST 34.11-2012 256")));
}

TEST(GostHashers, OneContextServesEveryDigestOfAHasher) {
  fixture::Module module;
  const THashAlgInfo* alg = Entry("GOST 34.11-2012 512");
  ASSERT_NE(alg, nullptr);
  auto hasher = HasherOn(alg);
  const std::string abc = Expected(*alg, fixture::kGostAbc.at("GOST 34.11-2012 512"));
  EXPECT_EQ(Digest(hasher.Get(), "abc"), abc);
  // Once the context is there, a refusing provider changes nothing for it.
  fixture::GostContextsRefused refused;
  EXPECT_EQ(Digest(hasher.Get(), "abc"), abc);
}

}  // namespace
