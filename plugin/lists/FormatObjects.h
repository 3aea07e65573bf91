// The export that makes format handlers and parameter sets.
#pragma once

#include "interfaces/Host7z.h"

extern "C" HRESULT KCALL CreateObject(const GUID* clsid, const GUID* iid, void** object);
