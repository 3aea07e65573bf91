// A hash list read back: the entries of a file written in a format's own
// line layout, with what is needed to check them and to write them again.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/lists/LineLayout.h"

class HashList {
 public:
  // Larger files are no list of ours; they are refused before being read.
  static constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 30;

  // The list in bytes, or null when they are not a list of this layout:
  // every non-empty line must be the layout with a path in place of
  // %FILENAME%, exactly 2 * digestSize hexadecimal digits (either case) in
  // place of the digest and hashName in place of %HASHNAME%.
  //
  // The code page: a file that begins with the UTF-8 byte-order mark is UTF-8
  // (a malformed sequence after it refuses the file); a file that is valid
  // UTF-8 throughout is UTF-8; any other is in the ANSI code page. A file of
  // ASCII only reads the same either way and tells no code page. The line
  // break is the first one met (CR LF, LF CR, CR or LF) and only that one
  // separates lines; the last line may end without it. A line holding any
  // other control character is no line of a list.
  static std::unique_ptr<HashList> Parse(std::string bytes, const std::vector<LinePiece>& layout,
                                         const WStr& hashName, std::size_t digestSize);

  std::size_t Count() const { return FEntries.size(); }
  std::uint64_t FileSize() const { return FBytes.size(); }
  std::size_t DigestSize() const { return FDigestSize; }

  // Entry i (below Count): its line as it was read, without the line break;
  // the same as text; the path in it; its digest, bytes in the order the
  // line's digits give them.
  std::string_view LineBytes(std::size_t i) const;
  WStr LineText(std::size_t i) const;
  WStr Path(std::size_t i) const;
  const BYTE* Digest(std::size_t i) const { return FDigests.data() + i * FDigestSize; }

  // The size of entry i's file as its last test read it, if it was tested.
  std::optional<std::uint64_t> TestedSize(std::size_t i) const;
  void SetTestedSize(std::size_t i, std::uint64_t size);

  // CP_ACP or CP_UTF8: how the lines are read.
  UINT CodePage() const { return FCodePage; }
  // The code-page choice of the file (0 ANSI, 1 UTF-8 with byte-order mark,
  // 2 UTF-8 without), or none for a file of ASCII only.
  std::optional<ULONG> CodePageChoice() const { return FCodePageChoice; }
  // The line-break choice (0 CR LF, 1 CR, 2 LF CR, 3 LF), or none for a file
  // without line breaks.
  std::optional<ULONG> LineBreakChoice() const { return FLineBreakChoice; }

 private:
  struct Entry {
    std::size_t LineStart;
    std::uint32_t LineLength;
    // In UTF-16 units of the line's text.
    std::uint32_t PathStart;
    std::uint32_t PathLength;
  };

  HashList() = default;
  bool ReadLines(UINT codePage, const std::vector<LinePiece>& layout, const WStr& hashName);
  // fileName: the layout's %FILENAME% piece.
  bool ReadLine(std::size_t start, std::size_t length, UINT codePage, const std::vector<LinePiece>& layout,
                std::vector<LinePiece>::const_iterator fileName, const WStr& hashName);

  std::string FBytes;
  std::size_t FBodyStart = 0;  // after a byte-order mark
  std::size_t FDigestSize = 0;
  std::string_view FLineBreak;  // a literal: CR LF, CR, LF CR or LF
  UINT FCodePage = CP_ACP;
  std::optional<ULONG> FCodePageChoice;
  std::optional<ULONG> FLineBreakChoice;
  std::vector<Entry> FEntries;
  std::vector<BYTE> FDigests;
  // Made at the first test; kNotTested for a file not read yet.
  static constexpr std::uint64_t kNotTested = ~std::uint64_t{0};
  std::vector<std::uint64_t> FTestedSizes;
};
