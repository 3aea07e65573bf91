// Any bytes as a hash list: the parser must not fail in any way, and what it
// accepts must come back: its lines, entries and others in their order, give
// back the file byte for byte, and a line written for an entry in the list's
// own style reads back as the same path and digest.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "plugin/lists/text/CodePageText.h"
#include "plugin/lists/text/HashList.h"
#include "plugin/lists/text/LineComposer.h"
#include "plugin/lists/text/LineLayout.h"
#include "plugin/lists/text/ListDialect.h"

namespace {

const WCHAR* const kLayouts[] = {KW("%HASH% *%FILENAME%"), KW("%FILENAME% %HASH%"),
                                 KW("%HASHNAME% (%FILENAME%) = %HASH%"), KW("%hash%%FILENAME%%HASHNAME%"),
                                 KW("[%FILENAME%]")};
const std::size_t kDigestSizes[] = {2, 4, 16, 20, 32};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const WStr format = kLayouts[data[0] % std::size(kLayouts)];
  const std::size_t digestSize = kDigestSizes[(data[0] / 8) % std::size(kDigestSizes)];
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const auto layout = ParseLineLayout(format);
  const auto list = HashList::Parse(bytes, layout, KW("MD5"), digestSize);
  if (!list) return 0;
  Check(list->DigestSize() == digestSize);

  // Every line in its place, joined by the list's line break.
  const UINT codePage = list->CodePage();
  std::string lineBreak;
  Check(ToCodePage(codePage,
                   list->LineBreakChoice() == 0   ? WStr(KW("\r\n"))
                   : list->LineBreakChoice() == 1 ? WStr(KW("\r"))
                   : list->LineBreakChoice() == 2 ? WStr(KW("\n\r"))
                                                  : WStr(KW("\n")),
                   lineBreak) == S_OK);
  std::string joined;
  std::size_t other = 0;
  for (std::size_t i = 0; i <= list->Count(); ++i) {
    for (; other < list->OthersBefore(i); ++other) joined.append(list->OtherBytes(other)).append(lineBreak);
    if (i < list->Count()) joined.append(list->LineBytes(i)).append(lineBreak);
  }
  const std::size_t bom = codePage == kCodePageUtf16Le ? 2 : bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  const std::string body = bytes.substr(bom);
  Check(joined == body || joined == body + lineBreak);

  // A new line in the list's style, after the list's first entry (whose
  // dialect the reader then prefers), reads back the same.
  if (!list->Style()) return 0;
  for (std::size_t i = 0; i < list->Count(); ++i) {
    const WStr path = list->Path(i);
    if (path.empty()) continue;  // a digest alone names nothing to write
    const WStr line = ComposeInStyle(*list->Style(), layout, path, KW("MD5"), list->Digest(i), digestSize);
    // A line that on its own reads as no entry, or as another one, is
    // refused by the update (in a name-first list, a name ending in "="
    // reads as a tag line).
    if (!ReadsBackAs(line, MakeListSyntax(layout, KW("MD5"), digestSize), path, list->Digest(i), digestSize))
      continue;
    // In UTF-16LE, which holds any text the list can.
    WStr text;
    FromCodePage(codePage, list->LineBytes(0), text);
    text.append(KW("\n")).append(line);
    const auto again =
        HashList::Parse(std::string("\xFF\xFE") + ToUtf16Le(text), layout, KW("MD5"), digestSize);
    Check(again && again->Count() == 2 && again->Path(1) == path &&
          std::equal(again->Digest(1), again->Digest(1) + digestSize, list->Digest(i)));
    // In any code page an update may write (the list's own, or another one
    // that -mc names), the line is written only where it comes back
    // exactly: never a "?", a look-alike or U+FFFD in its place.
    for (const UINT target : {codePage, UINT{CP_ACP}, UINT{CP_UTF8}}) {
      std::string written;
      const HRESULT converted = ToCodePage(target, line, written);
      Check(converted == S_OK || converted == kNoUnicodeTranslation);
      WStr back;
      Check(converted != S_OK || (FromCodePage(target, written, back) && back == line));
    }
  }
  return 0;
}
