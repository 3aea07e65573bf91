// The exports that tell the host which hash-list formats exist.
#pragma once

#include "interfaces/Host7z.h"

extern "C" {
HRESULT KCALL GetHandlerProperty2(host::UInt32 formatIndex, PROPID propId, PROPVARIANT* value);
HRESULT KCALL GetNumberOfFormats(host::UInt32* count);
}
