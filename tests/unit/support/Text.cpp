#include "tests/unit/support/Text.h"

namespace testing_text {

std::string Hex(const void* data, std::size_t size) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  auto p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) {
    s.push_back(digits[p[i] >> 4]);
    s.push_back(digits[p[i] & 15]);
  }
  return s;
}

std::string Utf8(const WStr& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t c = static_cast<std::uint16_t>(text[i]);
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
      const std::uint32_t low = static_cast<std::uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

WStr Wide(const std::string& utf8) {
  WStr out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    std::uint32_t c = b;
    int extra = 0;
    if (b >= 0xF0) { c = b & 0x07; extra = 3; }
    else if (b >= 0xE0) { c = b & 0x0F; extra = 2; }
    else if (b >= 0xC0) { c = b & 0x1F; extra = 1; }
    ++i;
    for (int k = 0; k < extra && i < utf8.size(); ++k, ++i)
      c = (c << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<WCHAR>(0xD800 + (c >> 10)));
      out.push_back(static_cast<WCHAR>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<WCHAR>(c));
    }
  }
  return out;
}

}  // namespace testing_text
