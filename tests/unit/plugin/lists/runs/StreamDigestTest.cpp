// The one routine that reads and hashes a file for every run: what it reads,
// copies and counts, what it reports of a digest that was not computed, and
// how a failing stream ends it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "crypt/HashAlgInfo.h"
#include "plugin/lists/runs/StreamDigest.h"
#include "tests/unit/support/FakeHost.h"
#include "tests/unit/support/Fakes.h"
#include "tests/unit/support/ModuleFixture.h"
#include "tests/unit/support/ProviderRefusals.h"
#ifndef _WIN32
#include "platform/linux/TestControl.h"
#endif

namespace {

// Sums the bytes it is fed into a one-byte digest; Finish says what it is told to.
class SumHasher : public ItemHasher {
 public:
  std::size_t DigestSize() override { return 1; }
  void Start() override {
    Sum = 0;
    ++Starts;
  }
  void Add(const BYTE* data, host::UInt32 size) override {
    for (host::UInt32 i = 0; i < size; ++i) Sum = static_cast<BYTE>(Sum + data[i]);
  }
  HRESULT Finish(BYTE* digest) override {
    *digest = Failure == S_OK ? Sum : 0;
    return Failure;
  }
  BYTE Sum = 0;
  int Starts = 0;
  HRESULT Failure = S_OK;
};

template <class T, class... Args>
ComPtr<T> Make(Args&&... args) {
  return ComPtr<T>::Adopt(NewInterface<T, T>(std::forward<Args>(args)...));
}

struct Rig {
  ComPtr<fakes::UpdateCallback> host = Make<fakes::UpdateCallback>(std::vector<fakes::Item>{});
  RunProgress progress{host.Get()};
  std::vector<BYTE> buffer;
  SumHasher hasher;
  StreamDigest digest;
};

TEST(StreamDigest, ReadsTheWholeStreamInPiecesAndCopiesIt) {
  const std::string data(2 * kReadBufferSize + 5, '\x01');
  for (host::UInt32 perRead : {host::UInt32{7}, kReadBufferSize, 0xFFFFFFFFu}) {
    Rig run;
    auto in = Make<fakes::InStream>(data);
    in->MaxPerRead = perRead;
    auto copy = Make<fakes::OutStream>();
    EXPECT_EQ(DigestStream(in.Get(), copy.Get(), run.hasher, run.buffer, run.progress, run.digest), S_OK);
    EXPECT_EQ(run.digest.Size, data.size());
    EXPECT_EQ(copy->Bytes, data);
    EXPECT_EQ(run.digest.Result, S_OK);
    EXPECT_EQ(run.digest.Bytes, std::vector<BYTE>{static_cast<BYTE>(data.size())});
    EXPECT_EQ(run.buffer.size(), kReadBufferSize);
  }
}

TEST(StreamDigest, EachStreamStartsAFreshDigest) {
  Rig run;
  for (const char* data : {"\x05\x05", "\x03"}) {
    auto in = Make<fakes::InStream>(std::string(data));
    ASSERT_EQ(DigestStream(in.Get(), nullptr, run.hasher, run.buffer, run.progress, run.digest), S_OK);
  }
  EXPECT_EQ(run.hasher.Starts, 2);
  EXPECT_EQ(run.digest.Size, 1u);
  EXPECT_EQ(run.digest.Bytes, std::vector<BYTE>{3});
}

TEST(StreamDigest, ADigestNotComputedIsReportedAsSuchWithZeros) {
  Rig run;
  run.hasher.Failure = NTE_BAD_LEN;
  auto in = Make<fakes::InStream>(std::string("abc"));
  EXPECT_EQ(DigestStream(in.Get(), nullptr, run.hasher, run.buffer, run.progress, run.digest), S_OK);
  EXPECT_EQ(run.digest.Result, NTE_BAD_LEN);
  EXPECT_EQ(run.digest.Bytes, std::vector<BYTE>{0});
  EXPECT_EQ(run.digest.Size, 3u);
  // The next stream's digest is judged on its own.
  run.hasher.Failure = S_OK;
  auto next = Make<fakes::InStream>(std::string("\x02"));
  EXPECT_EQ(DigestStream(next.Get(), nullptr, run.hasher, run.buffer, run.progress, run.digest), S_OK);
  EXPECT_EQ(run.digest.Result, S_OK);
  EXPECT_EQ(run.digest.Bytes, std::vector<BYTE>{2});
}

#ifndef _WIN32
// A CryptoAPI provider that refuses: the digest is not computed, and the
// provider's own error comes back for the run to report, whichever step it
// refused.
TEST(StreamDigest, AProviderThatRefusesGivesItsErrorAndZeros) {
  const THashAlgInfo& md5 = BuiltinHashAlgs()[BuiltinMd5Row];
  for (const fixture::ProviderRefusal& c : fixture::ProviderRefusals()) {
    fixture::Module module;
    c.Refuse(md5);
    Rig run;
    const std::unique_ptr<ItemHasher> hasher = HasherSource(&md5, {}).Make();
    ASSERT_TRUE(hasher);
    auto in = Make<fakes::InStream>(std::string("abc"));
    EXPECT_EQ(DigestStream(in.Get(), nullptr, *hasher, run.buffer, run.progress, run.digest), S_OK);
    EXPECT_EQ(run.digest.Result, c.Expected);
    EXPECT_EQ(run.digest.Bytes, std::vector<BYTE>(16, 0));
    EXPECT_EQ(run.digest.Size, 3u);
    standin::Reset();
  }
}
#endif

TEST(StreamDigest, AFailingStreamEndsTheRoutineWithItsResult) {
  for (HRESULT failure : {E_FAIL, S_FALSE, E_ABORT}) {
    Rig run;
    auto in = Make<fakes::InStream>(std::string("abc"));
    in->FailWith = failure;
    EXPECT_EQ(DigestStream(in.Get(), nullptr, run.hasher, run.buffer, run.progress, run.digest), failure);

    Rig copied;
    auto good = Make<fakes::InStream>(std::string("abc"));
    auto copy = Make<fakes::OutStream>();
    copy->FailAtCall = 1;
    copy->FailWith = failure;
    EXPECT_EQ(
        DigestStream(good.Get(), copy.Get(), copied.hasher, copied.buffer, copied.progress, copied.digest),
        failure);
  }
}

TEST(StreamDigest, ProgressCountsEveryRunByteAndReportsOnRequest) {
  Rig run;
  for (const char* data : {"ab", "cde"}) {
    auto in = Make<fakes::InStream>(std::string(data));
    ASSERT_EQ(DigestStream(in.Get(), nullptr, run.hasher, run.buffer, run.progress, run.digest), S_OK);
  }
  EXPECT_EQ(run.progress.Report(), S_OK);
  ASSERT_FALSE(run.host->Completed.empty());
  EXPECT_EQ(run.host->Completed.back(), 5u);
}

#ifndef _WIN32
TEST(RunProgress, TellsTheHostOnlyAfterTheIntervalHasPassed) {
  auto host = Make<fakes::UpdateCallback>(std::vector<fakes::Item>{});
  RunProgress progress(host.Get());
  standin::SetTickCount(1000);
  progress.Start();
  EXPECT_EQ(progress.Add(1), S_OK);
  standin::SetTickCount(1000 + kProgressInterval);
  EXPECT_EQ(progress.Add(2), S_OK);
  EXPECT_TRUE(host->Completed.empty());
  standin::SetTickCount(1001 + kProgressInterval);
  EXPECT_EQ(progress.Add(3), S_OK);
  EXPECT_EQ(host->Completed, std::vector<host::UInt64>{6});
  EXPECT_EQ(progress.Add(4), S_OK);  // the interval counts from that report
  EXPECT_EQ(host->Completed.size(), 1u);
  standin::SetTickCount(-1);
}
#endif

}  // namespace
