// The step rule of every run that talks to the host: any result but S_OK
// (S_FALSE included) ends the step and goes back up unchanged, as the host's
// own code does it (RINOK).
#pragma once

#include "platform/Win32.h"

#define RETURN_IF_NOT_OK(expr)                                                       \
  do {                                                                               \
    if (const HRESULT stepResult_ = (expr); stepResult_ != S_OK) return stepResult_; \
  } while (false)
