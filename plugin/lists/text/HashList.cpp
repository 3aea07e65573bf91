#include "plugin/lists/text/HashList.h"

#include <algorithm>

#include "plugin/lists/text/CodePageText.h"
#include "plugin/lists/text/DigestText.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF", kUtf16LeBom = "\xFF\xFE";

constexpr ULONG kChoiceAnsi = 0, kChoiceUtf8 = 1, kChoiceUtf8NoBom = 2;
constexpr ULONG kBreakCrLf = 0, kBreakCr = 1, kBreakLfCr = 2, kBreakLf = 3;

bool HasControlCharacter(const WStr& text) {
  return std::any_of(text.begin(), text.end(), [](WCHAR c) { return c < 0x20 && c != KW('\t'); });
}

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool BeginsWith(const WStr& text, const WCHAR* prefix) { return text.rfind(prefix, 0) == 0; }

bool HasPiece(const std::vector<LinePiece>& layout, bool (*is)(LinePieceKind)) {
  return std::any_of(layout.begin(), layout.end(), [&](const LinePiece& p) { return is(p.Kind); });
}

// Where a PGP clear-signed list stands while its lines are read.
enum class Armour { None, ExpectHash, Open, Closed };

}  // namespace

std::unique_ptr<HashList> HashList::Parse(std::string bytes, const std::vector<LinePiece>& layout,
                                          const WStr& hashName, std::size_t digestSize) {
  if (bytes.size() > kMaxFileSize) return nullptr;
  // A layout without a path or a digest writes no line that could be checked.
  if (!HasPiece(layout, [](LinePieceKind k) { return k == LinePieceKind::FileName; }) ||
      !HasPiece(layout, [](LinePieceKind k) {
        return k == LinePieceKind::DigestUpper || k == LinePieceKind::DigestLower;
      }))
    return nullptr;
  std::unique_ptr<HashList> list(new HashList);
  list->FBytes = std::move(bytes);
  list->FDigestSize = digestSize;
  const ListSyntax syntax = MakeListSyntax(layout, hashName, digestSize);
  const std::string_view all(list->FBytes);

  const bool utf16 = all.substr(0, kUtf16LeBom.size()) == kUtf16LeBom;
  const bool bom = all.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  list->FBodyStart = utf16 ? kUtf16LeBom.size() : bom ? kUtf8Bom.size() : 0;
  const std::string_view body = all.substr(list->FBodyStart);

  // The first line break, in units of the code page.
  const std::size_t unit = utf16 ? 2 : 1;
  std::string_view lineBreak;
  for (std::size_t at = 0; at + unit <= body.size(); at += unit) {
    const bool high = unit == 1 || body[at + 1] == '\0';
    const char c = body[at];
    if (!high || (c != '\r' && c != '\n')) continue;
    const char next =
        at + 2 * unit <= body.size() && (unit == 1 || body[at + unit + 1] == '\0') ? body[at + unit] : '\0';
    if (c == '\r' && next == '\n') {
      lineBreak = "\r\n", list->FLineBreakChoice = kBreakCrLf;
    } else if (c == '\r') {
      lineBreak = "\r", list->FLineBreakChoice = kBreakCr;
    } else if (next == '\r') {
      lineBreak = "\n\r", list->FLineBreakChoice = kBreakLfCr;
    } else {
      lineBreak = "\n", list->FLineBreakChoice = kBreakLf;
    }
    break;
  }
  // (Made anew, not assigned from a literal: gcc 12 sees a false overlap there.)
  list->FLineBreak = utf16 ? ToUtf16Le(WStr(lineBreak.begin(), lineBreak.end())) : std::string(lineBreak);

  if (utf16) {
    if (body.size() % 2 != 0 || !list->ReadLines(kCodePageUtf16Le, syntax)) return nullptr;
  } else if (bom) {
    list->FCodePageChoice = kChoiceUtf8;
    if (!list->ReadLines(CP_UTF8, syntax)) return nullptr;
  } else if (IsAscii(body)) {
    if (!list->ReadLines(CP_ACP, syntax)) return nullptr;
  } else if (list->ReadLines(CP_UTF8, syntax)) {
    list->FCodePageChoice = kChoiceUtf8NoBom;
  } else {
    list->FCodePageChoice = kChoiceAnsi;
    if (!list->ReadLines(CP_ACP, syntax)) return nullptr;
  }
  return list;
}

std::size_t HashList::FindLineBreak(std::size_t from) const {
  if (FLineBreak.empty()) return std::string_view::npos;
  const std::string_view all(FBytes);
  // In UTF-16LE a break stands at an even distance from the body's start.
  for (auto found = all.find(FLineBreak, from); found != std::string_view::npos;
       found = all.find(FLineBreak, found + 1))
    if (FCodePage != kCodePageUtf16Le || (found - FBodyStart) % 2 == 0) return found;
  return std::string_view::npos;
}

WStr HashList::Decode(std::string_view bytes) const {
  WStr text;
  FromCodePage(FCodePage, bytes, text);
  return text;
}

bool HashList::ReadLines(UINT codePage, const ListSyntax& syntax) {
  FCodePage = codePage;
  FEntries.clear();
  FDigests.clear();
  FOthers.clear();
  FStyle.reset();
  std::optional<ListDialect> prefer;
  std::optional<bool> upperDigits;
  Armour armour = Armour::None;
  const std::string_view all(FBytes);
  std::size_t pos = FBodyStart;
  WStr text;
  while (pos < all.size()) {
    const auto found = FindLineBreak(pos);
    const std::size_t end = found == std::string_view::npos ? all.size() : found;
    if (end - pos > 0xFFFFFFFFu) return false;
    if (!FromCodePage(codePage, all.substr(pos, end - pos), text) || HasControlCharacter(text)) return false;

    bool other = true;
    if (armour == Armour::Closed) {
      // After the armour: the signature, kept unread.
    } else if (armour == Armour::ExpectHash) {
      if (!BeginsWith(text, KW("Hash: "))) return false;
      armour = Armour::Open;
    } else if (BeginsWith(text, KW("-----"))) {
      if (armour == Armour::Open) {
        armour = Armour::Closed;
      } else {
        armour = BeginsWith(text, KW("-----BEGIN PGP SIGNED MESSAGE")) ? Armour::ExpectHash : Armour::Open;
      }
    } else {
      const ListLine line = ReadListLine(text, syntax, prefer);
      if (line.Kind == ListLineKind::NotALine) return false;
      if (line.Kind == ListLineKind::Entry) {
        if (!ReadEntry(pos, end - pos, text, line)) return false;
        if (!upperDigits && (line.Case == DigitCase::Upper || line.Case == DigitCase::Lower))
          upperDigits = line.Case == DigitCase::Upper;
        // The dialect new lines are written in is the one the reader prefers,
        // so a line that fits two dialects reads as it was written. A lone
        // digest says nothing of how names are written: such a list is
        // written, and read first, in the format's own line format.
        if (!prefer) {
          FStyle = StyleOf(text, line, true);
          prefer = FStyle->Dialect;
        }
        other = false;
      }
    }
    if (other) FOthers.push_back({pos, end - pos});
    if (found == std::string_view::npos) break;
    pos = end + FLineBreak.size();
  }
  if (FStyle) {
    const bool layoutUpper = std::none_of(syntax.Layout.begin(), syntax.Layout.end(), [](const LinePiece& p) {
      return p.Kind == LinePieceKind::DigestLower;
    });
    FStyle->UpperDigits = upperDigits.value_or(layoutUpper);
  }
  return true;
}

bool HashList::ReadEntry(std::size_t start, std::size_t length, const WStr& text, const ListLine& line) {
  if (line.Escaped) {
    WStr name;
    if (!UnescapeListName(WStrView(text).substr(line.Name.Start, line.Name.Length), name)) return false;
  }
  const std::size_t at = FDigests.size();
  FDigests.resize(at + FDigestSize);
  if (line.Digest.Length != 2 * FDigestSize ||
      !HexToBytes(WStrView(text).substr(line.Digest.Start, line.Digest.Length), FDigests.data() + at)) {
    FDigests.resize(at);
    return false;
  }
  FEntries.push_back({start, static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(line.Name.Start),
                      static_cast<std::uint32_t>(line.Name.Length),
                      static_cast<std::uint32_t>(FOthers.size()), line.Escaped});
  return true;
}

std::string_view HashList::LineBytes(std::size_t i) const {
  return std::string_view(FBytes).substr(FEntries[i].LineStart, FEntries[i].LineLength);
}

WStr HashList::LineText(std::size_t i) const { return Decode(LineBytes(i)); }

WStr HashList::Path(std::size_t i) const {
  const Entry& entry = FEntries[i];
  WStr path = LineText(i).substr(entry.PathStart, entry.PathLength);
  if (entry.Escaped) {
    WStr name;
    UnescapeListName(path, name);
    path = name;
  }
  std::replace(path.begin(), path.end(), KW('/'), KW('\\'));
  return path;
}

std::size_t HashList::OthersBefore(std::size_t i) const {
  return i < FEntries.size() ? FEntries[i].OthersBefore : FOthers.size();
}

std::string_view HashList::OtherBytes(std::size_t j) const {
  return std::string_view(FBytes).substr(FOthers[j].Start, FOthers[j].Length);
}

WStr HashList::OtherText(std::size_t j) const { return Decode(OtherBytes(j)); }

std::optional<std::uint64_t> HashList::TestedSize(std::size_t i) const {
  if (i >= FTestedSizes.size() || FTestedSizes[i] == kNotTested) return std::nullopt;
  return FTestedSizes[i];
}

void HashList::SetTestedSize(std::size_t i, std::uint64_t size) {
  if (FTestedSizes.empty()) FTestedSizes.assign(FEntries.size(), kNotTested);
  FTestedSizes.at(i) = size;
}
