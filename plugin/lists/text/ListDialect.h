// One line of a hash list, read in any of the dialects that checksum tools
// write: the format's own line format, GNU (coreutils) text and binary lines,
// one-space lines (FreeBSD md5 -r), BSD tag lines and name-first SFV lines;
// with comments and blank lines. The reader only classifies and locates: it
// keeps the line as it is, so that a list can be written again byte for byte.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "plugin/lists/text/LineLayout.h"

// How an entry line is written.
enum class ListDialect {
  Own,         // the format's own line format
  GnuText,     // digest, blanks, name (coreutils writes two spaces)
  GnuBinary,   // digest, blanks, "*", name (coreutils -b: one space)
  OneSpace,    // digest, exactly one space, name (FreeBSD md5 -r)
  DigestOnly,  // a digest and nothing else, as 7-Zip's own Hash format reads it
  BsdTag,      // TAG (name) = digest
  NameFirst,   // name, blanks, digest (SFV)
};

enum class ListLineKind { Blank, Comment, Entry, NotALine };

// The letters among the digest's digits: none (digits 0-9 only), all upper,
// all lower, or both.
enum class DigitCase { None, Upper, Lower, Mixed };

// Where a part of the line stands, in UTF-16 units of the line.
struct LineSpan {
  std::size_t Start = 0, Length = 0;
  bool operator==(const LineSpan&) const = default;
};

struct ListLine {
  ListLineKind Kind = ListLineKind::NotALine;
  // The rest only for an entry.
  ListDialect Dialect = ListDialect::Own;
  // A GNU or BSD line that begins with "\": its name escapes "\" as "\\"
  // and a line feed as "\n" (UnescapeListName).
  bool Escaped = false;
  // The name as it stands in the line (still escaped); empty for DigestOnly.
  LineSpan Name;
  LineSpan Digest;
  // Between digest and name (digest first) or name and digest (name first):
  // the blanks and a "*" of a binary line; for a BSD tag line, what stands
  // between the tag and the "(".
  LineSpan Separator;
  // A BSD tag line's algorithm as spelt there.
  LineSpan Tag;
  DigitCase Case = DigitCase::None;
};

// What one hash-list format reads.
struct ListSyntax {
  std::vector<LinePiece> Layout;  // the format's own line format
  WStr HashName;                  // stands for %HASHNAME%
  std::vector<WStr> Tags;         // the tag spellings of BSD lines
  std::size_t DigestSize = 0;     // in bytes: the digest has twice as many digits
  // "#" begins a comment: only where no entry of the format's own line
  // format begins with "#".
  bool HashComments = false;
};

// The usual spellings of the algorithm's name in BSD tag lines: the name
// itself, and for the SHA family the forms that coreutils, BSD, rhash and
// OpenSSL write (SHA256, SHA-256, SHA2-256). Compared without regard to
// letter case.
std::vector<WStr> ListTagSpellings(const WStr& hashName);

ListSyntax MakeListSyntax(std::vector<LinePiece> layout, const WStr& hashName, std::size_t digestSize);

// Classifies one line (without its line break). In this order:
//  1. empty or only blanks (spaces, tabs): Blank;
//  2. first character ";" (always) or "#" (where syntax.HashComments):
//     Comment;
//  3. any other control character than a tab: NotALine;
//  4. an entry, read by the first dialect that fits: the list's dialect
//     (prefer: the dialect of its first entry) if given, then the format's
//     own line format, a BSD tag line, a digest-first line (GNU text or
//     binary, one space, digest only), a name-first line;
//  5. else NotALine.
// A digest has exactly 2 * DigestSize hexadecimal digits, in either case.
// Blanks at the end of a line, and runs of blanks between name and digest,
// separate: they are never part of the name (a space of the own line format
// stands for a run of blanks). Blanks inside a name stay. Blanks at the start
// of a digest-first or tag line are skipped. A name followed by blanks and
// the digest never ends in "=": such a line is a tag line, of this algorithm
// or of another one.
ListLine ReadListLine(WStrView line, const ListSyntax& syntax,
                      std::optional<ListDialect> prefer = std::nullopt);

// How the new lines of an update are written into a list that has entries:
// as its first entry is written.
struct LineStyle {
  ListDialect Dialect = ListDialect::Own;
  bool UpperDigits = true;
  // As ListLine has them, as text: the blanks (and "*") between digest and
  // name or name and digest; for a BSD tag line, the tag and what stands
  // between it and the "(", and what stands between the ")" and the digest.
  WStr Separator;
  WStr Tag;
  WStr BeforeDigest;
  // A name-first line whose name was padded with more than one blank: the
  // column where its digest starts, so that new names are padded to it too;
  // else 0.
  std::size_t DigestColumn = 0;
};

// The style of a list whose first entry is entry (read from line); its
// digits in upperDigits' case (the case of the first entry whose digits have
// letters, or the format's own).
LineStyle StyleOf(WStrView line, const ListLine& entry, bool upperDigits);

// A new line in the style. The own line format and a digest alone go by the
// layout, with the digits in the style's case; the tools' dialects write "/"
// between folders, as those tools do, and escape a name with a line feed or
// a "\" as coreutils does. A name with a blank at either end is written as a
// tag line (hashName the tag), the only line that keeps such blanks. digest
// holds size bytes in their printed order.
WStr ComposeInStyle(const LineStyle& style, const std::vector<LinePiece>& layout, const WStr& path,
                    const WStr& hashName, const BYTE* digest, std::size_t size);

// Whether line, read alone, is an entry of path (compared with "/" and "\"
// alike, as lists write folders either way) and of the digest (size bytes in
// their printed order). An update writes no line that would not.
bool ReadsBackAs(WStrView line, const ListSyntax& syntax, const WStr& path, const BYTE* digest,
                 std::size_t size);

// The name of an escaped line: "\\" gives "\", "\n" a line feed. False for a
// "\" followed by anything else (no tool writes that).
bool UnescapeListName(WStrView escaped, WStr& name);
