#include "platform/linux/Codepage1252.h"

namespace standin::detail {
namespace {

// Bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr WCHAR kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// From Windows' best-fit table for code page 1252.
constexpr struct {
  WCHAR From;
  unsigned char To;
} kBestFit[] = {
    {0x0100, 'A'}, {0x0101, 'a'}, {0x0141, 'L'}, {0x0142, 'l'}, {0x0150, 'O'}, {0x0151, 'o'},
    {0x0179, 'Z'}, {0x017A, 'z'}, {0x017B, 'Z'}, {0x017C, 'z'}, {0xFF0F, '/'}, {0xFF3C, '\\'},
};

}  // namespace

WCHAR Utf16FromAnsi(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : static_cast<WCHAR>(byte);
}

std::optional<unsigned char> AnsiFromUtf16(WCHAR c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (unsigned i = 0; i < 32; ++i) {
    if (kHigh[i] == c) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

std::optional<unsigned char> AnsiBestFit(WCHAR c) {
  for (const auto& fit : kBestFit) {
    if (fit.From == c) return fit.To;
  }
  return std::nullopt;
}

}  // namespace standin::detail
