// CryptoAPI over the provider table of CryptoProviders.cpp; nettle computes
// every digest. Answers follow the Windows provider layer and the Microsoft
// providers:
// - a provider is acquired only when the table knows it and its key is in the
//   registry; a registered name the table does not know can't be loaded;
// - the only key container is each provider's default one (container NULL or
//   ""); another name is refused with NTE_BAD_KEYSET_PARAM. The default
//   container exists until MissingKeyset or CRYPT_DELETEKEYSET removes it and
//   CRYPT_NEWKEYSET creates it again; CRYPT_MACHINE_KEYSET shares it;
// - handles that are 0, released or never given out are refused with
//   ERROR_INVALID_PARAMETER, as the Windows provider layer does;
// - asking for the hash value finishes the hash object, even when only its
//   length is asked for or the buffer is too small; after that CryptHashData
//   fails with NTE_BAD_HASH_STATE.
#include <nettle/nettle-meta.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/linux/Api.h"
#include "platform/linux/CaseMap.h"
#include "platform/linux/CryptoProviders.h"
#include "platform/linux/State.h"
#include "platform/linux/TestControl.h"

using standin::detail::CryptoProvider;
using standin::detail::HashAlgorithm;

namespace {

constexpr DWORD kMaxProviderType = 999;
constexpr DWORD kHashDataUserFlag = 0x1;  // CRYPT_USERDATA: accepted, no meaning here

// What the tests have done to one provider.
struct ProviderState {
  bool refused = false;
  std::set<ALG_ID> refusedAlgorithms;
  bool containerMissing = false;
};

struct HashObject {
  const HashAlgorithm* algorithm = nullptr;
  std::vector<std::max_align_t> context;  // nettle's state, suitably aligned
  bool finished = false;
  std::array<std::uint8_t, 64> value{};
};

struct Crypto {
  std::mutex mutex;
  std::map<std::u16string, ProviderState> providers;  // by case-folded name
  std::map<ULONG_PTR, const CryptoProvider*> contexts;
  std::map<ULONG_PTR, std::unique_ptr<HashObject>> hashes;
  ULONG_PTR nextHandle = 0x10000;
};

Crypto& State() {
  static Crypto crypto;
  return crypto;
}

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

BOOL Fail(HRESULT code) { return Fail(static_cast<DWORD>(code)); }

std::u16string Folded(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) c = standin::detail::FoldUnit(c);
  return folded;
}

// Caller holds the lock.
ProviderState& StateOf(Crypto& c, const CryptoProvider& provider) {
  return c.providers[Folded(provider.name)];
}

ULONG_PTR NewHandle(Crypto& c) {
  const ULONG_PTR handle = c.nextHandle;
  c.nextHandle += 8;
  return handle;
}

// Caller holds the lock; null for an unknown handle.
HashObject* FindHash(Crypto& c, HCRYPTHASH hash) {
  const auto it = c.hashes.find(hash);
  return it == c.hashes.end() ? nullptr : it->second.get();
}

void Finish(HashObject& h) {
  if (h.finished) return;
  h.algorithm->digest->digest(h.context.data(), h.algorithm->digest->digest_size, h.value.data());
  h.finished = true;
}

// Copies a parameter the way the providers do: length query without a
// buffer, ERROR_MORE_DATA with the needed length when the buffer is short.
BOOL CopyParam(BYTE* data, DWORD* size, const void* param, DWORD paramSize) {
  if (data != nullptr) {
    if (*size < paramSize) {
      *size = paramSize;
      return Fail(ERROR_MORE_DATA);
    }
    std::memcpy(data, param, paramSize);
  }
  *size = paramSize;
  return TRUE;
}

}  // namespace

BOOL CryptAcquireContextW(HCRYPTPROV* prov, LPCWSTR container, LPCWSTR provider, DWORD provType,
                          DWORD flags) {
  using namespace standin::detail;
  if (provType < 1 || provType > kMaxProviderType) return Fail(NTE_BAD_PROV_TYPE);
  if (prov == nullptr) return Fail(ERROR_INVALID_PARAMETER);

  const CryptoProvider* p = nullptr;
  if (provider == nullptr) {
    p = DefaultProvider(provType);
    if (p == nullptr || !RegistryKeyExists(ProviderKey(p->name))) return Fail(NTE_PROV_TYPE_NOT_DEF);
  } else {
    if (!RegistryKeyExists(ProviderKey(provider))) return Fail(NTE_KEYSET_NOT_DEF);
    p = FindProvider(provider);
    if (p == nullptr) return Fail(NTE_PROV_TYPE_ENTRY_BAD);
    if (p->type != provType) return Fail(NTE_PROV_TYPE_NO_MATCH);
  }

  Crypto& c = State();
  std::lock_guard<std::mutex> lock(c.mutex);
  ProviderState& state = StateOf(c, *p);
  if (state.refused) return Fail(NTE_PROVIDER_DLL_FAIL);

  const bool defaultContainer = container == nullptr || container[0] == 0;
  switch (flags & (CRYPT_NEWKEYSET | CRYPT_VERIFYCONTEXT | CRYPT_DELETEKEYSET)) {
    case 0:
      if (!defaultContainer) return Fail(NTE_BAD_KEYSET_PARAM);
      if (state.containerMissing) return Fail(NTE_BAD_KEYSET);
      break;
    case CRYPT_NEWKEYSET:
      if (!defaultContainer) return Fail(NTE_BAD_KEYSET_PARAM);
      if (!state.containerMissing) return Fail(NTE_EXISTS);
      state.containerMissing = false;
      break;
    case CRYPT_DELETEKEYSET:
      if (!defaultContainer) return Fail(NTE_BAD_KEYSET_PARAM);
      if (state.containerMissing) return Fail(NTE_BAD_KEYSET);
      state.containerMissing = true;
      return TRUE;  // deleting gives no context
    case CRYPT_VERIFYCONTEXT:
    case CRYPT_VERIFYCONTEXT | CRYPT_NEWKEYSET:
      if (!defaultContainer) return Fail(NTE_BAD_FLAGS);
      break;
    default: return Fail(NTE_BAD_FLAGS);
  }
  const ULONG_PTR handle = NewHandle(c);
  c.contexts.emplace(handle, p);
  *prov = handle;
  return TRUE;
}

BOOL CryptReleaseContext(HCRYPTPROV prov, DWORD flags) {
  Crypto& c = State();
  std::lock_guard<std::mutex> lock(c.mutex);
  if (c.contexts.erase(prov) == 0) return Fail(ERROR_INVALID_PARAMETER);
  // Non-zero flags are refused, but the context is released all the same.
  if (flags != 0) return Fail(NTE_BAD_FLAGS);
  return TRUE;
}

BOOL CryptCreateHash(HCRYPTPROV prov, ALG_ID algId, HCRYPTKEY key, DWORD flags, HCRYPTHASH* hash) {
  Crypto& c = State();
  std::lock_guard<std::mutex> lock(c.mutex);
  const auto it = c.contexts.find(prov);
  // No key objects exist here, so any key handle is not a valid one.
  if (it == c.contexts.end() || hash == nullptr || key != 0) return Fail(ERROR_INVALID_PARAMETER);
  if (flags != 0) return Fail(NTE_BAD_FLAGS);
  const CryptoProvider& provider = *it->second;
  const HashAlgorithm* algorithm = standin::detail::FindAlgorithm(provider, algId);
  if (algorithm == nullptr || StateOf(c, provider).refusedAlgorithms.count(algId) != 0) {
    return Fail(NTE_BAD_ALGID);
  }
  auto object = std::make_unique<HashObject>();
  object->algorithm = algorithm;
  const std::size_t unit = sizeof(std::max_align_t);
  object->context.resize((algorithm->digest->context_size + unit - 1) / unit);
  algorithm->digest->init(object->context.data());
  const ULONG_PTR handle = NewHandle(c);
  c.hashes.emplace(handle, std::move(object));
  *hash = handle;
  return TRUE;
}

BOOL CryptHashData(HCRYPTHASH hash, const BYTE* data, DWORD size, DWORD flags) {
  HashObject* h = nullptr;
  {
    Crypto& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    h = FindHash(c, hash);
  }
  // A hash object is used by one caller at a time, so its state needs no lock.
  if (h == nullptr || (data == nullptr && size != 0)) return Fail(ERROR_INVALID_PARAMETER);
  if ((flags & ~kHashDataUserFlag) != 0) return Fail(NTE_BAD_FLAGS);
  if (h->finished) return Fail(NTE_BAD_HASH_STATE);
  if (size != 0) h->algorithm->digest->update(h->context.data(), size, data);
  return TRUE;
}

BOOL CryptGetHashParam(HCRYPTHASH hash, DWORD param, BYTE* data, DWORD* size, DWORD flags) {
  HashObject* h = nullptr;
  {
    Crypto& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    h = FindHash(c, hash);
  }
  if (h == nullptr || size == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if (flags != 0) return Fail(NTE_BAD_FLAGS);
  const DWORD digestSize = h->algorithm->digest->digest_size;
  switch (param) {
    case HP_ALGID: {
      const DWORD algId = h->algorithm->algId;
      return CopyParam(data, size, &algId, sizeof algId);
    }
    case HP_HASHSIZE: return CopyParam(data, size, &digestSize, sizeof digestSize);
    case HP_HASHVAL: Finish(*h); return CopyParam(data, size, h->value.data(), digestSize);
    default: return Fail(NTE_BAD_TYPE);
  }
}

BOOL CryptDestroyHash(HCRYPTHASH hash) {
  Crypto& c = State();
  std::lock_guard<std::mutex> lock(c.mutex);
  if (c.hashes.erase(hash) == 0) return Fail(ERROR_INVALID_PARAMETER);
  return TRUE;
}

namespace standin {

void RegisterAllProviders() {
  for (const detail::CryptoProvider& p : detail::Providers())
    detail::AddRegistryKey(detail::ProviderKey(p.name));
}

void RefuseContext(const std::u16string& provider) {
  Crypto& c = State();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.providers[Folded(provider)].refused = true;
}

void RefuseAlgorithm(const std::u16string& provider, ALG_ID algId) {
  Crypto& c = State();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.providers[Folded(provider)].refusedAlgorithms.insert(algId);
}

void MissingKeyset(const std::u16string& provider) {
  Crypto& c = State();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.providers[Folded(provider)].containerMissing = true;
}

int OpenContexts() {
  Crypto& c = State();
  std::lock_guard<std::mutex> lock(c.mutex);
  return static_cast<int>(c.contexts.size());
}

int OpenHashes() {
  Crypto& c = State();
  std::lock_guard<std::mutex> lock(c.mutex);
  return static_cast<int>(c.hashes.size());
}

namespace detail {

// Open contexts and hash objects stay open: the counts must still show leaks.
void ResetCrypto() {
  Crypto& c = State();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.providers.clear();
}

}  // namespace detail
}  // namespace standin
