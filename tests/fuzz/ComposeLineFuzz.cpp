// Any line format and path: composing a line must not fail in any way, and a
// line of a format with a path and a digest must read back to that path and
// digest.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "plugin/lists/text/CodePageText.h"
#include "plugin/lists/text/HashList.h"
#include "plugin/lists/text/LineComposer.h"
#include "plugin/lists/text/LineLayout.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// UTF-16 units from pairs of bytes; surrogates and control characters are
// left out, which no list line holds.
WStr Units(const std::uint8_t* data, std::size_t size) {
  WStr text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const auto c = static_cast<WCHAR>(data[i] | (data[i + 1] << 8));
    if (c >= 0x20 && (c < 0xD800 || c > 0xDFFF)) text.push_back(c);
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte splits the rest into the format and the path.
  if (size < 1) return 0;
  const std::size_t cut = std::min<std::size_t>(size - 1, 2 * std::size_t{data[0]});
  const WStr format = Units(data + 1, cut);
  const WStr path = Units(data + 1 + cut, size - 1 - cut);
  const BYTE digest[4] = {0x12, 0xAB, 0x00, 0xFF};
  const WStr line = ComposeLine(ParseLineLayout(format), path, KW("SHA-256"), digest, sizeof digest);

  bool hasPath = false, hasDigest = false;
  for (const LinePiece& piece : ParseLineLayout(format)) {
    hasPath |= piece.Kind == LinePieceKind::FileName;
    hasDigest |= piece.Kind == LinePieceKind::DigestUpper || piece.Kind == LinePieceKind::DigestLower;
  }
  if (!hasPath || !hasDigest || path.empty()) return 0;
  // The reader takes blanks at a name's ends for separators and shows "/"
  // as "\\": such a path reads back otherwise, by design.
  const auto blank = [](WCHAR c) { return c == KW(' ') || c == KW('\t'); };
  if (blank(path.front()) || blank(path.back()) || path.find(KW('/')) != WStr::npos) return 0;
  // A file that begins with U+FEFF begins with the byte-order mark; a line
  // that begins with ";" is a comment in every list; a name that ends in "="
  // before the digest's blanks makes a tag line, not a name.
  if (line.front() == 0xFEFF || line.front() == KW(';') || path.back() == KW('=')) return 0;
  // Without surrogates every line converts to UTF-8.
  std::string bytes;
  Check(ToCodePage(CP_UTF8, line, bytes) == S_OK);
  const auto list = HashList::Parse(bytes, ParseLineLayout(format), KW("SHA-256"), 4);
  Check(list != nullptr);
  Check(list->Count() == 1);
  Check(list->Path(0) == path);
  Check(std::memcmp(list->Digest(0), digest, sizeof digest) == 0);
  return 0;
}
