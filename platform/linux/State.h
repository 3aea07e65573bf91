// What the parts of the stand-in layer share among themselves: the hooks that
// standin::Reset() calls, and the registry as the CryptoAPI part sees it.
#pragma once

#include <string>
#include <string_view>

namespace standin::detail {

void ResetRegistry();
void ResetCrypto();
void ResetModulePath();
void ResetTickCount();

// Whether the key (a path under HKEY_LOCAL_MACHINE) exists; adds one.
bool RegistryKeyExists(std::u16string_view path);
void AddRegistryKey(std::u16string_view path);

}  // namespace standin::detail
