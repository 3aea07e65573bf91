// How many files a run hashes at once: the host's "mt" option, spelt as
// 7-Zip's own formats take it: -mmt (on), -mmt=on, -mmt=off, -mmt=N, -mmtN,
// -mmt+ and -mmt-. By default, as many as the machine has processors.
#pragma once

#include "platform/Win32.h"

inline constexpr unsigned kMaxThreads = 64;

// The machine's processors (at least 1, at most kMaxThreads).
unsigned ProcessorCount();

// Whether name is the option ("mt" and what follows it, in any case).
bool IsThreadOption(const WCHAR* name);

// The threads the option asks for, between 1 and kMaxThreads ("on" is
// processors); false for a value that names no count.
bool ParseThreadOption(const WCHAR* name, const PROPVARIANT& value, unsigned processors, unsigned& threads);
