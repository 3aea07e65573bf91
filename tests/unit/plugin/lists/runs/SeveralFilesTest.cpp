// Writing and testing lists with several files hashed at once ("mt" above 1)
// gives what one file after another gives: the same list, byte for byte, the
// same results in list order, the same end when a file fails, the host
// cancels or the host fails; and every call on the host's objects comes from
// the thread that started the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "plugin/lists/ThreadOption.h"
#include "tests/unit/support/FakeExtract.h"
#include "tests/unit/support/FakeHost.h"
#include "tests/unit/support/FormatFixture.h"
#include "tests/unit/support/Text.h"
#ifndef _WIN32
#include "platform/linux/TestControl.h"
#endif

using fixture::Number;

namespace {

constexpr std::size_t kMiB = 0x100000;
constexpr auto kBadSector = static_cast<HRESULT>(0x80070017);  // ERROR_CRC

std::string Data(std::size_t size, std::size_t seed) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 13 + seed * 101) % 253);
  return data;
}

struct Tree {
  const char* what;
  std::vector<std::size_t> sizes;
};

const Tree kTrees[] = {
    {"empty files", std::vector<std::size_t>(12, 0)},
    {"one large file among many small",
     {100, 0, 7, 3 * kMiB + 5, 100, 100, 1, 100, 100, 100, 100, 100, 100, 9}},
    {"large and small files", {kMiB + 1, 10, 2 * kMiB, 3, kMiB / 2, 70000, 0, kMiB + 100, 5}},
};

// What a run did, as the host saw it.
struct Seen {
  HRESULT hr = S_OK;
  std::string bytes;                 // the list written (an update)
  std::vector<std::string> calls;    // the item calls, in order
  std::vector<std::string> results;  // just the results
  std::string copied;                // the data the host asked a copy of
  int foreign = 0;                   // calls from another thread
};

std::vector<std::string> Results(const std::vector<std::string>& calls) {
  std::vector<std::string> results;
  for (const std::string& call : calls)
    if (call.rfind("Result", 0) == 0) results.push_back(call);
  return results;
}

// A script of what the host does in a run.
struct Script {
  std::map<std::string, std::pair<int, HRESULT>> faults;
  std::size_t failReadAt = 0;
  bool cancelAtReport = false;  // every read is a report; faults say which one fails
  bool wantsCopy = false;
  std::vector<host::UInt32> missing;  // files the host can't open (a test)
};

ComPtr<host::IOutArchive> Handler(unsigned threads) {
  auto handler = fixture::Formats::Handler(0);
  EXPECT_EQ(fixture::SetProperties(handler.Get(), {{KW("mt"), Number(threads)}}), S_OK);
  return handler;
}

std::vector<fakes::Item> Items(const Tree& tree) {
  std::vector<fakes::Item> items;
  for (std::size_t i = 0; i < tree.sizes.size(); ++i)
    items.push_back({KW("d\\") + WStr(1, static_cast<WCHAR>(KW('a') + i)), Data(tree.sizes[i], i)});
  return items;
}

Seen Write(const Tree& tree, unsigned threads, const Script& script = {}) {
  auto handler = Handler(threads);
  auto callback = ComPtr<fakes::UpdateCallback>::Adopt(
      NewInterface<fakes::UpdateCallback, fakes::UpdateCallback>(Items(tree)));
  callback->Faults = script.faults;
  callback->FailReadAt = script.failReadAt;
#ifndef _WIN32
  long long tick = 1000;
  if (script.cancelAtReport) {
    standin::SetTickCount(tick);
    callback->OnRead = [&] { standin::SetTickCount(tick += 501); };
  }
#endif
  const auto result = fixture::Update(handler.Get(), callback.Get());
#ifndef _WIN32
  standin::SetTickCount(-1);
#endif
  return {result.hr, result.bytes, callback->Calls, Results(callback->Calls), "", callback->ForeignCalls};
}

// A list of the tree's files as one file after another writes it.
std::string ListOf(const Tree& tree) { return Write(tree, 1).bytes; }

Seen Check(const Tree& tree, unsigned threads, const Script& script = {}) {
  auto handler = Handler(threads);
  EXPECT_EQ(fixture::OpenList(handler.Get(), KW("l.md5"), ListOf(tree)), S_OK);
  auto callback =
      ComPtr<fakes::ExtractCallback>::Adopt(NewInterface<fakes::ExtractCallback, fakes::ExtractCallback>());
  std::vector<fakes::Item> items = Items(tree);
  for (host::UInt32 i = 0; i < items.size(); ++i) callback->Files[i] = items[i].data;
  // The third file has changed since the list was written.
  if (callback->Files.size() > 2) callback->Files[2] += "x";
  for (host::UInt32 i : script.missing) callback->Files.erase(i);
  callback->Faults = script.faults;
  callback->FailReadAt = script.failReadAt;
  callback->WantsCopy = script.wantsCopy;
#ifndef _WIN32
  long long tick = 1000;
  if (script.cancelAtReport) {
    standin::SetTickCount(tick);
    callback->OnRead = [&] { standin::SetTickCount(tick += 501); };
  }
#endif
  const HRESULT hr =
      QueryAs<host::IInArchive>(handler.Get())->Extract(nullptr, 0xFFFFFFFFu, 1, callback.Get());
#ifndef _WIN32
  standin::SetTickCount(-1);
#endif
  return {hr, "", callback->Calls, Results(callback->Calls), callback->Copied, callback->ForeignCalls};
}

// No other file is opened for reading while one's result is being told:
// between an entry's GetStream and its result, no GetStream2 but its own.
bool ResultsKeepTogether(const std::vector<std::string>& calls) {
  std::optional<std::string> open;
  for (const std::string& call : calls) {
    const std::size_t space = call.find(' ');
    const std::string method = call.substr(0, space);
    const std::string index = call.substr(space + 1, call.find(' ', space + 1) - space - 1);
    if (method == "GetStream2" && open && *open != index) return false;
    if (method == "GetStream") open = index;
    if (method == "Result") open.reset();
  }
  return true;
}

// Writing and testing the tree with 2 and 3 threads, each against 1: the
// same end; where the update succeeds, the same list and the same calls; the
// same results in the same order.
void ExpectAsOneAfterAnother(const Tree& tree, const Script& script = {}) {
  const Seen writtenAlone = Write(tree, 1, script), testedAlone = Check(tree, 1, script);
  for (unsigned threads : {2u, 3u}) {
    SCOPED_TRACE("threads " + std::to_string(threads));
    const Seen written = Write(tree, threads, script), tested = Check(tree, threads, script);
    EXPECT_EQ(written.hr, writtenAlone.hr);
    if (writtenAlone.hr == S_OK) {
      EXPECT_EQ(written.bytes, writtenAlone.bytes);
      EXPECT_EQ(written.calls, writtenAlone.calls);
    }
    EXPECT_EQ(tested.hr, testedAlone.hr);
    EXPECT_EQ(tested.results, testedAlone.results);
    EXPECT_TRUE(ResultsKeepTogether(tested.calls));
    EXPECT_EQ(written.foreign + tested.foreign, 0);
  }
}

TEST(SeveralFiles, ListsAndResultsAsOneFileAfterAnother) {
  fixture::Formats formats;
  for (const Tree& tree : kTrees) {
    SCOPED_TRACE(tree.what);
    ASSERT_EQ(Write(tree, 1).hr, S_OK);
    ASSERT_EQ(Check(tree, 1).hr, S_OK);
    ExpectAsOneAfterAnother(tree);
  }
}

TEST(SeveralFiles, FailuresEndOrSkipAsOneFileAfterAnother) {
  fixture::Formats formats;
  const Tree& tree = kTrees[2];
  const auto fault = [](const char* method, int index, HRESULT hr, std::size_t at = 0) {
    Script script;
    script.faults[method] = {index, hr};
    script.failReadAt = at;
    return script;
  };
  Script unopened = fault("GetStream", 5, S_FALSE);
  unopened.missing = {5};
  Script laterStream = fault("GetStream2", 7, E_OUTOFMEMORY);
  laterStream.faults["GetStream"] = {7, E_OUTOFMEMORY};
  const struct Case {
    const char* what;
    Script script;
  } cases[] = {
      {"a file that can't be read after its first MiB", fault("Read", 2, kBadSector, kMiB + 10)},
      {"a file that can't be read at all", fault("Read", 7, kBadSector)},
      {"a file that can't be opened", unopened},
      {"the host fails a result", fault("SetOperationResult", 4, E_FAIL)},
      {"the host fails a later stream", laterStream},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectAsOneAfterAnother(tree, c.script);
  }
}

TEST(SeveralFiles, AHostThatWantsTheDataGetsItInListOrder) {
  fixture::Formats formats;
  const Tree& tree = kTrees[2];
  Script script;
  script.wantsCopy = true;
  const Seen alone = Check(tree, 1, script), together = Check(tree, 3, script);
  EXPECT_EQ(together.hr, S_OK);
  EXPECT_EQ(together.results, alone.results);
  EXPECT_EQ(together.copied.size(), alone.copied.size());
  EXPECT_TRUE(together.copied == alone.copied);
  EXPECT_TRUE(ResultsKeepTogether(together.calls));
}

#ifndef _WIN32
TEST(SeveralFiles, ACancelEndsTheRunAndEveryThread) {
  fixture::Formats formats;
  const Tree& tree = kTrees[2];
  Script script;
  script.cancelAtReport = true;
  script.faults["SetCompleted"] = {3, E_ABORT};
  const Seen allResults = Check(tree, 1);
  for (unsigned threads : {1u, 3u}) {
    SCOPED_TRACE("threads " + std::to_string(threads));
    const Seen written = Write(tree, threads, script);
    EXPECT_EQ(written.hr, E_ABORT);
    EXPECT_EQ(written.foreign, 0);
    const Seen tested = Check(tree, threads, script);
    EXPECT_EQ(tested.hr, E_ABORT);
    // Whatever was told before the cancel is what one file after another
    // tells first.
    ASSERT_LE(tested.results.size(), allResults.results.size());
    EXPECT_TRUE(std::equal(tested.results.begin(), tested.results.end(), allResults.results.begin()));
    EXPECT_EQ(tested.foreign, 0);
    EXPECT_EQ(standin::OpenHashes(), 0);
  }
}
#endif

TEST(ThreadOption, AsSevenZipsOwnFormatsTakeIt) {
  const auto text = [](const WCHAR* t) { return fixture::Text(t); };
  const struct Case {
    const WCHAR* name;
    PROPVARIANT value;
    std::optional<unsigned> threads;  // on 6 processors; none: refused
  } cases[] = {
      {KW("mt"), Number(4), 4u},        {KW("MT"), text(KW("off")), 1u},
      {KW("mt"), text(KW("On")), 6u},   {KW("mt"), text(KW("12")), 12u},
      {KW("mt8"), PROPVARIANT{}, 8u},   {KW("mt"), PROPVARIANT{}, 6u},
      {KW("mt"), Number(0), 1u},        {KW("mt"), Number(100000), kMaxThreads},
      {KW("mt"), text(KW("many")), {}}, {KW("mt"), text(KW("")), {}},
      {KW("mtx"), PROPVARIANT{}, {}},   {KW("mt4"), Number(4), {}},
  };
  for (const Case& c : cases) {
    unsigned threads = 0;
    const bool parsed = ParseThreadOption(c.name, c.value, 6, threads);
    EXPECT_EQ(parsed, c.threads.has_value()) << testing_text::Utf8(c.name);
    if (parsed && c.threads) {
      EXPECT_EQ(threads, *c.threads) << testing_text::Utf8(c.name);
    }
  }
  // Through the handler: a count it can't read is refused.
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  EXPECT_EQ(fixture::SetProperties(handler.Get(), {{KW("mt"), Number(2)}}), S_OK);
  EXPECT_EQ(fixture::SetProperties(handler.Get(), {{KW("mt"), text(KW("many"))}}), E_INVALIDARG);
}

}  // namespace
