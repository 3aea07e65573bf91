// The export that tells the host what the module as a whole is.
#pragma once

#include "interfaces/Host7z.h"

extern "C" {
// The module's interface layout (PROPID 0) and version (PROPID 1), both
// VT_UI4; any other PROPID leaves the value empty.
HRESULT KCALL GetModuleProp(PROPID propId, PROPVARIANT* value);
}
