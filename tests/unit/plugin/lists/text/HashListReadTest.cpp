// Reading hash lists back: what a line of each layout, code page and line
// break gives, and what is no list.
#include <gtest/gtest.h>

#include "base/PropValue.h"
#include "plugin/lists/text/HashList.h"
#include "plugin/lists/text/LineLayout.h"
#include "tests/unit/support/FakeExtract.h"
#include "tests/unit/support/FakeHost.h"
#include "tests/unit/support/FormatFixture.h"
#include "tests/unit/support/Text.h"

using fixture::Number;
using fixture::Text;
using testing_text::Hex;
using testing_text::Utf8;

namespace {

constexpr char kDigest[] = "900150983CD24FB0D6963F7D28E17F72";  // 16 bytes

struct Read {
  bool ok = false;
  std::vector<std::string> entries;  // "path|digest"
  int codePage = -1, lineBreak = -1;
};

Read Parse(const std::string& bytes, const WCHAR* layout, std::size_t digestSize = 16) {
  const auto list = HashList::Parse(bytes, ParseLineLayout(layout), KW("MD5"), digestSize);
  Read r;
  if (!list) return r;
  r.ok = true;
  for (std::size_t i = 0; i < list->Count(); ++i)
    r.entries.push_back(Utf8(list->Path(i)) + "|" + Hex(list->Digest(i), list->DigestSize()));
  r.codePage = list->CodePageChoice() ? static_cast<int>(*list->CodePageChoice()) : -1;
  r.lineBreak = list->LineBreakChoice() ? static_cast<int>(*list->LineBreakChoice()) : -1;
  return r;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(HashListRead, EveryLayoutCodePageAndLineBreak) {
  struct Layout {
    const WCHAR* format;
    std::string (*line)(const std::string& path, const std::string& digest);
  } layouts[] = {
      {KW("%HASH% *%FILENAME%"), [](const std::string& p, const std::string& d) { return d + " *" + p; }},
      {KW("%FILENAME% %HASH%"), [](const std::string& p, const std::string& d) { return p + " " + d; }},
      {KW("%HASHNAME% (%FILENAME%) = %HASH%"),
       [](const std::string& p, const std::string& d) { return "MD5 (" + p + ") = " + d; }},
  };
  // Paths that hold the layouts' own text and their placeholders.
  const std::string paths[] = {"a b.txt", "d\\ *x) = y", "%HASH% *%FILENAME%", "MD5 (q", "c 0123"};
  struct Coding {
    std::string bom, name;  // name: one more path, in the code page
    int codePage;
  } codings[] = {
      {"", "plain", -1},                   // ASCII: either code page
      {"", "caf\xC3\xA9", 2},              // UTF-8 without BOM
      {"\xEF\xBB\xBF", "caf\xC3\xA9", 1},  // UTF-8 with BOM
      {"", "caf\xE9", 0},                  // ANSI (Windows-1252)
  };
  const std::pair<std::string, int> breaks[] = {{"\r\n", 0}, {"\r", 1}, {"\n\r", 2}, {"\n", 3}};
  for (const auto& layout : layouts) {
    for (const auto& coding : codings) {
      for (const auto& [lineBreak, breakChoice] : breaks) {
        for (const bool lastBreak : {true, false}) {
          std::string bytes = coding.bom;
          std::vector<std::string> expected;
          int n = 0;
          for (const std::string& path : paths) {
            // Digits in either case.
            const std::string digest = n++ % 2 ? Lower(kDigest) : kDigest;
            bytes += layout.line(path, digest) + lineBreak;
            expected.push_back(path + "|" + kDigest);
          }
          bytes += layout.line(coding.name, kDigest) + (lastBreak ? lineBreak : "");
          expected.push_back((coding.codePage == 0 ? "caf\xC3\xA9" : coding.name) + "|" + kDigest);
          const Read r = Parse(bytes, layout.format);
          const std::string what =
              Utf8(layout.format) + " " + coding.name + " break " + std::to_string(breakChoice);
          ASSERT_TRUE(r.ok) << what;
          EXPECT_EQ(r.entries, expected) << what;
          EXPECT_EQ(r.codePage, coding.codePage) << what;
          EXPECT_EQ(r.lineBreak, breakChoice) << what;
        }
      }
    }
  }
}

TEST(HashListRead, EmptyFilesAndEmptyLines) {
  const Read empty = Parse("", KW("%HASH% *%FILENAME%"));
  EXPECT_TRUE(empty.ok);
  EXPECT_TRUE(empty.entries.empty());
  EXPECT_EQ(empty.lineBreak, -1);
  EXPECT_TRUE(Parse("\xEF\xBB\xBF", KW("%HASH% *%FILENAME%")).ok);
  const Read blank = Parse("\r\n" + std::string(kDigest) + " *a\r\n\r\n", KW("%HASH% *%FILENAME%"));
  EXPECT_TRUE(blank.ok);
  EXPECT_EQ(blank.entries, std::vector<std::string>{std::string("a|") + kDigest});
}

TEST(HashListRead, WhatIsNoList) {
  const std::string d = kDigest;
  struct Case {
    std::string bytes;
    const WCHAR* layout;
    std::size_t digestSize;
  } cases[] = {
      {"hello world\n", KW("%HASH% *%FILENAME%"), 16},
      {d + " *a\n" + d + "0 *b\n", KW("%HASH% *%FILENAME%"), 16},  // one bad line is enough
      {d + " *a\n", KW("%HASH% *%FILENAME%"), 20},                 // a digest of another length
      {d + "00 *a\n", KW("%HASH% *%FILENAME%"), 16},
      {d.substr(2) + " *a\n", KW("%HASH% *%FILENAME%"), 16},
      {"a " + d + "0\n", KW("%FILENAME% %HASH%"), 16},
      {"a " + d.substr(0, 31) + "G\n", KW("%FILENAME% %HASH%"), 16},
      {d + " *\n", KW("%HASH% *%FILENAME%"), 16},  // no path
      {"SHA1 (a) = " + d + "\n", KW("%HASHNAME% (%FILENAME%) = %HASH%"), 16},
      {d + " *a\r\n" + d + " *b\n", KW("%HASH% *%FILENAME%"), 16},  // line breaks mixed
      {d + " *a" + std::string(1, '\0') + "\n", KW("%HASH% *%FILENAME%"), 16},
      {"\xEF\xBB\xBF" + d + " *caf\xE9\n", KW("%HASH% *%FILENAME%"), 16},  // not UTF-8 after the mark
      {d + " *a\n", KW("%HASH%"), 16},                                     // a layout without a path
      {d + " *a\n", KW("%FILENAME%"), 16},                                 // or without a digest
      {std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), KW("%HASH% *%FILENAME%"), 16},
  };
  for (const auto& c : cases) EXPECT_FALSE(Parse(c.bytes, c.layout, c.digestSize).ok) << c.bytes;
}

TEST(HashListRead, KeepsEachLineAsItWasRead) {
  const std::string line = Lower(kDigest) + " *caf\xE9";
  const auto list = HashList::Parse(line + "\n", ParseLineLayout(KW("%HASH% *%FILENAME%")), KW("MD5"), 16);
  ASSERT_TRUE(list);
  EXPECT_EQ(list->LineBytes(0), line);
  EXPECT_EQ(Utf8(list->LineText(0)), Lower(kDigest) + " *caf\xC3\xA9");
  EXPECT_EQ(list->CodePage(), static_cast<UINT>(CP_ACP));
}

TEST(HashListOpen, ReadsWhatTheWriterWrote) {
  fixture::Formats formats;
  const WCHAR* layouts[] = {KW("%HASH% *%FILENAME%"), KW("%FILENAME% %HASH%"),
                            KW("%HASHNAME% (%FILENAME%) = %HASH%"), KW("%hash%  %filename%")};
  const std::vector<fakes::Item> items = {{KW("d"), "", true},
                                          {KW("d\\a b.txt"), "abc"},
                                          {KW("%HASH%.txt"), ""},
                                          {KW("%HASHNAME% x"), "abc"},
                                          {KW("caf\u00E9 \u0436"), ""}};
  const std::vector<std::string> entries = {"d\\a b.txt|900150983CD24FB0D6963F7D28E17F72",
                                            "%HASH%.txt|D41D8CD98F00B204E9800998ECF8427E",
                                            "%HASHNAME% x|900150983CD24FB0D6963F7D28E17F72",
                                            "caf\xC3\xA9 \xD0\xB6|D41D8CD98F00B204E9800998ECF8427E"};
  for (const WCHAR* layout : layouts) {
    for (ULONG codePage : {1, 2}) {
      for (ULONG lineBreak : {0, 1, 2, 3}) {
        auto writer = fixture::Formats::Handler(0);
        ASSERT_EQ(fixture::SetProperties(
                      writer.Get(),
                      {{KW("f"), Text(layout)}, {KW("c"), Number(codePage)}, {KW("lb"), Number(lineBreak)}}),
                  S_OK);
        auto callback = ComPtr<fakes::UpdateCallback>::Adopt(
            NewInterface<fakes::UpdateCallback, fakes::UpdateCallback>(items));
        const auto written = fixture::Update(writer.Get(), callback.Get());
        ASSERT_EQ(written.hr, S_OK);
        // A new handler reads it with the same line format.
        auto reader = fixture::Formats::Handler(0);
        ASSERT_EQ(fixture::SetProperties(reader.Get(), {{KW("f"), Text(layout)}}), S_OK);
        ASSERT_EQ(fixture::OpenList(reader.Get(), KW("l.md5"), written.bytes), S_OK) << written.bytes;
        EXPECT_EQ(fixture::Entries(reader.Get()), entries) << written.bytes;
      }
    }
  }
}

TEST(HashListOpen, RefusesWhatIsNoListOfItsOwn) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(1);  // SHA-256
  const std::string sha256OfAbc = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";
  EXPECT_EQ(fixture::OpenList(handler.Get(), KW("l.sha256"), sha256OfAbc + " *a\r\n"), S_OK);
  // sha256sum's own lines are read; another algorithm's tag line is not.
  EXPECT_EQ(fixture::OpenList(handler.Get(), KW("l.sha256"), Lower(sha256OfAbc) + "  a\n"), S_OK);
  EXPECT_EQ(fixture::OpenList(handler.Get(), KW("l.sha256"), "SHA512 (a) = " + sha256OfAbc + "\n"), S_FALSE);
  EXPECT_EQ(fixture::OpenList(handler.Get(), KW("l.sha256"), std::string(kDigest) + " *a\r\n"), S_FALSE);
  host::UInt32 count = 9;
  QueryAs<host::IInArchive>(handler.Get())->GetNumberOfItems(&count);
  EXPECT_EQ(count, 0u);  // a refused file leaves nothing open

  // A file far larger than any list is not even read.
  auto archive = QueryAs<host::IInArchive>(handler.Get());
  auto big =
      ComPtr<fakes::MemoryInStream>::Adopt(NewInterface<fakes::MemoryInStream, fakes::MemoryInStream>(""));
  big->ReportedSize = HashList::kMaxFileSize + 1;
  auto callback = ComPtr<fakes::OpenCallback>::Adopt(
      NewInterface<fakes::OpenCallback, fakes::OpenCallback>(true, WStr(KW("big.sha256"))));
  EXPECT_EQ(archive->Open(big.Get(), nullptr, callback.Get()), S_FALSE);
  EXPECT_EQ(big->Reads, 0);
}

TEST(HashListOpen, EntriesAsTheHostReadsThem) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  ASSERT_EQ(fixture::OpenList(handler.Get(), KW("l.md5"), std::string(kDigest) + " *x\\y\r\n"), S_OK);
  auto archive = QueryAs<host::IInArchive>(handler.Get());
  PropValueHolder value;
  EXPECT_EQ(archive->GetProperty(1, host::kpidPath, value.Ptr()), E_INVALIDARG);
  EXPECT_EQ(value->vt, VT_EMPTY);
  host::UInt32 count = 0;
  PROPID id = 0;
  VARTYPE type = 0;
  BSTR name = nullptr;
  EXPECT_EQ(archive->GetNumberOfProperties(&count), S_OK);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(archive->GetPropertyInfo(0, &name, &id, &type), S_OK);
  EXPECT_EQ(id, host::kpidPath);
  auto raw = QueryAs<host::IArchiveGetRawProps>(handler.Get());
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->GetNumRawProps(&count), S_OK);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(raw->GetRawPropInfo(0, &name, &id), S_OK);
  EXPECT_EQ(id, host::kpidChecksum);
  host::UInt32 parent = 0, parentType = 9;
  EXPECT_EQ(raw->GetParent(0, &parent, &parentType), S_OK);
  EXPECT_EQ(parent, 0xFFFFFFFFu);
}

}  // namespace
