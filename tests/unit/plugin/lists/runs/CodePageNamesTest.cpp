// Names that a list's code page can't hold: a new list, a line added to a
// kept list in that list's code page, and a renamed line each end the update
// with "no mapping for the Unicode character" rather than write a "?" or a
// look-alike, which would name another file or none. A name that fits reads
// back from the list exactly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/PropValue.h"
#include "plugin/lists/text/CodePageText.h"
#include "tests/unit/support/FakeHost.h"
#include "tests/unit/support/FormatFixture.h"
#include "tests/unit/support/Text.h"

using fixture::Text;

using fixture::Callback;

namespace {

constexpr char kAbcMd5[] = "900150983CD24FB0D6963F7D28E17F72";

std::vector<WStr> Paths(host::IOutArchive* handler) {
  auto archive = QueryAs<host::IInArchive>(handler);
  host::UInt32 count = 0;
  archive->GetNumberOfItems(&count);
  std::vector<WStr> paths;
  for (host::UInt32 i = 0; i < count; ++i) {
    PropValueHolder path;
    archive->GetProperty(i, host::kpidPath, path.Ptr());
    paths.push_back(path->vt == VT_BSTR ? WStr(path->bstrVal) : WStr(KW("(no path)")));
  }
  return paths;
}

enum class Operation { NewList, AddToKeptList, Rename };

TEST(CodePageNames, ANameTheCodePageCantHoldEndsTheUpdate) {
  if (!testing_text::AnsiIsWindows1252()) GTEST_SKIP() << "the ANSI code page here is not Windows-1252";
  const WCHAR lone[] = {'a', 0xD800, '.', 't', 'x', 't', 0};  // NTFS holds unpaired surrogates
  const struct Name {
    WStr name;
    bool fitsAnsi, fitsUtf8;
  } names[] = {
      {KW("\u00C4rger.txt"), true, true},            // Ärger: in Windows-1252
      {KW("\u65E5\u672C.txt"), false, true},         // 日本
      {KW("\U0001F600.txt"), false, true},           // an emoji: in no ANSI code page
      {KW("\u0141\u00F3d\u017A.txt"), false, true},  // Łódź, which best fit makes "Lódz"
      {KW("\u0151.txt"), false, true},               // ő, best fit "o"
      {KW("a\uFF3Cb.txt"), false, true},             // fullwidth reverse solidus, best fit "\"
      {lone, false, false},
  };
  // The code page as an option, and a kept list in that code page (its
  // first line tells which, by a name outside ASCII).
  const struct CodePage {
    const WCHAR* option;
    std::string keptList;
    bool utf8;
  } codePages[] = {
      {KW("ANSI"), std::string(kAbcMd5) + " *caf\xE9\r\n", false},
      {KW("UTF8"), "\xEF\xBB\xBF" + std::string(kAbcMd5) + " *caf\xC3\xA9\r\n", true},
      {KW("UTF8-"), std::string(kAbcMd5) + " *caf\xC3\xA9\r\n", true},
  };
  const WStr cafe = KW("caf\u00E9");
  fixture::Formats formats;
  for (const Name& n : names) {
    for (const CodePage& cp : codePages) {
      for (const Operation op : {Operation::NewList, Operation::AddToKeptList, Operation::Rename}) {
        const std::string what = testing_text::Hex(n.name.data(), 2 * n.name.size()) + " " +
                                 testing_text::Utf8(cp.option) + " " + std::to_string(static_cast<int>(op));
        const bool fits = cp.utf8 ? n.fitsUtf8 : n.fitsAnsi;
        auto handler = fixture::Formats::Handler(0);
        ComPtr<fakes::UpdateCallback> callback;
        std::vector<WStr> expected;
        if (op == Operation::NewList) {
          ASSERT_EQ(fixture::SetProperties(handler.Get(), {{KW("c"), Text(cp.option)}}), S_OK);
          callback = Callback({{KW("plain.txt"), "abc"}, {n.name, "abc"}}, {});
          expected = {KW("plain.txt"), n.name};
        } else {
          // No option: the list keeps its own code page.
          ASSERT_EQ(fixture::OpenList(handler.Get(), KW("l.md5"), cp.keptList), S_OK) << what;
          ASSERT_EQ(fixture::SetProperties(handler.Get(), {}), S_OK);
          if (op == Operation::AddToKeptList) {
            callback = Callback({{cafe, "", false, 0, 0}, {n.name, "abc"}}, {{0, 0}});
            expected = {cafe, n.name};
          } else {
            callback = Callback({{n.name, "", false, 0, 1}}, {{0, 0}});
            expected = {n.name};
          }
        }
        const auto result = fixture::Update(handler.Get(), callback.Get());
        if (!fits) {
          EXPECT_EQ(result.hr, kNoUnicodeTranslation) << what;
          // The host discards what was written; nothing of the name got there.
          EXPECT_EQ(result.bytes.find('?'), std::string::npos) << what;
          EXPECT_EQ(result.bytes.find("\xEF\xBF\xBD"), std::string::npos) << what;
          continue;
        }
        ASSERT_EQ(result.hr, S_OK) << what;
        auto reader = fixture::Formats::Handler(0);
        ASSERT_EQ(fixture::OpenList(reader.Get(), KW("l.md5"), result.bytes), S_OK) << what;
        EXPECT_EQ(Paths(reader.Get()), expected) << what;
      }
    }
  }
}

TEST(CodePageNames, AnExplicitCodePageMustHoldTheKeptLinesToo) {
  fixture::Formats formats;
  // A UTF-8 list with a comment and a name outside every ANSI code page:
  // rewriting it in ANSI would turn both into "?".
  const std::string list = "; \xE6\x97\xA5\xE6\x9C\xAC\r\n" + std::string(kAbcMd5) + " *\xE6\x97\xA5.txt\r\n";
  for (const bool keepEntry : {true, false}) {
    auto handler = fixture::Formats::Handler(0);
    ASSERT_EQ(fixture::OpenList(handler.Get(), KW("l.md5"), list), S_OK);
    ASSERT_EQ(fixture::SetProperties(handler.Get(), {{KW("c"), Text(KW("ANSI"))}}), S_OK);
    // Kept, the entry's line can't be rewritten; deleted, the comment can't.
    auto callback = keepEntry ? Callback({{KW("\u65E5.txt"), "", false, 0, 0}}, {{0, 0}})
                              : Callback({{KW("new.txt"), "abc"}}, {});
    EXPECT_EQ(fixture::Update(handler.Get(), callback.Get()).hr, kNoUnicodeTranslation) << keepEntry;
  }
  // In UTF-8 without its mark the same list is rewritten as it was.
  auto handler = fixture::Formats::Handler(0);
  ASSERT_EQ(fixture::OpenList(handler.Get(), KW("l.md5"), list), S_OK);
  ASSERT_EQ(fixture::SetProperties(handler.Get(), {{KW("c"), Text(KW("UTF8-"))}}), S_OK);
  auto callback = Callback({{KW("\u65E5.txt"), "", false, 0, 0}}, {{0, 0}});
  const auto result = fixture::Update(handler.Get(), callback.Get());
  EXPECT_EQ(result.hr, S_OK);
  EXPECT_EQ(result.bytes, list);
}

}  // namespace
