// The functions the host finds by name in the DLL.
#pragma once

#include "interfaces/Host7z.h"

extern "C" {
HRESULT KCALL GetHashers(host::IHashers** hashers);
HRESULT KCALL SetCodecs(host::ICompressCodecsInfo* codecsInfo);
HRESULT KCALL CreateObject(const GUID* clsid, const GUID* iid, void** object);
HRESULT KCALL GetHandlerProperty2(host::UInt32 formatIndex, PROPID propId, PROPVARIANT* value);
HRESULT KCALL GetNumberOfFormats(host::UInt32* count);
// The module's interface layout (PROPID 0) and version (PROPID 1), both
// VT_UI4; any other PROPID leaves the value empty.
HRESULT KCALL GetModuleProp(PROPID propId, PROPVARIANT* value);
}
