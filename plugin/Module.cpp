#include "plugin/Module.h"

#include "base/Boundary.h"
#include "crypt/SharedProvider.h"
#include "plugin/Catalogues.h"
#include "plugin/IniFile.h"

namespace {
bool Started = false;
}

void ModuleStart(HMODULE module) {
  if (Started) return;
  Started = true;
  // Contexts that hashers acquired outside a start and end (only the tests
  // make such hashers) are not carried into this load.
  GuardSilent([] { ReleaseSharedProviders(); });
  SetIniModule(module);
  // Nothing may escape the loader's notification; a build that fails leaves
  // whatever it had reached.
  GuardSilent([] { BuildCatalogues(); });
}

void ModuleEnd(bool processEnding) {
  if (!processEnding) GuardSilent([] { ReleaseSharedProviders(); });
  if (!Started) return;
  Started = false;
  ClearCatalogues();
}
