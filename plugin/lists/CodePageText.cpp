#include "plugin/lists/CodePageText.h"

#include "base/Errors.h"

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
