// A line format cut into its pieces: the text copied as it stands and the
// placeholders that a line fills in. Writing a line and reading one back both
// go by these pieces, so that a list is read exactly as it was written.
#pragma once

#include <vector>

#include "platform/Win32.h"

enum class LinePieceKind { Text, FileName, HashName, DigestUpper, DigestLower };

struct LinePiece {
  LinePieceKind Kind = LinePieceKind::Text;
  WStr Text;  // only for LinePieceKind::Text; never empty there
};

// The placeholders, each at its first occurrence: %FILENAME% (any letter
// case), then %HASHNAME% (any case) in the text around it, then the digest:
// %HASH% exactly (upper-case digits), else %hash% exactly (lower-case
// digits), else %HASH% in any case (upper-case digits). Each search looks
// only at the format's own text, never into what another placeholder stands
// for.
std::vector<LinePiece> ParseLineLayout(const WStr& lineFormat);
