#pragma once

#include "platform/Win32.h"

// The text from the name's last "." to its end, or empty when a "\" comes
// after it or there is none.
WStr FileExtension(const WStr& name);
