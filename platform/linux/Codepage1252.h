// Windows-1252, the ANSI code page the stand-in answers for. Its five unused
// bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same
// value, as in the Windows table.
#pragma once

#include <optional>

#include "platform/linux/Types.h"

namespace standin::detail {

WCHAR Utf16FromAnsi(unsigned char byte);
// The byte for a UTF-16 unit, or nothing when the code page lacks it.
std::optional<unsigned char> AnsiFromUtf16(WCHAR c);
// Windows' best-fit byte for a UTF-16 unit the code page lacks, for a few
// characters of its table (Latin letters with marks, fullwidth forms); the
// rest of the table is left out: a test needs only to see best fit happen.
std::optional<unsigned char> AnsiBestFit(WCHAR c);

}  // namespace standin::detail
