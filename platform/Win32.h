// The Win32 surface the plug-in calls. On Windows this is the real SDK; on
// Linux it is our stand-in layer (platform/linux), which answers the same
// calls the way the calling code expects from Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// Each of these needs the ones before it.
// clang-format off
#include <windows.h>
#include <wincrypt.h>
#include <oleauto.h>
#include <propidl.h>
// clang-format on

// UTF-16 text literal of the platform's wide character type.
#define KW(s) L##s
#else
// The types first.
// clang-format off
#include "platform/linux/Types.h"
#include "platform/linux/Api.h"
#include "platform/linux/Unknown.h"
// clang-format on
#define KW(s) u##s
#endif

// Calling convention of every export and every interface method: standard-call
// on 32-bit x86 (on Windows and in the i386 Linux test build alike), the
// platform's default elsewhere.
#if defined(__i386__)
#define KCALL __attribute__((stdcall))
#else
#define KCALL
#endif

using WStr = std::basic_string<WCHAR>;
using WStrView = std::basic_string_view<WCHAR>;
