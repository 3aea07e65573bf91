// Module start and end: on Windows run from DllMain, on Linux by the tests.
// Both run under the loader lock on Windows, so neither calls CryptoAPI: the
// provider contexts belong to the objects that use them
// (crypt/ProviderContext.h), and name-derived class identifiers are made
// when the host first asks (NameFormatClassIds).
#pragma once

#include "platform/Win32.h"

// Builds the catalogues (once per load); module is the plug-in's own module,
// whose folder holds Korvane.ini.
void ModuleStart(HMODULE module);
// Empties the catalogues and releases the host's codec information (only
// after a start).
void ModuleEnd();
