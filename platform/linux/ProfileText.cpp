#include "platform/linux/Codepage1252.h"
#include "platform/linux/Profile.h"
#include "platform/linux/Utf.h"

namespace standin::detail {
namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() && bytes.substr(0, prefix.size()) == prefix;
}

std::u16string Utf16(std::string_view bytes, bool bigEndian) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back(static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
  }
  return text;
}

}  // namespace

std::u16string DecodeProfileText(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return Utf16FromUtf8(bytes.substr(3));
  if (StartsWith(bytes, "\xFF\xFE")) return Utf16(bytes.substr(2), false);
  if (StartsWith(bytes, "\xFE\xFF")) return Utf16(bytes.substr(2), true);
  std::u16string text;
  text.reserve(bytes.size());
  for (const char b : bytes) text.push_back(Utf16FromAnsi(static_cast<unsigned char>(b)));
  return text;
}

}  // namespace standin::detail
