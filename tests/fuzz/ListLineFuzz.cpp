// Any text as one line of a hash list, in every dialect: the reader must not
// fail in any way, and an entry it finds must stand inside the line, with a
// digest of the right length, a name without blanks at its ends (where blanks
// separate), and read the same whatever the case of the digest's letters.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "plugin/lists/text/CodePageText.h"
#include "plugin/lists/text/LineLayout.h"
#include "plugin/lists/text/ListDialect.h"

namespace {

const WCHAR* const kLayouts[] = {KW("%HASH% *%FILENAME%"), KW("%FILENAME% %HASH%"),
                                 KW("%HASHNAME% (%FILENAME%) = %HASH%"), KW("%hash%%FILENAME%%HASHNAME%"),
                                 KW("[%FILENAME%]")};
const WCHAR* const kNames[] = {KW("MD5"), KW("CRC32"), KW("SHA-256"), KW("SHA-1"), KW("#")};
const std::size_t kDigestSizes[] = {2, 4, 16, 20, 32};

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsBlank(WCHAR c) { return c == KW(' ') || c == KW('\t'); }

bool IsHexDigit(WCHAR c) {
  return (c >= KW('0') && c <= KW('9')) || (c >= KW('a') && c <= KW('f')) || (c >= KW('A') && c <= KW('F'));
}

bool Inside(const LineSpan& span, std::size_t size) {
  return span.Start <= size && span.Length <= size - span.Start;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t digestSize = kDigestSizes[(data[0] / 8) % std::size(kDigestSizes)];
  const ListSyntax syntax = MakeListSyntax(ParseLineLayout(kLayouts[data[0] % std::size(kLayouts)]),
                                           kNames[data[1] % std::size(kNames)], digestSize);
  WStr line;
  const std::string bytes(reinterpret_cast<const char*>(data + 2), size - 2);
  if (!FromCodePage(CP_UTF8, bytes, line)) FromCodePage(CP_ACP, bytes, line);

  const ListLine read = ReadListLine(line, syntax);
  if (read.Kind != ListLineKind::Entry) return 0;
  Check(Inside(read.Name, line.size()) && Inside(read.Digest, line.size()) &&
        Inside(read.Separator, line.size()) && Inside(read.Tag, line.size()));
  Check(read.Digest.Length == 2 * digestSize);
  for (std::size_t i = 0; i < read.Digest.Length; ++i) Check(IsHexDigit(line[read.Digest.Start + i]));
  const bool nameless = read.Dialect == ListDialect::DigestOnly;
  Check(nameless == (read.Name.Length == 0));
  if (!nameless) {
    // Name and digest never overlap; a name that blanks separate from what
    // follows never ends in a blank (in a tag line, and in a line format
    // with text after the name, that text closes the name, blanks and all).
    Check(read.Name.Start + read.Name.Length <= read.Digest.Start ||
          read.Digest.Start + read.Digest.Length <= read.Name.Start);
    if (read.Dialect != ListDialect::BsdTag && read.Dialect != ListDialect::Own)
      Check(!IsBlank(line[read.Name.Start + read.Name.Length - 1]));
  }
  Check((read.Tag.Length != 0) == (read.Dialect == ListDialect::BsdTag));

  // The case of the digest's letters changes nothing but the case.
  WStr flipped = line;
  for (std::size_t i = 0; i < read.Digest.Length; ++i) {
    WCHAR& c = flipped[read.Digest.Start + i];
    if (c >= KW('a') && c <= KW('f')) {
      c = static_cast<WCHAR>(c - 0x20);
    } else if (c >= KW('A') && c <= KW('F')) {
      c = static_cast<WCHAR>(c + 0x20);
    }
  }
  const ListLine again = ReadListLine(flipped, syntax);
  Check(again.Kind == ListLineKind::Entry && again.Dialect == read.Dialect && again.Name == read.Name &&
        again.Digest == read.Digest);
  // The list's dialect, once known, reads the line as an entry too.
  Check(ReadListLine(line, syntax, read.Dialect).Kind == ListLineKind::Entry);
  return 0;
}
