// Module-wide catalogues, built at module start and read-only until module
// end. Hasher objects and format handlers keep addresses of entries, so the
// arrays are never reallocated once built.
#pragma once

#include <vector>

#include "base/ComPtr.h"
#include "crypt/HashAlgInfo.h"
#include "interfaces/Host7z.h"
#include "plugin/catalogue/FormatSetting.h"

// Hasher catalogue: entries 0 .. HasherAlgCount-1 of HasherAlgs.
extern std::vector<THashAlgInfo> HasherAlgs;
extern std::int32_t HasherAlgCount;

// Format catalogue: entries 0 .. FormatCount-1 of FormatAlgs, FormatSettings
// (the raw "Create" value: extension, ":", line format) and
// FormatSettingParts (that value taken apart once, when the catalogue is built).
extern std::vector<THashAlgInfo> FormatAlgs;
extern std::vector<WStr> FormatSettings;
extern std::vector<FormatSetting> FormatSettingParts;
extern std::int32_t FormatCount;

// The host's codec information, as last given to SetCodecs.
extern ComPtr<host::ICompressCodecsInfo> HostCodecsInfo;

// Module start: the hasher catalogue, then the format catalogue, both from
// Korvane.ini beside the module.
void BuildCatalogues();
// Module end: empties both catalogues and drops HostCodecsInfo.
void ClearCatalogues();
