#include "plugin/lists/text/LineLayout.h"

#include "base/LocaleText.h"

namespace {

// Cuts the first text piece that holds placeholder at its first occurrence
// and puts a piece of kind there.
bool CutAtFirst(std::vector<LinePiece>& pieces, const WStr& placeholder, bool ignoreCase,
                LinePieceKind kind) {
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (pieces[i].Kind != LinePieceKind::Text) continue;
    const WStr text = pieces[i].Text;
    const auto at = (ignoreCase ? UpperCased(text) : text).find(placeholder);
    if (at == WStr::npos) continue;
    std::vector<LinePiece> cut;
    if (at > 0) cut.push_back({LinePieceKind::Text, text.substr(0, at)});
    cut.push_back({kind, {}});
    if (at + placeholder.size() < text.size())
      cut.push_back({LinePieceKind::Text, text.substr(at + placeholder.size())});
    pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(i));
    pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(i), cut.begin(), cut.end());
    return true;
  }
  return false;
}

}  // namespace

std::vector<LinePiece> ParseLineLayout(const WStr& lineFormat) {
  std::vector<LinePiece> pieces;
  if (!lineFormat.empty()) pieces.push_back({LinePieceKind::Text, lineFormat});
  CutAtFirst(pieces, KW("%FILENAME%"), true, LinePieceKind::FileName);
  CutAtFirst(pieces, KW("%HASHNAME%"), true, LinePieceKind::HashName);
  if (!CutAtFirst(pieces, KW("%HASH%"), false, LinePieceKind::DigestUpper) &&
      !CutAtFirst(pieces, KW("%hash%"), false, LinePieceKind::DigestLower))
    CutAtFirst(pieces, KW("%HASH%"), true, LinePieceKind::DigestUpper);
  return pieces;
}
