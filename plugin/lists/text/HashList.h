// A hash list read back: its entries, in the format's own line layout or in
// any dialect that checksum tools write (ListDialect.h), and its other lines
// (comments, blank lines, PGP armour), with what is needed to check the
// entries and to write every line again.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/lists/text/LineLayout.h"
#include "plugin/lists/text/ListDialect.h"

class HashList {
 public:
  // Larger files are no list of ours; they are refused before being read.
  static constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 30;

  // The list in bytes, or null when they are not a list of this format:
  // every line must be blank, a comment or an entry (ReadListLine), where
  // the list's first entry's dialect is preferred for the lines after it. A
  // PGP clear-signed list is read as 7-Zip's own Hash format reads it: the
  // first line that begins with "-----" opens the armour (a "BEGIN PGP SIGNED
  // MESSAGE" line must be followed by a "Hash: " line), the second ends the
  // list, and what follows it is kept unread. A layout without a path or a
  // digest reads no list at all.
  //
  // The code page: a file that begins with the UTF-16LE byte-order mark is
  // UTF-16LE; one that begins with the UTF-8 byte-order mark is UTF-8 (a
  // malformed sequence after it refuses the file); a file that is valid
  // UTF-8 throughout is UTF-8; any other is in the ANSI code page. A file of
  // ASCII only reads the same either way and tells no code page. The line
  // break is the first one met (CR LF, LF CR, CR or LF) and only that one
  // separates lines; the last line may end without it. A line holding any
  // other control character than a tab is no line of a list.
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
  // The path as 7-Zip shows it: unescaped, with "\\" between folders.
  WStr Path(std::size_t i) const;
  const BYTE* Digest(std::size_t i) const { return FDigests.data() + i * FDigestSize; }

  // The size of entry i's file as its last test read it, if it was tested.
  std::optional<std::uint64_t> TestedSize(std::size_t i) const;
  void SetTestedSize(std::size_t i, std::uint64_t size);

  // The lines that are no entry, in their order: OthersBefore(i) of them
  // stand before entry i (i up to Count: all of them before the list's end).
  std::size_t OthersBefore(std::size_t i) const;
  std::string_view OtherBytes(std::size_t j) const;
  WStr OtherText(std::size_t j) const;

  // The style of the first entry, none for a list without entries.
  const std::optional<LineStyle>& Style() const { return FStyle; }

  // CP_ACP, CP_UTF8 or kCodePageUtf16Le: how the lines are read.
  UINT CodePage() const { return FCodePage; }
  // The code-page choice of the file (0 ANSI, 1 UTF-8 with byte-order mark,
  // 2 UTF-8 without), or none for a file of ASCII only or in UTF-16LE.
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
    std::uint32_t OthersBefore;
    bool Escaped;
  };
  struct Other {
    std::size_t Start;
    std::size_t Length;
  };

  HashList() = default;
  bool ReadLines(UINT codePage, const ListSyntax& syntax);
  std::size_t FindLineBreak(std::size_t from) const;
  bool ReadEntry(std::size_t start, std::size_t length, const WStr& text, const ListLine& line);
  WStr Decode(std::string_view bytes) const;

  std::string FBytes;
  std::size_t FBodyStart = 0;  // after a byte-order mark
  std::size_t FDigestSize = 0;
  std::string FLineBreak;  // CR LF, CR, LF CR or LF, in the code page
  UINT FCodePage = CP_ACP;
  std::optional<ULONG> FCodePageChoice;
  std::optional<ULONG> FLineBreakChoice;
  std::vector<Entry> FEntries;
  std::vector<BYTE> FDigests;
  std::vector<Other> FOthers;
  std::optional<LineStyle> FStyle;
  // Made at the first test; kNotTested for a file not read yet.
  static constexpr std::uint64_t kNotTested = ~std::uint64_t{0};
  std::vector<std::uint64_t> FTestedSizes;
};
