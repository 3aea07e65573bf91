// Updating an open list: kept entries, re-added and new files, deletions, and
// the code page and line break the list keeps.
#include <gtest/gtest.h>

#include "tests/unit/support/FakeHost.h"
#include "tests/unit/support/FormatFixture.h"

using fixture::Text;

using fixture::Callback;

namespace {

constexpr char kAbcMd5[] = "900150983CD24FB0D6963F7D28E17F72";
constexpr char kEmptyMd5[] = "D41D8CD98F00B204E9800998ECF8427E";

// An item without new data: an entry of the list (its index goes to the
// callback's IndexInArchive); with newProps, under a new path.
fakes::Item Kept(const WCHAR* path, bool newProps = false) { return {path, "", false, 0, newProps ? 1 : 0}; }

TEST(HashListAdd, KeptLinesStayByteForByte) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  // Lower-case digits, UTF-8 with its mark, LF: none of it the writer's default.
  const std::string bom = "\xEF\xBB\xBF";
  const std::string a = std::string("900150983cd24fb0d6963f7d28e17f72") + " *caf\xC3\xA9";
  const std::string b = std::string(kEmptyMd5) + " *b";
  const std::string c = std::string(kAbcMd5) + " *c";
  ASSERT_EQ(fixture::OpenList(handler.Get(), KW("l.md5"), bom + a + "\n" + b + "\n" + c + "\n"), S_OK);
  ASSERT_EQ(fixture::SetProperties(handler.Get(), {}), S_OK);

  // Entry 1 deleted, entry 2 re-added with new data, entry 0 kept, d new,
  // entry 0 also renamed (kept digest, new path).
  auto callback =
      Callback({Kept(KW("caf\u00E9")), {KW("c"), "abd"}, {KW("d\\\u0436"), ""}, Kept(KW("e"), true)},
               {{0, 0}, {1, 2}, {3, 0}});
  const auto result = fixture::Update(handler.Get(), callback.Get());
  EXPECT_EQ(result.hr, S_OK);
  // In the list's order: each item at its entry's place (the renamed one
  // beside the kept one, the re-added one in place of the old line), the new
  // file after the last entry; new lines with the list's lower-case digits.
  EXPECT_EQ(result.bytes, bom + a + "\n" + "900150983cd24fb0d6963f7d28e17f72 *e\n" +
                              "4911e516e5aa21d327512e0c8b197616 *c\n" +  // of "abd"
                              "d41d8cd98f00b204e9800998ecf8427e *d\\\xD0\xB6\n");
  EXPECT_EQ(callback->Totals, std::vector<host::UInt64>{3});  // only what is read
  // Only the new items are opened and given a result; kept lines are not.
  EXPECT_EQ(callback->Calls,
            (std::vector<std::string>{"GetStream 1", "Result 0", "GetStream 2", "Result 0"}));
}

TEST(HashListAdd, OptionsRewriteTheWholeList) {
  fixture::Formats formats;
  const std::string ansi = std::string(kAbcMd5) + " *caf\xE9\r";  // ANSI, CR
  struct Case {
    std::vector<std::pair<WStr, PROPVARIANT>> props;
    std::string bytes;
  } cases[] = {
      {{}, ansi + kEmptyMd5 + " *n\r"},
      {{{KW("c"), Text(KW("UTF8"))}},
       "\xEF\xBB\xBF" + std::string(kAbcMd5) + " *caf\xC3\xA9\r" + kEmptyMd5 + " *n\r"},
      {{{KW("lb"), Text(KW("CRLF"))}}, std::string(kAbcMd5) + " *caf\xE9\r\n" + kEmptyMd5 + " *n\r\n"},
  };
  for (const auto& c : cases) {
    auto handler = fixture::Formats::Handler(0);
    ASSERT_EQ(fixture::OpenList(handler.Get(), KW("l.md5"), ansi), S_OK);
    ASSERT_EQ(fixture::SetProperties(handler.Get(), c.props), S_OK);
    auto callback = Callback({Kept(KW("caf\u00E9")), {KW("n"), ""}}, {{0, 0}});
    const auto result = fixture::Update(handler.Get(), callback.Get());
    EXPECT_EQ(result.hr, S_OK);
    EXPECT_EQ(result.bytes, c.bytes);
  }
}

TEST(HashListAdd, KeptItemsMustBeEntriesOfTheOpenList) {
  fixture::Formats formats;
  auto handler = fixture::Formats::Handler(0);
  ASSERT_EQ(fixture::SetProperties(handler.Get(), {{KW("c"), Text(KW("UTF8"))}}), S_OK);
  // No list open.
  auto none = Callback({Kept(KW("a"))}, {{0, 0}});
  auto result = fixture::Update(handler.Get(), none.Get());
  EXPECT_EQ(result.hr, E_INVALIDARG);
  EXPECT_EQ(result.bytes, "\xEF\xBB\xBF");
  // An index beyond the list.
  ASSERT_EQ(fixture::OpenList(handler.Get(), KW("l.md5"), std::string(kAbcMd5) + " *a\r\n"), S_OK);
  auto beyond = Callback({Kept(KW("a"))}, {{0, 1}});
  EXPECT_EQ(fixture::Update(handler.Get(), beyond.Get()).hr, E_INVALIDARG);
  // After Close the list is gone.
  QueryAs<host::IInArchive>(handler.Get())->Close();
  auto closed = Callback({Kept(KW("a"))}, {{0, 0}});
  EXPECT_EQ(fixture::Update(handler.Get(), closed.Get()).hr, E_INVALIDARG);
}

}  // namespace
