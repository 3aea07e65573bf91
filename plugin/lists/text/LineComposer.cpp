#include "plugin/lists/text/LineComposer.h"

#include "plugin/lists/text/DigestText.h"

WStr ComposeLine(const std::vector<LinePiece>& layout, const WStr& path, const WStr& hashName,
                 const BYTE* digest, std::size_t size) {
  WStr line;
  for (const LinePiece& piece : layout) {
    switch (piece.Kind) {
      case LinePieceKind::Text: line += piece.Text; break;
      case LinePieceKind::FileName: line += path; break;
      case LinePieceKind::HashName: line += hashName; break;
      case LinePieceKind::DigestUpper: line += BytesToHex(digest, size, true); break;
      case LinePieceKind::DigestLower: line += BytesToHex(digest, size, false); break;
    }
  }
  return line;
}
