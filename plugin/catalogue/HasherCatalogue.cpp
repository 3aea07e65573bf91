#include "plugin/catalogue/HasherCatalogue.h"

#include "plugin/catalogue/Catalogues.h"
#include "plugin/catalogue/IniFile.h"
#include "plugin/catalogue/ProviderRegistry.h"

void BuildHasherCatalogue(const WStr& iniPath) {
  // Sized to the whole table up front: hashers keep entry addresses.
  HasherAlgs.assign(BuiltinHashAlgCount, THashAlgInfo{});
  HasherAlgCount = 0;
  for (const THashAlgInfo& row : BuiltinHashAlgs()) {
    if (!ProviderRegistered(row.ProviderName)) continue;
    // Only the exact value "0" switches an algorithm off.
    if (IniReadString(iniPath, KW("Main"), row.Name) == KW("0")) continue;
    HasherAlgs[static_cast<std::size_t>(HasherAlgCount++)] = row;
  }
}
