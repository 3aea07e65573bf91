// IUnknown of the stand-in layer (Linux only), with the COM method table.
#pragma once

#include "platform/linux/Types.h"

#if defined(__i386__)
#define KORVANE_STANDIN_CALL __attribute__((stdcall))
#else
#define KORVANE_STANDIN_CALL
#endif

struct IUnknown {
  virtual HRESULT KORVANE_STANDIN_CALL QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG KORVANE_STANDIN_CALL AddRef() = 0;
  virtual ULONG KORVANE_STANDIN_CALL Release() = 0;

 protected:
  ~IUnknown() = default;
};

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
