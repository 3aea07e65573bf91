#pragma once

#include "platform/Win32.h"

// Whether HKLM\SOFTWARE\Microsoft\Cryptography\Defaults\Provider\<provider> exists.
bool ProviderRegistered(const WStr& provider);
