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
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

bool AnsiIsWindows1252() {
#ifdef _WIN32
  return GetACP() == 1252;
#else
  return true;
#endif
}

}  // namespace testing_text
