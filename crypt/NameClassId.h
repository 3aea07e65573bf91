#pragma once

#include "platform/Win32.h"

// The class identifier of a format named by a name that no built-in row has:
// the MD5 of the lower-cased name's UTF-16LE code units, straight into the
// GUID's 16 bytes (Data1..Data3 little-endian, Data4 as is). All zeros when
// the base provider's MD5 gives no digest.
GUID NameClassId(const WStr& name);
