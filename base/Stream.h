#pragma once

#include "interfaces/Host7z.h"

// Writes the whole buffer to a host stream. A stream error comes back as it
// came; a stream that accepts nothing gives S_FALSE; one that reports more
// than it was given gives E_FAIL. processed (optional) counts what was written.
HRESULT WriteToStream(host::ISequentialOutStream* stream, const void* data, host::UInt32 size,
                      host::UInt32* processed);
