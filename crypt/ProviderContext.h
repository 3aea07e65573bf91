// Provider contexts shared by every digest of the module: one per provider
// (name and type), acquired at its first use and kept until module end.
//
// Why shared: acquiring a context is by far the dearest step of a digest
// (several milliseconds under Wine; on Windows it opens the user's default key
// container), while a hash of a small file takes microseconds. A context per
// hasher made a tree of small files cost one acquisition per file. CryptoAPI
// lets one context serve any number of hash objects, from any threads, as
// long as each hash object is used by one thread at a time, which is how the
// digests use them: each still makes its own hash object.
//
// The contexts are released by ReleaseProviderContexts, not by a destructor:
// at process end the providers' own DLLs may be gone before the module's
// statics, and the system reclaims the contexts with the process anyway.
#pragma once

#include <atomic>
#include <utility>

#include "platform/Win32.h"

class ProviderContext {
 public:
  ProviderContext(WStr name, DWORD type) : FName(std::move(name)), FType(type) {}
  ProviderContext(const ProviderContext&) = delete;
  ProviderContext& operator=(const ProviderContext&) = delete;

  // The context, acquired now if there is none yet (CRYPT_SILENT, with the
  // retry that creates the default key container). 0 when the provider gives
  // none; the next call tries again.
  HCRYPTPROV Context();

  bool Names(const WStr& name, DWORD type) const { return FType == type && FName == name; }

 private:
  friend void ReleaseProviderContexts();
  const WStr FName;
  const DWORD FType;
  std::atomic<HCRYPTPROV> FContext{0};
};

// The module's entry for that provider, made at its first request; entries
// live as long as the process, so a digest may keep the reference.
ProviderContext& ProviderContextOf(const WStr& name, DWORD type);

// Releases every context (module start and end). No digest may be between
// its start and its last use of a hash object then; a later use acquires anew.
void ReleaseProviderContexts();
