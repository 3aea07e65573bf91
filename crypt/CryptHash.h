// Owning holder of a CryptoAPI hash object, so that no path can leave one
// behind: the holder destroys it when it goes or takes another.
#pragma once

#include <utility>

#include "platform/Win32.h"

class CryptHashHolder {
 public:
  CryptHashHolder() = default;
  // Takes over a hash object the caller made.
  explicit CryptHashHolder(HCRYPTHASH hash) : FHash(hash) {}
  CryptHashHolder(const CryptHashHolder&) = delete;
  CryptHashHolder& operator=(const CryptHashHolder&) = delete;
  CryptHashHolder(CryptHashHolder&& other) noexcept : FHash(std::exchange(other.FHash, 0)) {}
  CryptHashHolder& operator=(CryptHashHolder&& other) noexcept {
    if (this != &other) {
      Reset();
      FHash = std::exchange(other.FHash, 0);
    }
    return *this;
  }
  ~CryptHashHolder() { Reset(); }

  void Reset() {
    if (const HCRYPTHASH hash = std::exchange(FHash, 0)) CryptDestroyHash(hash);
  }
  HCRYPTHASH Get() const { return FHash; }
  explicit operator bool() const { return FHash != 0; }

 private:
  HCRYPTHASH FHash = 0;
};
