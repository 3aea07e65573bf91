#include "plugin/Module.h"

#include "base/Boundary.h"
#include "crypt/ProviderContext.h"
#include "plugin/catalogue/Catalogues.h"
#include "plugin/catalogue/IniFile.h"

namespace {
bool Started = false;
}

void ModuleStart(HMODULE module) {
  if (Started) return;
  Started = true;
  // Contexts that hashers acquired outside a start and end (only the tests
  // make such hashers) are not carried into this load.
  GuardSilent([] { ReleaseProviderContexts(); });
  SetIniModule(module);
  // Nothing may escape the loader's notification; a build that fails leaves
  // whatever it had reached.
  GuardSilent([] { BuildCatalogues(); });
}

void ModuleEnd(bool processEnding) {
  if (!processEnding) GuardSilent([] { ReleaseProviderContexts(); });
  if (!Started) return;
  Started = false;
  ClearCatalogues();
}
