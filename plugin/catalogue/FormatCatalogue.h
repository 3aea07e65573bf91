#pragma once

#include "platform/Win32.h"

// {107929F3-7992-451F-8797-BFB79F817D85}: a CryptoAPI format's class
// identifier with Data1 replaced by the ALG_ID.
inline constexpr GUID FormatClassIdBase = {
    0x107929F3, 0x7992, 0x451F, {0x87, 0x97, 0xBF, 0xB7, 0x9F, 0x81, 0x7D, 0x85}};
// {C954E530-19F5-EE17-0A41-1B00A1BEB18F}: NameClassId of "CRC32".
inline constexpr GUID Crc32FormatClassId = {
    0xC954E530, 0x19F5, 0xEE17, {0x0A, 0x41, 0x1B, 0x00, 0xA1, 0xBE, 0xB1, 0x8F}};

// FormatClassIdBase with Data1 replaced by algId.
GUID AlgClassId(ALG_ID algId);

// Fills FormatAlgs, FormatSettings and FormatSettingParts from the section
// "Create" of the file at iniPath. The class identifiers of formats named
// after a host's hasher are left for NameFormatClassIds.
void BuildFormatCatalogue(const WStr& iniPath);
// Gives the formats named after a host's hasher their class identifiers
// (NameClassId), once per catalogue; call it before reading any ClassId. It
// is not done when the catalogue is built, at module start, because
// NameClassId computes an MD5 with CryptoAPI, and module start runs under the
// loader lock.
void NameFormatClassIds();
