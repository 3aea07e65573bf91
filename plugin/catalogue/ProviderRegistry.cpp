#include "plugin/catalogue/ProviderRegistry.h"

bool ProviderRegistered(const WStr& provider) {
  const WStr path = KW("SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\") + provider;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}
