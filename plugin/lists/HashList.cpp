#include "plugin/lists/HashList.h"

#include <algorithm>

#include "plugin/lists/CodePageText.h"
#include "plugin/lists/DigestText.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kCrLf = "\r\n", kCr = "\r", kLfCr = "\n\r", kLf = "\n";

constexpr ULONG kChoiceAnsi = 0, kChoiceUtf8 = 1, kChoiceUtf8NoBom = 2;
constexpr ULONG kBreakCrLf = 0, kBreakCr = 1, kBreakLfCr = 2, kBreakLf = 3;

// Where a placeholder's text was found in a line.
struct Span {
  std::size_t Start = 0, Length = 0;
};

class LineMatcher {
 public:
  LineMatcher(const WStr& line, const WStr& hashName, std::size_t digestDigits)
      : FLine(line), FHashName(hashName), FDigestDigits(digestDigits) {}

  // Matches piece at the front (forward) or the back of what is left.
  bool Match(const LinePiece& piece, bool forward) {
    const std::size_t length = LengthOf(piece);
    if (FEnd - FStart < length) return false;
    const std::size_t at = forward ? FStart : FEnd - length;
    const WStrView text = WStrView(FLine).substr(at, length);
    switch (piece.Kind) {
      case LinePieceKind::Text:
        if (text != WStrView(piece.Text)) return false;
        break;
      case LinePieceKind::HashName:
        if (text != WStrView(FHashName)) return false;
        break;
      case LinePieceKind::DigestUpper:
      case LinePieceKind::DigestLower:
        // Its digits are checked when they are read (HexToBytes).
        DigestSpan = Span{at, length};
        HasDigest = true;
        break;
      case LinePieceKind::FileName: return false;
    }
    (forward ? FStart : FEnd) = forward ? FStart + length : FEnd - length;
    return true;
  }

  // What lies between the pieces matched at the front and at the back.
  Span Rest() const { return {FStart, FEnd - FStart}; }
  Span DigestSpan;
  bool HasDigest = false;

 private:
  std::size_t LengthOf(const LinePiece& piece) const {
    switch (piece.Kind) {
      case LinePieceKind::Text: return piece.Text.size();
      case LinePieceKind::HashName: return FHashName.size();
      default: return FDigestDigits;
    }
  }

  const WStr& FLine;
  const WStr& FHashName;
  const std::size_t FDigestDigits;
  std::size_t FStart = 0, FEnd = FLine.size();
};

bool HasControlCharacter(const WStr& text) {
  return std::any_of(text.begin(), text.end(), [](WCHAR c) { return c < 0x20; });
}

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::unique_ptr<HashList> HashList::Parse(std::string bytes, const std::vector<LinePiece>& layout,
                                          const WStr& hashName, std::size_t digestSize) {
  if (bytes.size() > kMaxFileSize) return nullptr;
  std::unique_ptr<HashList> list(new HashList);
  list->FBytes = std::move(bytes);
  list->FDigestSize = digestSize;
  const std::string_view all(list->FBytes);

  const bool bom = all.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  list->FBodyStart = bom ? kUtf8Bom.size() : 0;
  const std::string_view body = all.substr(list->FBodyStart);

  const auto firstBreak = body.find_first_of("\r\n");
  if (firstBreak != std::string_view::npos) {
    const bool cr = body[firstBreak] == '\r';
    const char next = firstBreak + 1 < body.size() ? body[firstBreak + 1] : '\0';
    if (cr && next == '\n') {
      list->FLineBreak = kCrLf, list->FLineBreakChoice = kBreakCrLf;
    } else if (cr) {
      list->FLineBreak = kCr, list->FLineBreakChoice = kBreakCr;
    } else if (next == '\r') {
      list->FLineBreak = kLfCr, list->FLineBreakChoice = kBreakLfCr;
    } else {
      list->FLineBreak = kLf, list->FLineBreakChoice = kBreakLf;
    }
  }

  if (bom) {
    list->FCodePageChoice = kChoiceUtf8;
    if (!list->ReadLines(CP_UTF8, layout, hashName)) return nullptr;
  } else if (IsAscii(body)) {
    if (!list->ReadLines(CP_ACP, layout, hashName)) return nullptr;
  } else if (list->ReadLines(CP_UTF8, layout, hashName)) {
    list->FCodePageChoice = kChoiceUtf8NoBom;
  } else {
    list->FCodePageChoice = kChoiceAnsi;
    if (!list->ReadLines(CP_ACP, layout, hashName)) return nullptr;
  }
  return list;
}

bool HashList::ReadLines(UINT codePage, const std::vector<LinePiece>& layout, const WStr& hashName) {
  FCodePage = codePage;
  FEntries.clear();
  FDigests.clear();
  // A layout without a path has no line to check.
  const auto fileName = std::find_if(layout.begin(), layout.end(),
                                     [](const LinePiece& p) { return p.Kind == LinePieceKind::FileName; });
  const std::string_view all(FBytes);
  std::size_t pos = FBodyStart;
  while (pos < all.size()) {
    const auto found = FLineBreak.empty() ? std::string_view::npos : all.find(FLineBreak, pos);
    const std::size_t end = found == std::string_view::npos ? all.size() : found;
    if (end > pos &&
        (fileName == layout.end() || !ReadLine(pos, end - pos, codePage, layout, fileName, hashName)))
      return false;
    if (found == std::string_view::npos) break;
    pos = end + FLineBreak.size();
  }
  return true;
}

bool HashList::ReadLine(std::size_t start, std::size_t length, UINT codePage,
                        const std::vector<LinePiece>& layout, std::vector<LinePiece>::const_iterator fileName,
                        const WStr& hashName) {
  if (length > 0xFFFFFFFFu) return false;
  WStr text;
  if (!FromCodePage(codePage, std::string_view(FBytes).substr(start, length), text)) return false;
  if (HasControlCharacter(text)) return false;

  LineMatcher matcher(text, hashName, 2 * FDigestSize);
  for (auto it = layout.begin(); it != fileName; ++it)
    if (!matcher.Match(*it, true)) return false;
  for (auto it = layout.end(); it-- != fileName + 1;)
    if (!matcher.Match(*it, false)) return false;
  const Span path = matcher.Rest();
  // A layout without a digest has no line to check either.
  if (path.Length == 0 || !matcher.HasDigest) return false;

  const std::size_t at = FDigests.size();
  FDigests.resize(at + FDigestSize);
  if (!HexToBytes(WStrView(text).substr(matcher.DigestSpan.Start, matcher.DigestSpan.Length),
                  FDigests.data() + at)) {
    FDigests.resize(at);
    return false;
  }
  FEntries.push_back({start, static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(path.Start),
                      static_cast<std::uint32_t>(path.Length)});
  return true;
}

std::string_view HashList::LineBytes(std::size_t i) const {
  return std::string_view(FBytes).substr(FEntries[i].LineStart, FEntries[i].LineLength);
}

WStr HashList::LineText(std::size_t i) const {
  WStr text;
  FromCodePage(FCodePage, LineBytes(i), text);
  return text;
}

WStr HashList::Path(std::size_t i) const {
  return LineText(i).substr(FEntries[i].PathStart, FEntries[i].PathLength);
}

std::optional<std::uint64_t> HashList::TestedSize(std::size_t i) const {
  if (i >= FTestedSizes.size() || FTestedSizes[i] == kNotTested) return std::nullopt;
  return FTestedSizes[i];
}

void HashList::SetTestedSize(std::size_t i, std::uint64_t size) {
  if (FTestedSizes.empty()) FTestedSizes.assign(FEntries.size(), kNotTested);
  FTestedSizes.at(i) = size;
}
