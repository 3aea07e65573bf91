// Provider contexts shared by every digest of the module: one per provider
// (name and type) at a time, held by whoever uses it and released by the last
// holder.
//
// Why shared: acquiring a context is by far the dearest step of a digest
// (several milliseconds under Wine; on Windows it opens the user's default key
// container), while a hash of a small file takes microseconds. A context per
// hasher made a tree of small files cost one acquisition per file. CryptoAPI
// lets one context serve any number of hash objects, from any threads, as
// long as each hash object is used by one thread at a time, which is how the
// digests use them: each still makes its own hash object.
//
// Why counted, and not kept until the module ends: the module's end runs in
// the DLL's process-detach handler, under the loader lock, where a call into
// another DLL may deadlock, and releasing a context may unload the provider's
// DLL. So the hasher list, each hasher and each run of a format hold the
// context they use (ProviderContextRef), and the last of them to let go
// releases it, on the host's thread inside the host's Release: 7-Zip lets go
// of every object of the plug-in before it unloads it. Neither module start
// nor module end calls CryptoAPI, and no static object holds a context (static
// destructors run in the detach handler too): the table of providers holds
// only weak references. A host that keeps a reference past unloading leaks
// the context rather than having it released under the loader lock.
#pragma once

#include <atomic>
#include <memory>
#include <utility>

#include "platform/Win32.h"

class ProviderContext {
 public:
  ProviderContext(WStr name, DWORD type) : FName(std::move(name)), FType(type) {}
  ProviderContext(const ProviderContext&) = delete;
  ProviderContext& operator=(const ProviderContext&) = delete;
  // Releases the context, if one was acquired.
  ~ProviderContext();

  // The context, acquired now if there is none yet (CRYPT_SILENT, with the
  // retry that creates the default key container). 0 when the provider gives
  // none, with the provider's error left in GetLastError; the next call tries
  // again.
  HCRYPTPROV Context();

 private:
  const WStr FName;
  const DWORD FType;
  std::atomic<HCRYPTPROV> FContext{0};
};

// A holder of a provider's context: the context lives while one holder does.
using ProviderContextRef = std::shared_ptr<ProviderContext>;

// The provider's entry: the one that some holder keeps alive, or a new one
// (its context is acquired at its first Context()).
ProviderContextRef ProviderContextOf(const WStr& name, DWORD type);
