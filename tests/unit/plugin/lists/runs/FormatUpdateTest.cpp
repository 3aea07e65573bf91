// Hash-list files as the handler writes them from the host's items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypt/HashAlgInfo.h"
#include "plugin/Exports.h"
#include "tests/unit/support/Fakes.h"
#include "tests/unit/support/FormatFixture.h"
#include "tests/unit/support/ProviderRefusals.h"
#include "tests/unit/support/Text.h"
#ifndef _WIN32
#include "platform/linux/TestControl.h"
#endif

using fixture::Number;
using fixture::Text;

using fixture::Callback;

namespace {

constexpr char kAbcMd5[] = "900150983CD24FB0D6963F7D28E17F72";
constexpr char kEmptyMd5[] = "D41D8CD98F00B204E9800998ECF8427E";

std::vector<fakes::Item> Tree() {
  return {{KW("docs"), "", true}, {KW("docs\\a.txt"), "abc"}, {KW("e"), ""}};
}

TEST(HashListFile, CodePagesAndLineBreaksGiveTheirBytes) {
  fixture::Formats formats;
  struct Case {
    std::vector<std::pair<WStr, PROPVARIANT>> props;
    std::string preamble, lineBreak;
  } cases[] = {
      {{}, "", "\r\n"},
      {{{KW("c"), Text(KW("UTF8"))}}, "\xEF\xBB\xBF", "\r\n"},
      {{{KW("c"), Text(KW("utf8-"))}, {KW("lb"), Text(KW("LF"))}}, "", "\n"},
      {{{KW("c"), Number(0)}, {KW("lb"), Number(1)}}, "", "\r"},
      {{{KW("lb"), Text(KW("lfcr"))}}, "", "\n\r"},
      {{{KW("lb"), Number(7)}}, "", "\r\n"},
  };
  for (const auto& c : cases) {
    auto handler = fixture::Formats::Handler(0);
    ASSERT_EQ(fixture::SetProperties(handler.Get(), c.props), S_OK);
    auto callback = Callback(Tree());
    const auto result = fixture::Update(handler.Get(), callback.Get());
    EXPECT_EQ(result.hr, S_OK);
    EXPECT_EQ(result.bytes,
              c.preamble + kAbcMd5 + " *docs\\a.txt" + c.lineBreak + kEmptyMd5 + " *e" + c.lineBreak);
  }
}

TEST(HashListFile, LineLayouts) {
  fixture::Formats formats;
  struct Case {
    const WCHAR* format;
    std::string line;
  } cases[] = {
      {KW("%FILENAME% %HASH%"), std::string("docs\\a.txt ") + kAbcMd5},
      {KW("%HASH% *%FILENAME%"), std::string(kAbcMd5) + " *docs\\a.txt"},
      {KW("%HASHNAME% (%FILENAME%) = %HASH%"), std::string("MD5 (docs\\a.txt) = ") + kAbcMd5},
      {KW("%hash%_%filename%"), std::string(kAbcMd5) + " docs\\a.txt"},  // stored upper-cased
      {KW("[%FILENAME%|%FILENAME%]"), "[docs\\a.txt|%FILENAME%]"},
      {KW("no placeholders"), "NO PLACEHOLDERS"},
      {KW(""), ""},
  };
  for (const auto& c : cases) {
    auto handler = fixture::Formats::Handler(0);
    ASSERT_EQ(fixture::SetProperties(handler.Get(), {{KW("f"), Text(c.format)}}), S_OK);
    auto callback = Callback({{KW("docs\\a.txt"), "abc"}});
    const auto result = fixture::Update(handler.Get(), callback.Get());
    EXPECT_EQ(result.hr, S_OK);
    EXPECT_EQ(result.bytes, c.line + "\r\n");
  }
}

TEST(HashListFile, ANameThatWouldReadBackAsACommentEndsTheUpdate) {
  fixture::Formats formats;
  // In a name-first list a line that begins with ";" is a comment to every
  // reader, so its file would never be checked: no such list is written.
  // Nor one that reads back as another entry: a name that is a digest and
  // "=" reads as a digest-first line of another name.
  for (const WCHAR* name : {KW(";b.txt"), KW("900150983cd24fb0d6963f7d28e17f72  =")}) {
    auto handler = fixture::Formats::Handler(0);
    ASSERT_EQ(fixture::SetProperties(handler.Get(), {{KW("f"), Text(KW("%FILENAME% %HASH%"))}}), S_OK);
    auto callback = Callback({{KW("a.txt"), "abc"}, {name, "abc"}});
    const auto result = fixture::Update(handler.Get(), callback.Get());
    EXPECT_EQ(result.hr, static_cast<HRESULT>(0x8007007B)) << testing_text::Utf8(name);
  }
  // The same name is harmless where the digest comes first.
  auto digestFirst = fixture::Formats::Handler(0);
  auto again = Callback({{KW(";b.txt"), "abc"}});
  const auto written = fixture::Update(digestFirst.Get(), again.Get());
  EXPECT_EQ(written.hr, S_OK);
  EXPECT_EQ(written.bytes, std::string(kAbcMd5) + " *;b.txt\r\n");
}

TEST(HashListFile, UpperCasedPathWhenTheFormatNamesTheFileTwice) {
  // The first %FILENAME% is replaced by the path as the host gave it.
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  ASSERT_EQ(fixture::SetProperties(handler.Get(), {{KW("f"), Text(KW("%FILENAME%:%FILENAME%"))}}), S_OK);
  auto callback = Callback({{KW("Dir\\MiXed.txt"), "abc"}});
  EXPECT_EQ(fixture::Update(handler.Get(), callback.Get()).bytes, "Dir\\MiXed.txt:%FILENAME%\r\n");
}

TEST(HashListFile, Utf8NamesOutsideAscii) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  ASSERT_EQ(fixture::SetProperties(handler.Get(), {{KW("c"), Number(2)}}), S_OK);
  // é, a CJK character and a character outside the BMP (a surrogate pair).
  auto callback = Callback({{WStr(KW("\u00E9\u4E2D")) + WCHAR(0xD83D) + WCHAR(0xDE00), "abc"}});
  EXPECT_EQ(fixture::Update(handler.Get(), callback.Get()).bytes,
            std::string(kAbcMd5) + " *\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\r\n");
}

TEST(HashListFile, AnsiNamesUseTheSystemCodePage) {
  if (!testing_text::AnsiIsWindows1252()) GTEST_SKIP() << "the ANSI code page here is not Windows-1252";
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  auto callback = Callback({{KW("\u00E9\u20AC"), "abc"}});
  // Windows-1252: é is E9, € is 80 (a name it can't hold: CodePageNames).
  EXPECT_EQ(fixture::Update(handler.Get(), callback.Get()).bytes, std::string(kAbcMd5) + " *\xE9\x80\r\n");
}

TEST(HashListFile, LargeFileAcrossReadsAndProgressTotals) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(1);  // SHA-256
  auto callback = Callback({{KW("big"), std::string(3000000, 'a')}, {KW("abc"), "abc"}, {KW("empty"), ""}});
  callback->MaxPerRead = 700000;  // the host may give less than was asked
  const auto result = fixture::Update(handler.Get(), callback.Get());
  EXPECT_EQ(result.hr, S_OK);
  EXPECT_EQ(result.bytes,
            "2A152C894398719C0570F83FAC34AC03A0F6E8E474B995C2403AA5434F7B9DD4 *big\r\n"
            "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD *abc\r\n"
            "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855 *empty\r\n");
  EXPECT_EQ(callback->Totals, std::vector<host::UInt64>{3000003});
  ASSERT_FALSE(callback->Completed.empty());
  EXPECT_EQ(callback->Completed.back(), 3000003u);
  EXPECT_EQ(callback->Calls, (std::vector<std::string>{"GetStream 0", "Result 0", "GetStream 1", "Result 0",
                                                       "GetStream 2", "Result 0"}));
}

// The host learns of every new item as it does from 7-Zip's own hash lists:
// the item's stream asked for (folders too: the host shows and counts them
// then), and its result once its line is made.
TEST(HashListFile, TellsTheHostOfEveryNewItemFoldersToo) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  auto callback = Callback(Tree());
  const auto result = fixture::Update(handler.Get(), callback.Get());
  EXPECT_EQ(result.hr, S_OK);
  EXPECT_EQ(result.bytes, std::string(kAbcMd5) + " *docs\\a.txt\r\n" + kEmptyMd5 + " *e\r\n");
  EXPECT_EQ(callback->Calls, (std::vector<std::string>{"GetStream 0", "Result 0", "GetStream 1", "Result 0",
                                                       "GetStream 2", "Result 0"}));
}

#ifndef _WIN32
// A provider that can't compute the digest: the update ends with the
// provider's error before the file's line, with no result for that file, so
// the host reports the update as failed and keeps no list.
TEST(HashListFile, ADigestThatCantBeComputedEndsTheUpdateWithTheProvidersError) {
  const THashAlgInfo& md5 = BuiltinHashAlgs()[BuiltinMd5Row];
  for (const fixture::ProviderRefusal& c : fixture::ProviderRefusals()) {
    fixture::Formats formats;
    auto handler = fixture::Formats::Handler(0);  // MD5
    c.Refuse(md5);
    auto callback = Callback(Tree());
    const auto result = fixture::Update(handler.Get(), callback.Get());
    EXPECT_EQ(result.hr, c.Expected);
    EXPECT_EQ(result.bytes, "");
    EXPECT_EQ(callback->Calls, (std::vector<std::string>{"GetStream 0", "Result 0", "GetStream 1"}));
    standin::Reset();
  }
}
#endif

TEST(HashListFile, NothingToDo) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  ASSERT_EQ(fixture::SetProperties(handler.Get(), {{KW("c"), Text(KW("UTF8"))}}), S_OK);
  auto none = Callback({});
  none->Faults["SetCompleted"] = {-1, static_cast<HRESULT>(0x80070070u)};
  auto result = fixture::Update(handler.Get(), none.Get());
  EXPECT_EQ(result.hr, static_cast<HRESULT>(0x80070070u));  // what SetCompleted(0) said
  EXPECT_EQ(result.bytes, "");
  EXPECT_TRUE(none->Totals.empty());
  EXPECT_EQ(none->Completed, std::vector<host::UInt64>{0});

  auto dirs = Callback({{KW("a"), "", true}, {KW("b"), "", true}});
  result = fixture::Update(handler.Get(), dirs.Get());
  EXPECT_EQ(result.hr, S_OK);
  EXPECT_EQ(result.bytes, "\xEF\xBB\xBF");
  EXPECT_EQ(dirs->Totals, std::vector<host::UInt64>{0});
}

TEST(HashListFile, HostFaultsEndTheUpdateWithTheirResult) {
  fixture::Formats formats;
  const HRESULT kDisk = static_cast<HRESULT>(0x80070070u);
  const std::string line0 = std::string(kAbcMd5) + " *a\r\n";
  struct Case {
    const char* method;
    int index;
    HRESULT hr;
    std::string written;
  } cases[] = {
      {"GetUpdateItemInfo", 1, kDisk, ""},
      {"GetProperty", 0, E_ABORT, ""},
      {"SetTotal", -1, S_FALSE, ""},
      {"GetStream", 1, kDisk, line0},
      {"Read", 1, E_ABORT, line0},
      {"Read", 0, S_FALSE, ""},
      {"SetCompleted", -1, E_ABORT, line0 + kAbcMd5 + " *b\r\n"},  // the final report
  };
  for (const auto& c : cases) {
    auto handler = fixture::Formats::Handler(0);
    auto callback = Callback({{KW("a"), "abc"}, {KW("b"), "abc"}});
    callback->Faults[c.method] = {c.index, c.hr};
    const auto result = fixture::Update(handler.Get(), callback.Get());
    EXPECT_EQ(result.hr, c.hr) << c.method;
    EXPECT_EQ(result.bytes, c.written) << c.method;
  }
}

TEST(HashListFile, ItemsMustBeWellTyped) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  // New data replacing an entry of a list is hashed like any new file.
  auto replaced = Callback({{KW("d"), "", true}, {KW("a"), "abc"}});
  replaced->IndexInArchive[1] = 5;
  EXPECT_EQ(fixture::Update(handler.Get(), replaced.Get()).bytes, std::string(kAbcMd5) + " *a\r\n");

  const std::pair<PROPID, VARTYPE> wrong[] = {
      {host::kpidIsDir, VT_UI4}, {host::kpidSize, VT_UI4}, {host::kpidPath, VT_EMPTY}};
  for (const auto& [prop, kind] : wrong) {
    auto callback = Callback({{KW("a"), "abc"}});
    callback->WrongKind[{0, prop}] = kind;
    EXPECT_EQ(fixture::Update(handler.Get(), callback.Get()).hr, E_INVALIDARG) << prop;
  }
}

TEST(HashListFile, MissingStreamFails) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  auto callback = Callback({{KW("a"), "abc"}});
  callback->NullStream[0] = true;
  EXPECT_EQ(fixture::Update(handler.Get(), callback.Get()).hr, E_FAIL);
}

TEST(HashListFile, UnopenableFileEndsTheUpdate) {
  // The host gives S_FALSE for a file it could not open.
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  auto callback = Callback({{KW("a"), "abc"}, {KW("b"), "abc"}, {KW("locked"), "abc"}, {KW("d"), ""}});
  callback->Faults["GetStream"] = {2, S_FALSE};
  const auto result = fixture::Update(handler.Get(), callback.Get());
  EXPECT_EQ(result.hr, S_FALSE);
  EXPECT_EQ(result.bytes, std::string(kAbcMd5) + " *a\r\n" + kAbcMd5 + " *b\r\n");
  EXPECT_TRUE(callback->Completed.empty());  // no final report
}

TEST(HashListFile, OutputStreamFaults) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  ASSERT_EQ(fixture::SetProperties(handler.Get(), {{KW("c"), Text(KW("UTF8"))}}), S_OK);
  struct Case {
    host::UInt32 maxPerWrite, extra;
    int failAt;
    HRESULT expected;
  } cases[] = {
      {2, 0, 0, S_OK},      // a few bytes per Write still writes everything
      {0, 0, 0, S_FALSE},   // accepts nothing
      {100, 1, 0, E_FAIL},  // reports more than it was given
      {100, 0, 2, static_cast<HRESULT>(0x80070070u)},
  };
  for (const auto& c : cases) {
    auto out = ComPtr<fakes::OutStream>::Adopt(NewInterface<fakes::OutStream, fakes::OutStream>());
    out->MaxPerWrite = c.maxPerWrite;
    out->ExtraReported = c.extra;
    out->FailAtCall = c.failAt;
    out->FailWith = c.expected;
    auto callback = Callback({{KW("a"), "abc"}});
    EXPECT_EQ(handler->UpdateItems(out.Get(), 1, callback.Get()), c.expected);
    if (c.expected == S_OK) {
      EXPECT_EQ(out->Bytes, std::string("\xEF\xBB\xBF") + kAbcMd5 + " *a\r\n");
    } else {
      EXPECT_TRUE(callback->Completed.empty());
    }
  }
}

}  // namespace
