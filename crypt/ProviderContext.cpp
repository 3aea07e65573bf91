#include "crypt/ProviderContext.h"

#include <list>
#include <mutex>

#include "crypt/AcquireProvider.h"

namespace {

// Guards the list and every acquisition and release. Acquiring is not
// thread-safe when it creates a key container (CRYPT_NEWKEYSET), and it
// happens about once per provider per load, so one lock for all of them
// costs nothing.
std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

// A list: its elements never move, so references to them stay valid.
std::list<ProviderContext>& Providers() {
  static std::list<ProviderContext> providers;
  return providers;
}

}  // namespace

HCRYPTPROV ProviderContext::Context() {
  // Once acquired, the context is read without the lock.
  HCRYPTPROV context = FContext.load(std::memory_order_acquire);
  if (context != 0) return context;
  std::lock_guard<std::mutex> guard(Lock());
  context = FContext.load(std::memory_order_relaxed);
  if (context == 0 && AcquireProviderContext(&context, nullptr, FName.c_str(), FType, CRYPT_SILENT))
    FContext.store(context, std::memory_order_release);
  return context;
}

ProviderContext& ProviderContextOf(const WStr& name, DWORD type) {
  std::lock_guard<std::mutex> guard(Lock());
  for (ProviderContext& p : Providers())
    if (p.Names(name, type)) return p;
  return Providers().emplace_back(name, type);
}

void ReleaseProviderContexts() {
  std::lock_guard<std::mutex> guard(Lock());
  for (ProviderContext& p : Providers()) {
    const HCRYPTPROV context = p.FContext.exchange(0, std::memory_order_acq_rel);
    if (context != 0) CryptReleaseContext(context, 0);
  }
}
