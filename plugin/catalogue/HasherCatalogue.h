#pragma once

#include "platform/Win32.h"

// Fills HasherAlgs with the built-in rows whose provider is registered and
// which the section "Main" of the file at iniPath does not switch off.
void BuildHasherCatalogue(const WStr& iniPath);
