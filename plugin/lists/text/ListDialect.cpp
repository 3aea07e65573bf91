#include "plugin/lists/text/ListDialect.h"

#include <algorithm>

#include "plugin/lists/text/DigestText.h"
#include "plugin/lists/text/LineComposer.h"

namespace {

bool IsBlank(WCHAR c) { return c == KW(' ') || c == KW('\t'); }

bool IsHexDigit(WCHAR c) {
  return (c >= KW('0') && c <= KW('9')) || (c >= KW('a') && c <= KW('f')) || (c >= KW('A') && c <= KW('F'));
}

WCHAR AsciiUpper(WCHAR c) { return c >= KW('a') && c <= KW('z') ? static_cast<WCHAR>(c - 0x20) : c; }

bool SameAsciiNoCase(WStrView a, WStrView b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](WCHAR x, WCHAR y) { return AsciiUpper(x) == AsciiUpper(y); });
}

DigitCase CaseOf(WStrView digits) {
  bool upper = false, lower = false;
  for (WCHAR c : digits) {
    upper = upper || (c >= KW('A') && c <= KW('F'));
    lower = lower || (c >= KW('a') && c <= KW('f'));
  }
  if (upper && lower) return DigitCase::Mixed;
  if (upper) return DigitCase::Upper;
  return lower ? DigitCase::Lower : DigitCase::None;
}

// The line without the blanks at its end.
std::size_t TrimmedEnd(WStrView line) {
  std::size_t end = line.size();
  while (end > 0 && IsBlank(line[end - 1])) --end;
  return end;
}

std::size_t SkipBlanks(WStrView line, std::size_t at, std::size_t end) {
  while (at < end && IsBlank(line[at])) ++at;
  return at;
}

std::size_t SkipBlanksBack(WStrView line, std::size_t at, std::size_t start) {
  while (at > start && IsBlank(line[at - 1])) --at;
  return at;
}

// A digest of exactly `digits` hexadecimal digits at [at, at + digits).
bool IsDigestAt(WStrView line, std::size_t at, std::size_t digits, std::size_t end) {
  if (digits == 0 || at > end || end - at < digits) return false;
  return std::all_of(line.begin() + static_cast<std::ptrdiff_t>(at),
                     line.begin() + static_cast<std::ptrdiff_t>(at + digits), IsHexDigit);
}

ListLine MakeEntry(WStrView line, ListDialect dialect, LineSpan name, LineSpan digest) {
  ListLine entry;
  entry.Kind = ListLineKind::Entry;
  entry.Dialect = dialect;
  entry.Name = name;
  entry.Digest = digest;
  entry.Case = CaseOf(line.substr(digest.Start, digest.Length));
  return entry;
}

// The format's own line format, read from both ends towards the name. A space
// of the line format (or a run of them) matches a run of blanks.
class OwnReader {
 public:
  OwnReader(WStrView line, const ListSyntax& syntax)
      : FLine(line), FSyntax(syntax), FLineEnd(TrimmedEnd(line)), FEnd(FLineEnd) {}

  std::optional<ListLine> Read() {
    const auto& layout = FSyntax.Layout;
    const auto fileName = std::find_if(layout.begin(), layout.end(),
                                       [](const LinePiece& p) { return p.Kind == LinePieceKind::FileName; });
    if (fileName == layout.end()) return std::nullopt;
    for (auto it = layout.begin(); it != fileName; ++it)
      if (!Forward(*it)) return std::nullopt;
    for (auto it = layout.end(); it-- != fileName + 1;)
      if (!Backward(*it)) return std::nullopt;
    if (!FDigest || FEnd <= FStart) return std::nullopt;
    // As in a name-first line, a name that ends in "=" before a run of blanks
    // belongs to a tag line.
    if (fileName + 1 != layout.end() && fileName[1].Kind == LinePieceKind::Text &&
        fileName[1].Text.front() == KW(' ') && FLine[FEnd - 1] == KW('='))
      return std::nullopt;
    return MakeEntry(FLine, ListDialect::Own, {FStart, FEnd - FStart}, *FDigest);
  }

 private:
  bool Forward(const LinePiece& piece) {
    switch (piece.Kind) {
      case LinePieceKind::Text:
        for (std::size_t i = 0; i < piece.Text.size(); ++i) {
          if (piece.Text[i] == KW(' ')) {
            while (i + 1 < piece.Text.size() && piece.Text[i + 1] == KW(' ')) ++i;
            if (FStart >= FEnd || !IsBlank(FLine[FStart])) return false;
            FStart = SkipBlanks(FLine, FStart, FEnd);
          } else {
            if (FStart >= FEnd || FLine[FStart] != piece.Text[i]) return false;
            ++FStart;
          }
        }
        return true;
      case LinePieceKind::HashName:
        if (FLine.substr(FStart, FEnd - FStart).substr(0, FSyntax.HashName.size()) !=
            WStrView(FSyntax.HashName))
          return false;
        FStart += FSyntax.HashName.size();
        return true;
      case LinePieceKind::DigestUpper:
      case LinePieceKind::DigestLower: {
        const std::size_t digits = 2 * FSyntax.DigestSize;
        if (!IsDigestAt(FLine, FStart, digits, FEnd)) return false;
        FDigest = LineSpan{FStart, digits};
        FStart += digits;
        return true;
      }
      case LinePieceKind::FileName: return false;
    }
    return false;
  }

  bool Backward(const LinePiece& piece) {
    switch (piece.Kind) {
      case LinePieceKind::Text:
        for (std::size_t i = piece.Text.size(); i-- > 0;) {
          if (piece.Text[i] == KW(' ')) {
            while (i > 0 && piece.Text[i - 1] == KW(' ')) --i;
            // Blanks at the end of the line are gone already: a space that
            // ends the line format stands for them.
            if (FEnd == FLineEnd) continue;
            if (FEnd <= FStart || !IsBlank(FLine[FEnd - 1])) return false;
            FEnd = SkipBlanksBack(FLine, FEnd, FStart);
          } else {
            if (FEnd <= FStart || FLine[FEnd - 1] != piece.Text[i]) return false;
            --FEnd;
          }
        }
        return true;
      case LinePieceKind::HashName: {
        const std::size_t n = FSyntax.HashName.size();
        if (FEnd - FStart < n || FLine.substr(FEnd - n, n) != WStrView(FSyntax.HashName)) return false;
        FEnd -= n;
        return true;
      }
      case LinePieceKind::DigestUpper:
      case LinePieceKind::DigestLower: {
        const std::size_t digits = 2 * FSyntax.DigestSize;
        if (FEnd - FStart < digits || !IsDigestAt(FLine, FEnd - digits, digits, FEnd)) return false;
        FEnd -= digits;
        FDigest = LineSpan{FEnd, digits};
        return true;
      }
      case LinePieceKind::FileName: return false;
    }
    return false;
  }

  const WStrView FLine;
  const ListSyntax& FSyntax;
  const std::size_t FLineEnd;
  std::size_t FStart = 0, FEnd;
  std::optional<LineSpan> FDigest;
};

// TAG (name) = digest; the name runs to the last ")" before the "=".
std::optional<ListLine> ReadBsdTag(WStrView line, const ListSyntax& syntax) {
  const std::size_t end = TrimmedEnd(line);
  std::size_t at = SkipBlanks(line, 0, end);
  const bool escaped = at < end && line[at] == KW('\\');
  if (escaped) ++at;
  const std::size_t tagStart = at;
  while (at < end && !IsBlank(line[at]) && line[at] != KW('(')) ++at;
  const WStrView tag = line.substr(tagStart, at - tagStart);
  if (tag.empty() || std::none_of(syntax.Tags.begin(), syntax.Tags.end(),
                                  [&](const WStr& t) { return SameAsciiNoCase(tag, t); }))
    return std::nullopt;
  const std::size_t tagEnd = at;
  at = SkipBlanks(line, at, end);
  if (at >= end || line[at] != KW('(')) return std::nullopt;
  const std::size_t nameStart = at + 1, separatorEnd = at;

  const std::size_t digits = 2 * syntax.DigestSize;
  if (end < nameStart + digits || !IsDigestAt(line, end - digits, digits, end)) return std::nullopt;
  std::size_t back = SkipBlanksBack(line, end - digits, nameStart);
  if (back <= nameStart || line[back - 1] != KW('=')) return std::nullopt;
  back = SkipBlanksBack(line, back - 1, nameStart);
  if (back <= nameStart || line[back - 1] != KW(')')) return std::nullopt;
  const std::size_t nameEnd = back - 1;
  if (nameEnd == nameStart) return std::nullopt;

  ListLine entry =
      MakeEntry(line, ListDialect::BsdTag, {nameStart, nameEnd - nameStart}, {end - digits, digits});
  entry.Escaped = escaped;
  entry.Tag = {tagStart, tag.size()};
  entry.Separator = {tagEnd, separatorEnd - tagEnd};
  return entry;
}

// digest, blanks, name; "*" before the name marks a binary line.
std::optional<ListLine> ReadDigestFirst(WStrView line, const ListSyntax& syntax) {
  const std::size_t end = TrimmedEnd(line);
  std::size_t at = SkipBlanks(line, 0, end);
  const bool escaped = at < end && line[at] == KW('\\');
  if (escaped) ++at;
  const std::size_t digits = 2 * syntax.DigestSize;
  if (!IsDigestAt(line, at, digits, end)) return std::nullopt;
  const LineSpan digest{at, digits};
  at += digits;
  if (at == end) {
    ListLine entry = MakeEntry(line, ListDialect::DigestOnly, {at, 0}, digest);
    entry.Escaped = escaped;
    return entry;
  }
  if (!IsBlank(line[at])) return std::nullopt;
  const std::size_t separatorStart = at;
  at = SkipBlanks(line, at, end);
  ListDialect dialect = ListDialect::GnuText;
  if (line[at] == KW('*')) {
    dialect = ListDialect::GnuBinary;
    ++at;
  } else if (at - separatorStart == 1 && line[separatorStart] == KW(' ')) {
    dialect = ListDialect::OneSpace;
  }
  if (at >= end) return std::nullopt;
  ListLine entry = MakeEntry(line, dialect, {at, end - at}, digest);
  entry.Escaped = escaped;
  entry.Separator = {separatorStart, at - separatorStart};
  return entry;
}

// name, blanks, digest. A name that ends with "=" would be a tag line of
// another algorithm, not a name.
std::optional<ListLine> ReadNameFirst(WStrView line, const ListSyntax& syntax) {
  const std::size_t end = TrimmedEnd(line);
  const std::size_t digits = 2 * syntax.DigestSize;
  if (end < digits + 2 || !IsDigestAt(line, end - digits, digits, end)) return std::nullopt;
  const std::size_t separatorEnd = end - digits;
  const std::size_t nameEnd = SkipBlanksBack(line, separatorEnd, 0);
  if (nameEnd == separatorEnd || nameEnd == 0 || line[nameEnd - 1] == KW('=')) return std::nullopt;
  ListLine entry = MakeEntry(line, ListDialect::NameFirst, {0, nameEnd}, {separatorEnd, digits});
  entry.Separator = {nameEnd, separatorEnd - nameEnd};
  return entry;
}

std::optional<ListLine> ReadAs(ListDialect dialect, WStrView line, const ListSyntax& syntax) {
  switch (dialect) {
    case ListDialect::Own: return OwnReader(line, syntax).Read();
    case ListDialect::BsdTag: return ReadBsdTag(line, syntax);
    case ListDialect::NameFirst: return ReadNameFirst(line, syntax);
    case ListDialect::GnuText:
    case ListDialect::GnuBinary:
    case ListDialect::OneSpace:
    case ListDialect::DigestOnly: return ReadDigestFirst(line, syntax);
  }
  return std::nullopt;
}

}  // namespace

std::vector<WStr> ListTagSpellings(const WStr& hashName) {
  WStr upper;
  for (WCHAR c : hashName) upper += AsciiUpper(c);
  std::vector<WStr> tags{hashName};
  const auto add = [&](std::initializer_list<const WCHAR*> more) {
    for (const WCHAR* t : more)
      if (!SameAsciiNoCase(t, hashName)) tags.emplace_back(t);
  };
  // BSD md5/sha256 and coreutils write SHA256; OpenSSL 3 writes SHA2-256.
  if (upper == KW("SHA-1") || upper == KW("SHA1")) add({KW("SHA1"), KW("SHA-1")});
  if (upper == KW("SHA-224") || upper == KW("SHA224")) add({KW("SHA224"), KW("SHA-224"), KW("SHA2-224")});
  if (upper == KW("SHA-256") || upper == KW("SHA256")) add({KW("SHA256"), KW("SHA-256"), KW("SHA2-256")});
  if (upper == KW("SHA-384") || upper == KW("SHA384")) add({KW("SHA384"), KW("SHA-384"), KW("SHA2-384")});
  if (upper == KW("SHA-512") || upper == KW("SHA512")) add({KW("SHA512"), KW("SHA-512"), KW("SHA2-512")});
  if (upper == KW("CRC32")) add({KW("CRC-32")});
  // rhash's names of the GOST hashes.
  if (upper == KW("GOST R 34.11-94")) add({KW("GOST94")});
  if (upper == KW("GOST 34.11-2012 256")) add({KW("GOST12-256")});
  if (upper == KW("GOST 34.11-2012 512")) add({KW("GOST12-512")});
  return tags;
}

ListSyntax MakeListSyntax(std::vector<LinePiece> layout, const WStr& hashName, std::size_t digestSize) {
  ListSyntax syntax;
  syntax.Layout = std::move(layout);
  syntax.HashName = hashName;
  syntax.Tags = ListTagSpellings(hashName);
  syntax.DigestSize = digestSize;
  if (!syntax.Layout.empty()) {
    const LinePiece& first = syntax.Layout.front();
    switch (first.Kind) {
      case LinePieceKind::FileName: syntax.HashComments = false; break;
      case LinePieceKind::Text: syntax.HashComments = first.Text.front() != KW('#'); break;
      case LinePieceKind::HashName:
        syntax.HashComments = hashName.empty() || hashName.front() != KW('#');
        break;
      case LinePieceKind::DigestUpper:
      case LinePieceKind::DigestLower: syntax.HashComments = true; break;
    }
  }
  return syntax;
}

ListLine ReadListLine(WStrView line, const ListSyntax& syntax, std::optional<ListDialect> prefer) {
  ListLine result;
  if (std::all_of(line.begin(), line.end(), IsBlank)) {
    result.Kind = ListLineKind::Blank;
    return result;
  }
  if (line.front() == KW(';') || (line.front() == KW('#') && syntax.HashComments)) {
    result.Kind = ListLineKind::Comment;
    return result;
  }
  if (std::any_of(line.begin(), line.end(), [](WCHAR c) { return c < 0x20 && c != KW('\t'); })) return result;

  std::vector<ListDialect> order{ListDialect::Own, ListDialect::BsdTag, ListDialect::GnuText,
                                 ListDialect::NameFirst};
  if (prefer) order.insert(order.begin(), *prefer);
  for (ListDialect dialect : order)
    if (auto entry = ReadAs(dialect, line, syntax)) return *entry;
  return result;
}

bool UnescapeListName(WStrView escaped, WStr& name) {
  name.clear();
  for (std::size_t i = 0; i < escaped.size(); ++i) {
    WCHAR c = escaped[i];
    if (c == KW('\\')) {
      if (i + 1 >= escaped.size()) return false;
      const WCHAR next = escaped[++i];
      if (next == KW('n')) {
        c = KW('\n');
      } else if (next == KW('\\')) {
        c = KW('\\');
      } else {
        return false;
      }
    }
    name += c;
  }
  return true;
}

LineStyle StyleOf(WStrView line, const ListLine& entry, bool upperDigits) {
  LineStyle style;
  style.Dialect = entry.Dialect == ListDialect::DigestOnly ? ListDialect::Own : entry.Dialect;
  style.UpperDigits = upperDigits;
  const auto part = [&](LineSpan s) { return WStr(line.substr(s.Start, s.Length)); };
  style.Separator = part(entry.Separator);
  if (entry.Dialect == ListDialect::BsdTag) {
    style.Tag = part(entry.Tag);
    const std::size_t nameEnd = entry.Name.Start + entry.Name.Length;
    style.BeforeDigest = WStr(line.substr(nameEnd, entry.Digest.Start - nameEnd));
  }
  if (entry.Dialect == ListDialect::NameFirst && entry.Separator.Length > 1)
    style.DigestColumn = entry.Digest.Start;
  return style;
}

WStr ComposeInStyle(const LineStyle& style, const std::vector<LinePiece>& layout, const WStr& path,
                    const WStr& hashName, const BYTE* digest, std::size_t size) {
  // Blanks at a name's ends would be taken for separators in any other line:
  // only a tag line, whose parentheses close the name, keeps them.
  if (!path.empty() && (IsBlank(path.front()) || IsBlank(path.back())) &&
      style.Dialect != ListDialect::BsdTag) {
    LineStyle tagged = style;
    tagged.Dialect = ListDialect::BsdTag;
    tagged.Tag = hashName;
    tagged.Separator = KW(" ");
    tagged.BeforeDigest = KW(") = ");
    return ComposeInStyle(tagged, layout, path, hashName, digest, size);
  }
  if (style.Dialect == ListDialect::Own) {
    std::vector<LinePiece> cased = layout;
    for (LinePiece& piece : cased)
      if (piece.Kind == LinePieceKind::DigestUpper || piece.Kind == LinePieceKind::DigestLower)
        piece.Kind = style.UpperDigits ? LinePieceKind::DigestUpper : LinePieceKind::DigestLower;
    return ComposeLine(cased, path, hashName, digest, size);
  }
  WStr name = path;
  std::replace(name.begin(), name.end(), KW('\\'), KW('/'));
  bool escaped = false;
  if (style.Dialect != ListDialect::NameFirst && name.find(KW('\n')) != WStr::npos) {
    WStr text;
    for (WCHAR c : name) text += c == KW('\n') ? WStr(KW("\\n")) : WStr(1, c);
    name = text;
    escaped = true;
  }
  const WStr hex = BytesToHex(digest, size, style.UpperDigits);
  const WStr lead = escaped ? WStr(KW("\\")) : WStr();
  switch (style.Dialect) {
    case ListDialect::BsdTag:
      return lead + style.Tag + style.Separator + KW("(") + name + style.BeforeDigest + hex;
    case ListDialect::NameFirst: {
      WStr line = name + style.Separator;
      if (style.DigestColumn != 0)
        line =
            name + WStr(style.DigestColumn > name.size() + 1 ? style.DigestColumn - name.size() : 1, KW(' '));
      return line + hex;
    }
    default: {
      // A "*" after the blanks reads as the binary mark: a name that begins
      // with one goes into a binary line, where it reads back whole.
      const bool star =
          !name.empty() && name.front() == KW('*') && style.Separator.find(KW('*')) == WStr::npos;
      return lead + hex + (star ? WStr(KW(" *")) : style.Separator) + name;
    }
  }
}

bool ReadsBackAs(WStrView line, const ListSyntax& syntax, const WStr& path, const BYTE* digest,
                 std::size_t size) {
  const ListLine entry = ReadListLine(line, syntax);
  if (entry.Kind != ListLineKind::Entry) return false;
  WStr name(line.substr(entry.Name.Start, entry.Name.Length));
  if (entry.Escaped) {
    WStr unescaped;
    if (!UnescapeListName(name, unescaped)) return false;
    name = unescaped;
  }
  WStr wanted = path;
  std::replace(name.begin(), name.end(), KW('/'), KW('\\'));
  std::replace(wanted.begin(), wanted.end(), KW('/'), KW('\\'));
  WStr hex(line.substr(entry.Digest.Start, entry.Digest.Length));
  for (WCHAR& c : hex)
    if (c >= KW('a') && c <= KW('f')) c = static_cast<WCHAR>(c - KW('a') + KW('A'));
  return name == wanted && hex == BytesToHex(digest, size, true);
}
