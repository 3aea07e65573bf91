#include "plugin/catalogue/IniFile.h"

#include <memory>

namespace {
HMODULE IniModule = nullptr;
}

void SetIniModule(HMODULE module) { IniModule = module; }

WStr IniFileName() {
  // A path longer than MAX_PATH would come back cut and name a file that
  // doesn't exist; the buffer grows until the whole path fits.
  std::vector<WCHAR> buffer(MAX_PATH + 1);
  DWORD length = 0;
  for (;;) {
    length = GetModuleFileNameW(IniModule, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size() || buffer.size() >= 32768) break;
    buffer.resize(buffer.size() * 4);
  }
  WStr path(buffer.data(), length);
  const auto slash = path.rfind(KW('\\'));
  if (slash != WStr::npos) path.erase(slash + 1);
  return path + KW("Korvane.ini");
}

WStr IniReadString(const WStr& path, const WStr& section, const WStr& key) {
  constexpr DWORD kSize = 2048;
  std::vector<WCHAR> buffer(kSize);
  const DWORD n =
      GetPrivateProfileStringW(section.c_str(), key.c_str(), KW(""), buffer.data(), kSize, path.c_str());
  return WStr(buffer.data(), n);
}

std::vector<WStr> IniSectionKeys(const WStr& path, const WStr& section) {
  DWORD size = 1024;
  std::vector<WCHAR> buffer;
  DWORD count = 0;
  for (;;) {
    buffer.assign(size, 0);
    count = GetPrivateProfileStringW(section.c_str(), nullptr, nullptr, buffer.data(), size, path.c_str());
    if (count < size - 2) break;
    size *= 4;
  }
  std::vector<WStr> keys;
  for (DWORD i = 0; count != 0 && i < count;) {
    const WStr key(buffer.data() + i);
    if (key.empty()) break;
    keys.push_back(key);
    i += static_cast<DWORD>(key.size()) + 1;
  }
  return keys;
}
