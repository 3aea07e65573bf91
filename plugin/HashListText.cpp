#include "plugin/HashListText.h"

#include "base/Errors.h"
#include "base/LocaleText.h"

namespace {

const WCHAR kHexDigits[] = KW("0123456789ABCDEF");

// Replaces the first occurrence of placeholder found in `searched` (a copy of
// text of the same length) by value.
bool ReplaceFirst(WStr& text, const WStr& searched, const WStr& placeholder, const WStr& value) {
  const auto at = searched.find(placeholder);
  if (at == WStr::npos) return false;
  text.replace(at, placeholder.size(), value);
  return true;
}

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
  for (std::size_t i = 0; i < size; ++i) {
    text.push_back(kHexDigits[digest[i] >> 4]);
    text.push_back(kHexDigits[digest[i] & 15]);
  }
  return text;
}

WStr ComposeLine(const WStr& lineFormat, const WStr& path, const WStr& hashName,
                 const WStr& digestHex) {
  WStr text = lineFormat;
  ReplaceFirst(text, UpperCased(text), KW("%FILENAME%"), path);
  ReplaceFirst(text, UpperCased(text), KW("%HASHNAME%"), hashName);
  if (!ReplaceFirst(text, text, KW("%HASH%"), UpperCased(digestHex)) &&
      !ReplaceFirst(text, text, KW("%hash%"), LowerCased(digestHex)))
    ReplaceFirst(text, UpperCased(text), KW("%HASH%"), UpperCased(digestHex));
  return text;
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
