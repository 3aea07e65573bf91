// Testing a list: each entry's file, opened by the host, against its digest.
#include <gtest/gtest.h>

#include "base/PropValue.h"
#include "crypt/HashAlgInfo.h"
#include "tests/unit/support/FakeExtract.h"
#include "tests/unit/support/FakeHost.h"
#include "tests/unit/support/Fakes.h"
#include "tests/unit/support/FormatFixture.h"
#ifndef _WIN32
#include "platform/linux/TestControl.h"
#endif

namespace {

constexpr char kAbcMd5[] = "900150983CD24FB0D6963F7D28E17F72";
constexpr char kEmptyMd5[] = "D41D8CD98F00B204E9800998ECF8427E";

// An MD5 list of a ("abc"), b (empty) and c ("abc").
ComPtr<host::IOutArchive> OpenAbc() {
  auto handler = fixture::Formats::Handler(0);
  const std::string list = std::string(kAbcMd5) + " *a\r\n" + kEmptyMd5 + " *b\r\n" + kAbcMd5 + " *c\r\n";
  EXPECT_EQ(fixture::OpenList(handler.Get(), KW("l.md5"), list), S_OK);
  return handler;
}

ComPtr<fakes::ExtractCallback> Files(std::map<host::UInt32, std::string> files) {
  auto callback =
      ComPtr<fakes::ExtractCallback>::Adopt(NewInterface<fakes::ExtractCallback, fakes::ExtractCallback>());
  callback->Files = std::move(files);
  return callback;
}

HRESULT RunTest(host::IOutArchive* handler, fakes::ExtractCallback* callback, host::Int32 testMode = 1) {
  return QueryAs<host::IInArchive>(handler)->Extract(nullptr, 0xFFFFFFFFu, testMode, callback);
}

std::vector<std::string> Entry(host::UInt32 i, int result) {
  const std::string n = std::to_string(i);
  return {"GetStream2 " + n + " 8", "GetStream " + n + " 1", "Prepare 3", "Result " + std::to_string(result)};
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// kpidSize of entry i: the size its test read, or -1 when there is none.
long long SizeOf(host::IOutArchive* handler, host::UInt32 i) {
  PropValueHolder size;
  QueryAs<host::IInArchive>(handler)->GetProperty(i, host::kpidSize, size.Ptr());
  return size->vt == VT_UI8 ? static_cast<long long>(size->uhVal.QuadPart) : -1;
}

TEST(HashListTest, ChecksEveryFile) {
  fixture::Formats formats;
  auto handler = OpenAbc();
  EXPECT_EQ(SizeOf(handler.Get(), 0), -1);  // a list holds no sizes
  // b is as listed; a differs; c can't be opened (the host says so itself).
  auto callback = Files({{0, "abd"}, {1, ""}});
  EXPECT_EQ(RunTest(handler.Get(), callback.Get()), S_OK);
  EXPECT_EQ(callback->Calls, Join({Entry(0, 3), Entry(1, 0), {"GetStream2 2 8"}}));
  EXPECT_EQ(callback->Totals, std::vector<host::UInt64>{3});
  EXPECT_EQ(callback->Completed.back(), 3u);
  // The sizes of the files read, for the host's totals.
  EXPECT_EQ(SizeOf(handler.Get(), 0), 3);
  EXPECT_EQ(SizeOf(handler.Get(), 1), 0);
  EXPECT_EQ(SizeOf(handler.Get(), 2), -1);

  auto good = Files({{0, "abc"}, {1, ""}, {2, "abc"}});
  EXPECT_EQ(RunTest(handler.Get(), good.Get()), S_OK);
  EXPECT_EQ(good->Calls, Join({Entry(0, 0), Entry(1, 0), Entry(2, 0)}));

  // Chosen entries only.
  auto some = Files({{2, "abc"}});
  const host::UInt32 indices[] = {2};
  EXPECT_EQ(QueryAs<host::IInArchive>(handler.Get())->Extract(indices, 1, 1, some.Get()), S_OK);
  EXPECT_EQ(some->Calls, Entry(2, 0));
  const host::UInt32 beyond[] = {3};
  EXPECT_EQ(QueryAs<host::IInArchive>(handler.Get())->Extract(beyond, 1, 1, some.Get()), E_INVALIDARG);
}

TEST(HashListTest, ShortDigestsAreCheckedAsTheyAreWritten) {
  // CRC32 of "abc" is 352441C2, written as one number.
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(2);
  auto hashers = ComPtr<fakes::HasherList>::Adopt(NewInterface<fakes::HasherList, fakes::HasherList>(
      std::vector<std::pair<WStr, std::string>>{{KW("CRC32"), "\xC2\x41\x24\x35"}}));
  auto codecs = ComPtr<fakes::CodecsInfo>::Adopt(NewInterface<fakes::CodecsInfo, fakes::CodecsInfo>());
  codecs->Hashers = hashers.Get();
  QueryAs<host::ISetCompressCodecsInfo>(handler.Get())->SetCompressCodecsInfo(codecs.Get());
  ASSERT_EQ(fixture::OpenList(handler.Get(), KW("l.sfv"), "a 352441C2\nb 352441c3\n"), S_OK);
  auto callback = Files({{0, "abc"}, {1, "abc"}});
  EXPECT_EQ(RunTest(handler.Get(), callback.Get()), S_OK);
  EXPECT_EQ(callback->Calls, Join({Entry(0, 0), Entry(1, 3)}));
  EXPECT_EQ(fixture::Entries(handler.Get()), (std::vector<std::string>{"a|352441C2", "b|352441C3"}));
}

TEST(HashListTest, OnlyTestsWithAHostThatOpensTheFiles) {
  fixture::Formats formats;
  auto handler = OpenAbc();
  auto callback = Files({{0, "abc"}});
  EXPECT_EQ(RunTest(handler.Get(), callback.Get(), 0), E_NOTIMPL);  // extracting
  callback->WithFiles = false;
  EXPECT_EQ(RunTest(handler.Get(), callback.Get()), E_NOTIMPL);
  EXPECT_TRUE(callback->Calls.empty());
  // Nothing open: nothing to test.
  auto closed = fixture::Formats::Handler(0);
  EXPECT_EQ(RunTest(closed.Get(), Files({}).Get()), E_NOTIMPL);
  // Without the disk sizes there is no total, and the test still runs.
  auto noDisk = Files({{0, "abc"}, {1, ""}, {2, "abc"}});
  noDisk->WithDisk = false;
  EXPECT_EQ(RunTest(handler.Get(), noDisk.Get()), S_OK);
  EXPECT_TRUE(noDisk->Totals.empty());
  EXPECT_EQ(noDisk->Calls.size(), 12u);
}

TEST(HashListTest, HostFailuresEndTheRun) {
  fixture::Formats formats;
  auto handler = OpenAbc();
  struct Case {
    const char* method;
    int index;
    HRESULT hr;
    std::size_t calls;  // made before the run ended
  } cases[] = {
      {"GetDiskProperty", 1, E_ABORT, 0}, {"SetTotal", -1, E_ABORT, 0},
      {"GetStream2", 1, E_ABORT, 5},      {"GetStream2", 0, S_FALSE, 1},
      {"GetStream", 1, E_ABORT, 6},       {"PrepareOperation", 0, E_ABORT, 3},
      {"Read", 2, E_ABORT, 11},           {"SetOperationResult", 1, E_ABORT, 8},
      {"SetCompleted", -1, E_ABORT, 12},  // the final report
  };
  for (const auto& c : cases) {
    auto callback = Files({{0, "abc"}, {1, ""}, {2, "abc"}});
    callback->Faults[c.method] = {c.index, c.hr};
    EXPECT_EQ(RunTest(handler.Get(), callback.Get()), c.hr) << c.method;
    EXPECT_EQ(callback->Calls.size(), c.calls) << c.method;
  }
}

#ifndef _WIN32
// A digest the provider can't compute tells nothing about the file: each such
// entry is an unsupported method, not a CRC error, and the run goes on.
TEST(HashListTest, EntriesWhoseDigestCantBeComputedAreUnsupported) {
  const THashAlgInfo& md5 = BuiltinHashAlgs()[BuiltinMd5Row];
  for (const bool wholeProvider : {true, false}) {
    fixture::Formats formats;
    auto handler = OpenAbc();
    if (wholeProvider) {
      standin::RefuseContext(md5.ProviderName);
    } else {
      standin::RefuseAlgorithm(md5.ProviderName, md5.AlgId);
    }
    auto callback = Files({{0, "abc"}, {1, ""}, {2, "abd"}});
    EXPECT_EQ(RunTest(handler.Get(), callback.Get()), S_OK);
    EXPECT_EQ(callback->Calls, Join({Entry(0, 1), Entry(1, 1), Entry(2, 1)}));
    standin::Reset();
  }
}
#endif

}  // namespace
