// Several files hashed at once: every file comes back in the order it was
// handed over, with the digest one hasher gives it alone, whatever the number
// of workers, the sizes and the reads; memory stays within its limit; the
// host's streams are read and let go on the calling thread only; a failing
// read is that file's result; a cancel stops the workers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypt/HashAlgInfo.h"
#include "plugin/lists/runs/HashWorkers.h"
#include "tests/unit/support/FakeHost.h"
#include "tests/unit/support/ModuleFixture.h"
#ifndef _WIN32
#include "platform/linux/TestControl.h"
#endif

namespace {

const THashAlgInfo& Md5() { return BuiltinHashAlgs()[BuiltinMd5Row]; }

std::string Data(std::size_t size, std::size_t seed) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 31 + seed * 7) % 251);
  return data;
}

std::vector<BYTE> DigestAlone(const std::string& data) {
  auto hasher = HasherSource(&Md5(), {}).Make();
  hasher->Start();
  hasher->Add(reinterpret_cast<const BYTE*>(data.data()), static_cast<host::UInt32>(data.size()));
  std::vector<BYTE> digest(hasher->DigestSize());
  EXPECT_EQ(hasher->Finish(digest.data()), S_OK);
  return digest;
}

// Small limits, so that a few KiB show what megabytes do.
HashingLimits Limits(unsigned threads) {
  HashingLimits limits;
  limits.Threads = threads;
  limits.ChunkSize = 4096;
  limits.MaxChunks = 6;
  limits.InlineLimit = 1000;
  limits.MaxFilesAhead = 8;
  return limits;
}

struct Outcome {
  HRESULT hr = S_OK;
  std::vector<HashedFile> files;
  std::size_t chunksMade = 0;
};

// Hands the items' data over as a run does: a file whenever there is room,
// the finished ones taken in order, and reads in between.
Outcome HashAll(fakes::UpdateCallback& host, const HashingLimits& limits) {
  RunProgress progress(&host);
  progress.Start();
  std::unique_ptr<HashWorkers> started;
  Outcome outcome;
  outcome.hr = StartHashWorkers(HasherSource(&Md5(), {}), limits, progress, started);
  if (outcome.hr != S_OK || !started) {
    if (outcome.hr == S_OK) outcome.hr = E_UNEXPECTED;
    return outcome;
  }
  HashWorkers& workers = *started;
  host::UInt32 next = 0;
  const auto count = static_cast<host::UInt32>(host.Items.size());
  for (;;) {
    while (auto done = workers.TakeFinished()) outcome.files.push_back(std::move(*done));
    HRESULT hr = S_OK;
    if (next < count && workers.HasRoom()) {
      ComPtr<host::ISequentialInStream> stream;
      hr = host.GetStream(next, stream.Out());
      if (hr == S_OK) hr = workers.Add(next++, std::move(stream));
    } else if (workers.Empty()) {
      break;
    } else {
      hr = workers.Step();
    }
    if (hr != S_OK) {
      outcome.hr = hr;
      break;
    }
  }
  outcome.chunksMade = workers.ChunksMade();
  return outcome;
}

ComPtr<fakes::UpdateCallback> Host(const std::vector<std::size_t>& sizes) {
  std::vector<fakes::Item> items;
  for (std::size_t i = 0; i < sizes.size(); ++i) items.push_back({KW("f"), Data(sizes[i], i)});
  return ComPtr<fakes::UpdateCallback>::Adopt(
      NewInterface<fakes::UpdateCallback, fakes::UpdateCallback>(std::move(items)));
}

TEST(HashWorkers, FilesComeBackInOrderWithTheirOwnDigests) {
  fixture::Module module;
  const struct Tree {
    const char* what;
    std::vector<std::size_t> sizes;
    host::UInt32 maxPerRead;
  } trees[] = {
      {"empty files", std::vector<std::size_t>(20, 0), 0xFFFFFFFFu},
      {"one large among many small",
       {1, 5, 300000, 7, 0, 999, 1000, 1001, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3},
       0xFFFFFFFFu},
      {"chunk edges", {4095, 4096, 4097, 8192, 1000, 1001, 12288, 0}, 0xFFFFFFFFu},
      {"large files, short reads", {50000, 70000, 60000, 20000, 90000}, 777},
      {"small files, short reads", {900, 1000, 500, 1, 0, 999}, 100},
  };
  for (unsigned threads : {1u, 2u, 4u}) {
    for (const Tree& tree : trees) {
      SCOPED_TRACE(std::string(tree.what) + ", threads " + std::to_string(threads));
      auto host = Host(tree.sizes);
      host->MaxPerRead = tree.maxPerRead;
      const Outcome outcome = HashAll(*host.Get(), Limits(threads));
      ASSERT_EQ(outcome.hr, S_OK);
      ASSERT_EQ(outcome.files.size(), tree.sizes.size());
      for (std::size_t i = 0; i < tree.sizes.size(); ++i) {
        const HashedFile& file = outcome.files[i];
        EXPECT_EQ(file.Tag, i);
        EXPECT_EQ(file.ReadResult, S_OK);
        EXPECT_EQ(file.Digest.Result, S_OK);
        EXPECT_EQ(file.Digest.Size, tree.sizes[i]);
        EXPECT_EQ(file.Digest.Bytes, DigestAlone(host->Items[i].data)) << "file " << i;
      }
      EXPECT_LE(outcome.chunksMade, Limits(threads).MaxChunks);
      EXPECT_EQ(host->ForeignCalls, 0);
    }
  }
}

TEST(HashWorkers, AFailingReadIsThatFilesResultAlone) {
  fixture::Module module;
  // The file fails after its first chunk went to a worker, or at once.
  for (std::size_t failAt : {0u, 5000u}) {
    auto host = Host({30000, 20000, 40000, 10, 30000});
    host->Faults["Read"] = {2, static_cast<HRESULT>(0x80070017)};  // ERROR_CRC: a bad sector
    host->FailReadAt = failAt;
    const Outcome outcome = HashAll(*host.Get(), Limits(2));
    ASSERT_EQ(outcome.hr, S_OK);
    ASSERT_EQ(outcome.files.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
      EXPECT_EQ(outcome.files[i].Tag, i);
      if (i == 2) {
        EXPECT_EQ(outcome.files[i].ReadResult, static_cast<HRESULT>(0x80070017));
      } else {
        EXPECT_EQ(outcome.files[i].ReadResult, S_OK);
        EXPECT_EQ(outcome.files[i].Digest.Bytes, DigestAlone(host->Items[i].data));
      }
    }
    EXPECT_EQ(host->ForeignCalls, 0);
  }
}

#ifndef _WIN32
TEST(HashWorkers, ACancelStopsTheRunWithEveryWorkerJoined) {
  fixture::Module module;
  // Every read is a report to the host; it answers the fifth with E_ABORT,
  // while both workers have files.
  standin::SetTickCount(1000);
  long long tick = 1000;
  auto host = Host({200000, 200000, 200000});
  host->OnRead = [&] { standin::SetTickCount(tick += kProgressInterval + 1); };
  host->Faults["SetCompleted"] = {4, E_ABORT};
  const Outcome outcome = HashAll(*host.Get(), Limits(2));
  standin::SetTickCount(-1);
  EXPECT_EQ(outcome.hr, E_ABORT);
  EXPECT_TRUE(outcome.files.empty());
  EXPECT_EQ(host->Completed.size(), 5u);
  // The workers let go of their hash objects.
  EXPECT_EQ(standin::OpenHashes(), 0);
  EXPECT_EQ(host->ForeignCalls, 0);
}
#endif

}  // namespace
