#include "crypt/ProviderContext.h"

#include <mutex>
#include <vector>

#include "crypt/AcquireProvider.h"

namespace {

// Guards the table and every acquisition and release. Acquiring is not
// thread-safe when it creates a key container (CRYPT_NEWKEYSET), and it
// happens about once per provider per run, so one lock for all of them costs
// nothing.
std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

// An entry some holder may keep alive, by a weak reference only: the table is
// a static, and a static must never be what releases a context.
struct TableEntry {
  WStr Name;
  DWORD Type;
  std::weak_ptr<ProviderContext> Context;
};

std::vector<TableEntry>& Table() {
  static std::vector<TableEntry> table;
  return table;
}

}  // namespace

ProviderContext::~ProviderContext() {
  std::lock_guard<std::mutex> guard(Lock());
  if (const HCRYPTPROV context = FContext.exchange(0)) CryptReleaseContext(context, 0);
}

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

ProviderContextRef ProviderContextOf(const WStr& name, DWORD type) {
  std::lock_guard<std::mutex> guard(Lock());
  auto& table = Table();
  std::erase_if(table, [](const TableEntry& entry) { return entry.Context.expired(); });
  // Only the entry of this provider is locked, and it is handed out: no
  // reference is dropped under the lock, since dropping the last one would
  // release its context, which takes the lock.
  for (const TableEntry& entry : table) {
    if (entry.Type != type || entry.Name != name) continue;
    // An entry whose last holder is letting go right now is expired: a new
    // one takes its place.
    if (ProviderContextRef held = entry.Context.lock()) return held;
  }
  auto made = std::make_shared<ProviderContext>(name, type);
  table.push_back({name, type, made});
  return made;
}
