// The hasher exports the host finds by name in the DLL.
#pragma once

#include "interfaces/Host7z.h"

extern "C" {
HRESULT KCALL GetHashers(host::IHashers** hashers);
HRESULT KCALL SetCodecs(host::ICompressCodecsInfo* codecsInfo);
}
