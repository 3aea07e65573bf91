#include "plugin/Module.h"

#include "base/Boundary.h"
#include "plugin/catalogue/Catalogues.h"
#include "plugin/catalogue/IniFile.h"

namespace {
bool Started = false;
}

void ModuleStart(HMODULE module) {
  if (Started) return;
  Started = true;
  SetIniModule(module);
  // Nothing may escape the loader's notification; a build that fails leaves
  // whatever it had reached.
  GuardSilent([] { BuildCatalogues(); });
}

void ModuleEnd() {
  if (!Started) return;
  Started = false;
  ClearCatalogues();
}
