#include "plugin/HashListText.h"

#include "base/Errors.h"
#include "base/LocaleText.h"
#include "plugin/LineLayout.h"

namespace {

const WCHAR kHexDigits[] = KW("0123456789ABCDEF");

}  // namespace

WStr DigestToHex(const BYTE* digest, std::size_t size) {
  WStr text;
  if (size == 2 || size == 4 || size == 8) {
    for (std::size_t i = size; i-- > 0;) {
      text.push_back(kHexDigits[digest[i] >> 4]);
      text.push_back(kHexDigits[digest[i] & 15]);
    }
    return text;
  }
  return BytesToHex(digest, size);
}

WStr BytesToHex(const BYTE* bytes, std::size_t size) {
  WStr text;
  for (std::size_t i = 0; i < size; ++i) {
    text.push_back(kHexDigits[bytes[i] >> 4]);
    text.push_back(kHexDigits[bytes[i] & 15]);
  }
  return text;
}

WStr ComposeLine(const WStr& lineFormat, const WStr& path, const WStr& hashName, const WStr& digestHex) {
  WStr line;
  for (const LinePiece& piece : ParseLineLayout(lineFormat)) {
    switch (piece.Kind) {
      case LinePieceKind::Text: line += piece.Text; break;
      case LinePieceKind::FileName: line += path; break;
      case LinePieceKind::HashName: line += hashName; break;
      case LinePieceKind::DigestUpper: line += UpperCased(digestHex); break;
      case LinePieceKind::DigestLower: line += LowerCased(digestHex); break;
    }
  }
  return line;
}

WStr FileExtension(const WStr& name) {
  for (std::size_t i = name.size(); i-- > 0;) {
    if (name[i] == KW('.')) return name.substr(i);
    if (name[i] == KW('\\')) break;
  }
  return {};
}

std::string ToCodePage(UINT codePage, const WStr& text) {
  const int n = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  // A text that can't be converted at all must not become a short line.
  if (n <= 0) RaiseResultError(E_FAIL);
  std::string bytes(static_cast<std::size_t>(n), '\0');
  if (WideCharToMultiByte(codePage, 0, text.c_str(), -1, bytes.data(), n, nullptr, nullptr) != n)
    RaiseResultError(E_FAIL);
  bytes.resize(static_cast<std::size_t>(n - 1));
  return bytes;
}

bool FromCodePage(UINT codePage, std::string_view bytes, WStr& text) {
  text.clear();
  if (bytes.empty()) return true;
  if (bytes.size() > 0x7FFFFFFF) RaiseResultError(E_OUTOFMEMORY);
  const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
  const int length = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
  if (n <= 0) return false;
  text.resize(static_cast<std::size_t>(n));
  return MultiByteToWideChar(codePage, flags, bytes.data(), length, text.data(), n) == n;
}

namespace {

int HexValue(WCHAR c) {
  if (c >= KW('0') && c <= KW('9')) return c - KW('0');
  if (c >= KW('A') && c <= KW('F')) return c - KW('A') + 10;
  if (c >= KW('a') && c <= KW('f')) return c - KW('a') + 10;
  return -1;
}

}  // namespace

bool HexToBytes(WStrView hex, BYTE* bytes) {
  if (hex.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexValue(hex[i]), low = HexValue(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i / 2] = static_cast<BYTE>(high * 16 + low);
  }
  return true;
}
