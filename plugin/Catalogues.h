// Module-wide catalogues, built at module start and read-only until module
// end. Hasher objects and format handlers keep addresses of entries, so the
// arrays are never reallocated once built.
#pragma once

#include <vector>

#include "base/ComPtr.h"
#include "crypt/HashAlgInfo.h"
#include "interfaces/Host7z.h"

// Hasher catalogue: entries 0 .. HasherAlgCount-1 of HasherAlgs.
extern std::vector<THashAlgInfo> HasherAlgs;
extern std::int32_t HasherAlgCount;

// Format catalogue: entries 0 .. FormatCount-1 of FormatAlgs and
// FormatSettings (the raw "Create" value: extension, ":", line format).
extern std::vector<THashAlgInfo> FormatAlgs;
extern std::vector<WStr> FormatSettings;
extern std::int32_t FormatCount;

// The host's codec information, as last given to SetCodecs.
extern ComPtr<host::ICompressCodecsInfo> HostCodecsInfo;

// {107929F3-7992-451F-8797-BFB79F817D85}: a CryptoAPI format's class
// identifier with Data1 replaced by the ALG_ID.
inline constexpr GUID FormatClassIdBase = {
    0x107929F3, 0x7992, 0x451F, {0x87, 0x97, 0xBF, 0xB7, 0x9F, 0x81, 0x7D, 0x85}};
// {C954E530-19F5-EE17-0A41-1B00A1BEB18F}: NameClassId of "CRC32".
inline constexpr GUID Crc32FormatClassId = {
    0xC954E530, 0x19F5, 0xEE17, {0x0A, 0x41, 0x1B, 0x00, 0xA1, 0xBE, 0xB1, 0x8F}};

// Module start: both catalogues. Module end: empties them and drops HostCodecsInfo.
void BuildCatalogues();
void BuildFormatCatalogue(const WStr& iniPath);
void ClearCatalogues();

GUID AlgClassId(ALG_ID algId);
GUID NameClassId(const WStr& name);

// Whether HKLM\SOFTWARE\Microsoft\Cryptography\Defaults\Provider\<provider> exists.
bool ProviderRegistered(const WStr& provider);
