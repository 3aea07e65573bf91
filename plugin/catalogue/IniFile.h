// Korvane.ini beside the plug-in's own file, read through the profile calls.
#pragma once

#include <vector>

#include "platform/Win32.h"

// The module whose folder holds Korvane.ini (set at module start).
void SetIniModule(HMODULE module);
WStr IniFileName();
// One value; missing file, section or key read as empty.
WStr IniReadString(const WStr& path, const WStr& section, const WStr& key);
// All key names of a section in file order.
std::vector<WStr> IniSectionKeys(const WStr& path, const WStr& section);
