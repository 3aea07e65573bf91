// What a run of a hash-list format (a test of an open list, or an update)
// needs to know, built by the format's handler and handed down: the runs
// never ask the handler for anything.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "plugin/lists/runs/ItemHasher.h"
#include "plugin/lists/text/LineLayout.h"
#include "plugin/lists/text/ListDialect.h"

// The bytes around the lines that an update writes.
struct HashListEncoding {
  UINT CodePage = CP_ACP;
  std::string Preamble;
  WStr LineBreak;
};

struct RunDescription {
  // The line format, parsed once for the whole run.
  std::vector<LinePiece> Layout;
  // The algorithm's name, as %HASHNAME% stands for it.
  WStr HashName;
  // The size of the format's digests, where it is known without making a
  // hasher (a CryptoAPI format, or an open list); else 0.
  std::size_t DigestSize = 0;
  HashListEncoding Encoding;
  // How an update writes new and renamed lines: in the style of the open
  // list's first entry, unless the options name the line format; none: by
  // Layout.
  std::optional<LineStyle> Style;
  HasherSource Hashers;
  // Files hashed at once (the host's "mt" option); 1: one after another.
  unsigned Threads = 1;
};
