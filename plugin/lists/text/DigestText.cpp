#include "plugin/lists/text/DigestText.h"

#include <algorithm>

std::vector<BYTE> InPrintedOrder(const BYTE* digest, std::size_t size) {
  std::vector<BYTE> printed(digest, digest + size);
  if (size == 2 || size == 4 || size == 8) std::reverse(printed.begin(), printed.end());
  return printed;
}

WStr BytesToHex(const BYTE* bytes, std::size_t size, bool upperCase) {
  const WCHAR* digits = upperCase ? KW("0123456789ABCDEF") : KW("0123456789abcdef");
  WStr text;
  text.reserve(2 * size);
  for (std::size_t i = 0; i < size; ++i) {
    text.push_back(digits[bytes[i] >> 4]);
    text.push_back(digits[bytes[i] & 15]);
  }
  return text;
}

WStr DigestToHex(const BYTE* digest, std::size_t size) {
  const std::vector<BYTE> printed = InPrintedOrder(digest, size);
  return BytesToHex(printed.data(), printed.size());
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
