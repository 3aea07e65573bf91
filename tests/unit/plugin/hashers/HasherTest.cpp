// Hasher objects and the hasher list, through their host interfaces.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

#include "base/Bstr.h"
#include "base/ComPtr.h"
#include "base/PropValue.h"
#include "plugin/Exports.h"
#include "plugin/hashers/Hasher.h"
#include "tests/unit/support/GostProvider.h"
#include "tests/unit/support/ModuleFixture.h"
#include "tests/unit/support/Text.h"
#ifndef _WIN32
#include "platform/linux/TestControl.h"
#endif

using testing_text::Hex;
using testing_text::Utf8;

namespace {

ComPtr<host::IHasher> HasherOn(const THashAlgInfo& alg) {
  return ComPtr<host::IHasher>::Adopt(NewInterface<host::IHasher, TqovHasher>(&alg));
}

std::string Digest(host::IHasher* hasher, const std::vector<std::string>& pieces) {
  hasher->Init();
  for (const auto& p : pieces) hasher->Update(p.data(), static_cast<host::UInt32>(p.size()));
  std::vector<BYTE> digest(hasher->GetDigestSize());
  hasher->Final(digest.data());
  return Hex(digest.data(), digest.size());
}

const THashAlgInfo& Md5Row() { return BuiltinHashAlgs()[BuiltinMd5Row]; }

TEST(Hasher, Md5OfAbcInOneOrThreeUpdates) {
  fixture::Module module;  // the providers registered, whatever ran before
  auto hasher = HasherOn(Md5Row());
  EXPECT_EQ(Digest(hasher.Get(), {"abc"}), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(Digest(hasher.Get(), {"a", "", "b", "c"}), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(Hasher, InitStartsAFreshDigest) {
  fixture::Module module;  // the providers registered, whatever ran before
  auto hasher = HasherOn(Md5Row());
  hasher->Init();
  hasher->Update("A", 1);
  EXPECT_EQ(Digest(hasher.Get(), {"abc"}), "900150983CD24FB0D6963F7D28E17F72");
  // Data after Final is refused by CryptoAPI and does not change the next digest.
  hasher->Update("zzz", 3);
  EXPECT_EQ(Digest(hasher.Get(), {}), "D41D8CD98F00B204E9800998ECF8427E");
}

TEST(Hasher, FinalWritesExactlyTheDigestSize) {
  fixture::Module module;  // the providers registered, whatever ran before
  auto hasher = HasherOn(Md5Row());
  hasher->Init();
  BYTE buffer[20];
  std::memset(buffer, 0xAB, sizeof buffer);
  hasher->Final(buffer);
  EXPECT_EQ(Hex(buffer, 16), "D41D8CD98F00B204E9800998ECF8427E");
  for (int i = 16; i < 20; ++i) EXPECT_EQ(buffer[i], 0xAB);
}

// A hasher made on an entry directly (the list offers none whose provider
// fails) has no way to tell the host of a failure: it gives zeros of the
// entry's size.
TEST(Hasher, FailingProviderGivesZerosOfTheRightSize) {
  // A provider that can't give a context: not registered (Linux), registered
  // by the test script without a DLL, or the GOST test provider refusing
  // (Windows).
  THashAlgInfo alg = BuiltinHashAlgs()[12];  // GOST 34.11-2012 512, Infotecs
  auto hasher = HasherOn(alg);
#ifndef _WIN32
  fixture::Module module(std::nullopt, std::vector<WStr>{});  // nothing registered
#endif
  fixture::GostContextsRefused refused;
  EXPECT_EQ(hasher->GetDigestSize(), 64u);
  EXPECT_EQ(Digest(hasher.Get(), {"abc"}), std::string(128, '0'));
  // Final before any Init gives zeros as well.
  auto fresh = HasherOn(Md5Row());
  BYTE buffer[16];
  std::memset(buffer, 0xAB, sizeof buffer);
  fresh->Final(buffer);
  EXPECT_EQ(Hex(buffer, 16), std::string(32, '0'));
}

TEST(Hasher, UnknownAlgorithmGivesZeros) {
  fixture::Module module;  // the providers registered, whatever ran before
  THashAlgInfo alg = Md5Row();
  alg.AlgId = 0x80FF;
  auto hasher = HasherOn(alg);
  EXPECT_EQ(Digest(hasher.Get(), {"abc"}), std::string(32, '0'));
}

TEST(Hasher, AnswersItsInterfacesOnly) {
  auto hasher = HasherOn(Md5Row());
  void* p = nullptr;
  ASSERT_EQ(hasher->QueryInterface(host::ICompressSetCoderProperties::iid, &p), S_OK);
  auto props =
      ComPtr<host::ICompressSetCoderProperties>::Adopt(static_cast<host::ICompressSetCoderProperties*>(p));
  EXPECT_EQ(props->SetCoderProperties(nullptr, nullptr, 0), S_OK);
  PROPID id = 1;
  PROPVARIANT v{};
  EXPECT_EQ(props->SetCoderProperties(&id, &v, 1), S_OK);
  EXPECT_EQ(hasher->QueryInterface(host::IHashers::iid, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
}

ComPtr<host::IHashers> Hashers() {
  host::IHashers* list = nullptr;
  EXPECT_EQ(GetHashers(&list), S_OK);
  return ComPtr<host::IHashers>::Adopt(list);
}

// The entries the list offers with every provider of the table registered:
// the three GOST ones only where their provider can hash (under Wine the test
// script may register just its key).
host::UInt32 OfferedCount() { return fixture::GostProviderInstalled() ? 13u : 10u; }

std::string Name(host::IHashers* list, host::UInt32 i) {
  PropValueHolder v;
  EXPECT_EQ(list->GetHasherProp(i, 1, v.Ptr()), S_OK);
  EXPECT_EQ(v->vt, VT_BSTR);
  return v->vt == VT_BSTR ? Utf8(v->bstrVal) : "";
}

TEST(Hashers, PublishesTheCatalogueWithItsDigests) {
  fixture::Module module;
  auto list = Hashers();
  // Every provider of the table is registered (under Wine by the test script).
  ASSERT_EQ(list->GetNumHashers(), OfferedCount());
  std::map<std::string, std::string> abc = {
      {"MD2", "DA853B0D3F88D99B30283A69E6DED6BB"},
      {"MD4", "A448017AAF21D8525FC10AE87AA6729D"},
      {"MD5", "900150983CD24FB0D6963F7D28E17F72"},
      {"SHA-1", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
      {"SHA-256", "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
      {"SHA-384",
       "CB00753F45A35E8BB5A03D699AC65007272C32AB0EDED1631A8B605A43FF5BED8086072BA1E7CC2358BAECA134C825A7"},
      {"SHA-512",
       "DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A2192992A274FC1A836BA3C23A3FEEBBD"
       "454D4423643CE80E2A9AC94FA54CA49F"},
  };
  // The GOST rows compute only where their provider is installed, and are
  // not offered where just its key is registered.
  for (const auto& [name, digest] : fixture::kGostAbc) abc[name] = digest;
  std::vector<std::string> names;
  for (host::UInt32 i = 0; i < list->GetNumHashers(); ++i) {
    names.push_back(Name(list.Get(), i));
    auto it = abc.find(names.back());
    ASSERT_NE(it, abc.end()) << names.back();
    ComPtr<host::IHasher> hasher;
    ASSERT_EQ(list->CreateHasher(i, hasher.Out()), S_OK);
    EXPECT_EQ(Digest(hasher.Get(), {"abc"}), it->second) << names.back() << " #" << i;
  }
  std::vector<std::string> order = {"SHA-1",
                                    "MD2",
                                    "MD4",
                                    "MD5",
                                    "SHA-256",
                                    "SHA-384",
                                    "SHA-512",
                                    "SHA-256",
                                    "SHA-384",
                                    "SHA-512",
                                    "GOST R 34.11-94",
                                    "GOST 34.11-2012 256",
                                    "GOST 34.11-2012 512"};
  order.resize(OfferedCount());
  EXPECT_EQ(names, order);
}

// A provider that can't hash: its entries are not offered at all, so that the
// host refuses them by name rather than showing zeros for a digest.
TEST(Hashers, LeavesOutEntriesWhoseProviderCannotHash) {
  fixture::Module module;
  {
    fixture::GostContextsRefused refused;
    auto list = Hashers();
    EXPECT_EQ(list->GetNumHashers(), 10u);
    for (host::UInt32 i = 0; i < list->GetNumHashers(); ++i)
      EXPECT_EQ(Name(list.Get(), i).find("GOST"), std::string::npos) << i;
  }
#ifndef _WIN32
  // One algorithm refused: only its entry goes; the others of that provider
  // stay and hash.
  standin::RefuseAlgorithm(fixture::kBaseProvider, 0x8001);  // MD2
  auto list = Hashers();
  ASSERT_EQ(list->GetNumHashers(), 12u);
  EXPECT_EQ(Name(list.Get(), 0), "SHA-1");
  EXPECT_EQ(Name(list.Get(), 1), "MD4");
  ComPtr<host::IHasher> md4;
  ASSERT_EQ(list->CreateHasher(1, md4.Out()), S_OK);
  EXPECT_EQ(Digest(md4.Get(), {"abc"}), "A448017AAF21D8525FC10AE87AA6729D");
  standin::Reset();
  standin::RegisterAllProviders();
#endif
}

TEST(Hashers, PropertiesOfTheSha256Entry) {
  fixture::Module module;
  auto list = Hashers();
  const host::UInt32 sha256 = 4;
  ASSERT_EQ(Name(list.Get(), sha256), "SHA-256");
  PropValueHolder v;
  EXPECT_EQ(list->GetHasherProp(sha256, 0, v.Ptr()), S_OK);
  EXPECT_EQ(v->vt, VT_UI8);
  EXPECT_EQ(v->uhVal.QuadPart, 0x800Cu);
  PropValueHolder description;
  EXPECT_EQ(list->GetHasherProp(sha256, 6, description.Ptr()), S_OK);
  ASSERT_EQ(description->vt, VT_BSTR);
  EXPECT_EQ(Utf8(description->bstrVal), "Secure Hash Algorithm 256 (SHA-256)");
  PropValueHolder size;
  EXPECT_EQ(list->GetHasherProp(sha256, 9, size.Ptr()), S_OK);
  EXPECT_EQ(size->vt, VT_UI4);
  EXPECT_EQ(size->ulVal, 32u);
  PropValueHolder other;
  other.Ptr()->vt = VT_UI4;
  EXPECT_EQ(list->GetHasherProp(sha256, 2, other.Ptr()), S_OK);
  EXPECT_EQ(other->vt, VT_EMPTY);
}

TEST(Hashers, RefusesIndicesBeyondTheCatalogue) {
  fixture::Module module;
  auto list = Hashers();
  for (host::UInt32 index : {list->GetNumHashers(), 0xFFFFFFFFu}) {
    PropValueHolder v;
    v.Ptr()->vt = VT_UI4;
    EXPECT_EQ(list->GetHasherProp(index, 1, v.Ptr()), E_INVALIDARG);
    EXPECT_EQ(v->vt, VT_EMPTY);
    host::IHasher* hasher = reinterpret_cast<host::IHasher*>(1);
    EXPECT_EQ(list->CreateHasher(index, &hasher), E_INVALIDARG);
    EXPECT_EQ(hasher, nullptr);
  }
}

TEST(Hashers, EachCallMakesAnIndependentList) {
  fixture::Module module;
  auto a = Hashers();
  auto b = Hashers();
  EXPECT_NE(a.Get(), b.Get());
  a.Reset();
  EXPECT_EQ(b->GetNumHashers(), OfferedCount());
  void* p = nullptr;
  EXPECT_EQ(b->QueryInterface(IID_IUnknown, &p), S_OK);
  static_cast<IUnknown*>(p)->Release();
  EXPECT_EQ(b->QueryInterface(host::IHashers::iid, &p), S_OK);
  static_cast<IUnknown*>(p)->Release();
  EXPECT_EQ(b->QueryInterface(host::IHasher::iid, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
}

// Hashers on one provider context, used from eight threads at once, as a host
// that hashes on several threads does: every digest must be the one of its own
// data. The expected values are the published test vectors of MD5 (RFC 1321)
// and SHA (FIPS 180), as nettle-hash gives them too.
TEST(HasherThreads, EightThreadsGiveTheKnownDigests) {
  fixture::Module module;
  auto list = Hashers();
  const std::string million(1000000, 'a');
  const std::string messages[] = {"", "abc", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                                  million};
  const std::map<std::string, std::vector<std::string>> known = {
      {"MD5",
       {"D41D8CD98F00B204E9800998ECF8427E", "900150983CD24FB0D6963F7D28E17F72",
        "8215EF0796A20BCAAAE116D3876C664A", "7707D6AE4E027C70EEA2A935C2296F21"}},
      {"SHA-1",
       {"DA39A3EE5E6B4B0D3255BFEF95601890AFD80709", "A9993E364706816ABA3E25717850C26C9CD0D89D",
        "84983E441C3BD26EBAAE4AA1F95129E5E54670F1", "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"}},
      {"SHA-256",
       {"E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855",
        "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD",
        "248D6A61D20638B8E5C026930C3E6039A33CE45964FF2167F6ECEDD419DB06C1",
        "CDC76E5C9914FB9281A1C7E284D73E67F1809A48A497200E046D39CCC7112CD0"}},
  };
  // Every list entry of those names: SHA-256 stands twice, once per AES provider.
  struct Case {
    host::UInt32 index;
    std::size_t message;
    std::string expected;
  };
  std::vector<Case> cases;
  for (host::UInt32 i = 0; i < list->GetNumHashers(); ++i) {
    const auto it = known.find(Name(list.Get(), i));
    if (it == known.end()) continue;
    for (std::size_t m = 0; m < std::size(messages); ++m) cases.push_back({i, m, it->second[m]});
  }
  ASSERT_EQ(cases.size(), 16u);

  constexpr int kThreads = 8;
  std::atomic<int> ready{0};
  std::vector<std::vector<std::string>> wrong(kThreads);
  auto work = [&](int t) {
    // Data in pieces of a size of the thread's own, so that threads are at
    // different points of their digests.
    const std::size_t piece = 1000 + 1237 * static_cast<std::size_t>(t);
    auto digest = [&](host::IHasher* hasher, const std::string& data) {
      hasher->Init();
      for (std::size_t at = 0; at < data.size(); at += piece) {
        const std::size_t n = std::min(piece, data.size() - at);
        hasher->Update(data.data() + at, static_cast<host::UInt32>(n));
      }
      std::vector<BYTE> out(hasher->GetDigestSize());
      hasher->Final(out.data());
      return Hex(out.data(), out.size());
    };
    ready.fetch_add(1);
    while (ready.load() < kThreads) std::this_thread::yield();
    // A new hasher per digest (as for each file of a list), then one hasher
    // per entry reused with Init.
    std::map<host::UInt32, ComPtr<host::IHasher>> kept;
    for (int pass = 0; pass < 2; ++pass) {
      for (std::size_t k = 0; k < cases.size(); ++k) {
        const Case& c = cases[(k + 2 * static_cast<std::size_t>(t)) % cases.size()];
        ComPtr<host::IHasher> fresh;
        ComPtr<host::IHasher>& hasher = pass == 0 ? fresh : kept[c.index];
        if (!hasher && list->CreateHasher(c.index, hasher.Out()) != S_OK) {
          std::ostringstream what;
          what << "no hasher #" << c.index;
          wrong[t].push_back(what.str());
          continue;
        }
        const std::string got = digest(hasher.Get(), messages[c.message]);
        if (got != c.expected) {
          std::ostringstream what;
          what << '#' << c.index << " message " << c.message << ": " << got;
          wrong[t].push_back(what.str());
        }
      }
    }
  };
  std::vector<std::thread> threads;
  threads.reserve(kThreads);
  for (int t = 0; t < kThreads; ++t) threads.emplace_back(work, t);
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(wrong[t], std::vector<std::string>{}) << "thread " << t;
#ifndef _WIN32
  // The list holds one context per provider (the base one, the two AES ones
  // and the GOST one), which every hasher used: nothing more. They go with
  // the list.
  EXPECT_EQ(standin::OpenContexts(), 4);
  EXPECT_EQ(standin::OpenHashes(), 0);
  list.Reset();
  EXPECT_EQ(standin::OpenContexts(), 0);
#endif
}

}  // namespace
