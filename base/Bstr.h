// Owning holder of a system string (BSTR).
#pragma once

#include <utility>

#include "platform/Win32.h"

class BstrHolder {
 public:
  BstrHolder() = default;
  explicit BstrHolder(BSTR s) : FStr(s) {}
  BstrHolder(const BstrHolder&) = delete;
  BstrHolder& operator=(const BstrHolder&) = delete;
  BstrHolder(BstrHolder&& other) noexcept : FStr(std::exchange(other.FStr, nullptr)) {}
  ~BstrHolder() { SysFreeString(FStr); }

  BSTR Get() const { return FStr; }
  BSTR Detach() { return std::exchange(FStr, nullptr); }

 private:
  BSTR FStr = nullptr;
};

// A new system string of the text; throws EOutOfMemory when none can be made.
BSTR NewBstr(const WStr& text);
