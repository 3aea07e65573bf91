// Every function the host finds by name in the DLL, as the .def files list
// them; each wing declares and defines its own.
#pragma once

#include "plugin/ModuleProp.h"
#include "plugin/hashers/HasherExports.h"
#include "plugin/lists/FormatObjects.h"
#include "plugin/lists/FormatRegistration.h"
