// Module start and end: on Windows run from DllMain, on Linux by the tests.
#pragma once

#include "platform/Win32.h"

// Builds the catalogues (once per load); module is the plug-in's own module,
// whose folder holds Korvane.ini.
void ModuleStart(HMODULE module);
// Empties the catalogues and releases the host's codec information (only
// after a start), and releases the hashers' provider contexts, unless the
// whole process is ending: the providers' own DLLs may be gone by then, and
// the system reclaims everything with the process.
void ModuleEnd(bool processEnding = false);
