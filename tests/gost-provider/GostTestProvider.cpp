// A CryptoAPI service provider for Korvane's tests, and for nothing else. It
// is registered under Wine as "Infotecs Cryptographic Service Provider"
// (type 2) so that Korvane's three GOST hashers run through the real
// CryptoAPI; the digests come from libgcrypt. It is no certified provider
// and no copy of one: it keeps no keys and no key containers, and every key,
// signature, encryption or random call is refused.
//
// The environment variable KORVANE_TEST_PROVIDER_REFUSE, when set, makes
// CPAcquireContext fail, as a provider that is registered but won't work.
// KORVANE_TEST_PROVIDER_COUNT, when set, makes the provider keep two counts in
// the process's environment, where they outlive the provider's own DLL (which
// CryptoAPI unloads with the last context): KORVANE_TEST_PROVIDER_CONTEXTS,
// the contexts given out and not yet released, and
// KORVANE_TEST_PROVIDER_LOCKED_RELEASES, the releases made while the calling
// thread held the loader lock (that is, from a DLL's entry point).
#include <gcrypt.h>
#include <windows.h>
// wincrypt.h and winternl.h need windows.h first.
#include <wincrypt.h>
#include <winternl.h>

#include <cstddef>
#include <cwchar>
#include <new>

namespace {

struct Algorithm {
  ALG_ID id;
  int md;  // libgcrypt's digest
  DWORD size;
};

constexpr Algorithm kAlgorithms[] = {
    {0x801E, GCRY_MD_GOSTR3411_CP, 32},  // GOST R 34.11-94, CryptoPro parameters
    {0x8021, GCRY_MD_STRIBOG256, 32},    // GOST R 34.11-2012, 256 bits
    {0x8022, GCRY_MD_STRIBOG512, 64},    // GOST R 34.11-2012, 512 bits
};

struct Context {};

struct Hash {
  const Algorithm* alg;
  gcry_md_hd_t md;
  bool finished;  // the value has been read; no more data
};

BOOL Fail(HRESULT error) {
  SetLastError(static_cast<DWORD>(error));
  return FALSE;
}

// libgcrypt wants its version check before any other call, once.
bool LibraryReady() {
  static const bool ready = [] {
    if (gcry_check_version(GCRYPT_VERSION) == nullptr) return false;
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    return true;
  }();
  return ready;
}

bool Refusing() { return GetEnvironmentVariableW(L"KORVANE_TEST_PROVIDER_REFUSE", nullptr, 0) != 0; }

bool Counting() { return GetEnvironmentVariableW(L"KORVANE_TEST_PROVIDER_COUNT", nullptr, 0) != 0; }

// Adds delta to the number that the environment variable name holds.
void AddToCount(const wchar_t* name, long delta) {
  wchar_t text[32] = L"0";
  const DWORD n = GetEnvironmentVariableW(name, text, 32);
  if (n == 0 || n >= 32) text[0] = L'0', text[1] = 0;
  wchar_t* end = nullptr;
  const long value = wcstol(text, &end, 10) + delta;
  _snwprintf(text, 32, L"%ld", value);
  text[31] = 0;
  SetEnvironmentVariableW(name, text);
}

// Whether this thread holds the loader lock: the critical section that the
// process environment block points to (at a fixed place in its layout,
// 0x110 on x64 and 0xA0 on x86, the same on Windows and Wine) names its
// owning thread.
bool HoldsLoaderLock() {
#ifdef _WIN64
  constexpr std::size_t kLoaderLock = 0x110;
#else
  constexpr std::size_t kLoaderLock = 0xA0;
#endif
  // gcc 12 takes the segment-relative read of NtCurrentTeb for an access to
  // an empty array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
  const auto* peb = reinterpret_cast<const BYTE*>(NtCurrentTeb()->ProcessEnvironmentBlock);
#pragma GCC diagnostic pop
  const auto* lock = *reinterpret_cast<const RTL_CRITICAL_SECTION* const*>(peb + kLoaderLock);
  return lock != nullptr &&
         reinterpret_cast<DWORD_PTR>(lock->OwningThread) == static_cast<DWORD_PTR>(GetCurrentThreadId());
}

const Algorithm* FindAlgorithm(ALG_ID id) {
  for (const Algorithm& a : kAlgorithms) {
    if (a.id == id) return &a;
  }
  return nullptr;
}

Hash* HashOf(HCRYPTHASH handle) { return reinterpret_cast<Hash*>(handle); }

// Copies a fixed-size value out as CryptGetHashParam does: a null buffer asks
// for the length, a short one gets ERROR_MORE_DATA and the length.
BOOL GiveValue(const void* value, DWORD size, BYTE* data, DWORD* length) {
  if (length == nullptr) return Fail(HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER));
  const DWORD room = *length;
  *length = size;
  if (data == nullptr) return TRUE;
  if (room < size) return Fail(HRESULT_FROM_WIN32(ERROR_MORE_DATA));
  CopyMemory(data, value, size);
  return TRUE;
}

constexpr DWORD kAcceptedFlags = CRYPT_VERIFYCONTEXT | CRYPT_NEWKEYSET | CRYPT_SILENT | CRYPT_MACHINE_KEYSET;

}  // namespace

#define PROVIDER_EXPORT extern "C" __declspec(dllexport) BOOL WINAPI

// --- contexts and hashes ---------------------------------------------------

// No key containers: every container name opens, and CRYPT_NEWKEYSET has
// nothing to create. Deleting a container is refused.
PROVIDER_EXPORT CPAcquireContext(HCRYPTPROV* prov, LPCSTR, DWORD flags, void*) {
  if (prov == nullptr) return Fail(HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER));
  *prov = 0;
  if ((flags & ~kAcceptedFlags) != 0) return Fail(NTE_BAD_FLAGS);
  if (Refusing()) return Fail(NTE_PROVIDER_DLL_FAIL);
  if (!LibraryReady()) return Fail(NTE_PROVIDER_DLL_FAIL);
  Context* context = new (std::nothrow) Context;
  if (context == nullptr) return Fail(NTE_NO_MEMORY);
  *prov = reinterpret_cast<HCRYPTPROV>(context);
  if (Counting()) AddToCount(L"KORVANE_TEST_PROVIDER_CONTEXTS", 1);
  return TRUE;
}

// advapi32 forgets the context whatever the answer, so it goes in any case.
PROVIDER_EXPORT CPReleaseContext(HCRYPTPROV prov, DWORD flags) {
  if (prov == 0) return Fail(NTE_BAD_UID);
  delete reinterpret_cast<Context*>(prov);
  if (Counting()) {
    AddToCount(L"KORVANE_TEST_PROVIDER_CONTEXTS", -1);
    if (HoldsLoaderLock()) AddToCount(L"KORVANE_TEST_PROVIDER_LOCKED_RELEASES", 1);
  }
  if (flags != 0) return Fail(NTE_BAD_FLAGS);
  return TRUE;
}

PROVIDER_EXPORT CPCreateHash(HCRYPTPROV prov, ALG_ID algId, HCRYPTKEY key, DWORD flags, HCRYPTHASH* hash) {
  if (prov == 0) return Fail(NTE_BAD_UID);
  if (hash == nullptr) return Fail(HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER));
  *hash = 0;
  if (flags != 0) return Fail(NTE_BAD_FLAGS);
  if (key != 0) return Fail(NTE_BAD_KEY);
  const Algorithm* alg = FindAlgorithm(algId);
  if (alg == nullptr) return Fail(NTE_BAD_ALGID);
  gcry_md_hd_t md = nullptr;
  if (gcry_md_open(&md, alg->md, 0) != 0) return Fail(NTE_FAIL);
  Hash* h = new (std::nothrow) Hash{alg, md, false};
  if (h == nullptr) {
    gcry_md_close(md);
    return Fail(NTE_NO_MEMORY);
  }
  *hash = reinterpret_cast<HCRYPTHASH>(h);
  return TRUE;
}

PROVIDER_EXPORT CPHashData(HCRYPTPROV, HCRYPTHASH hash, const BYTE* data, DWORD size, DWORD flags) {
  Hash* h = HashOf(hash);
  if (h == nullptr) return Fail(NTE_BAD_HASH);
  if (flags != 0) return Fail(NTE_BAD_FLAGS);
  if (h->finished) return Fail(NTE_BAD_HASH_STATE);
  if (data == nullptr && size != 0) return Fail(HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER));
  gcry_md_write(h->md, data, size);
  return TRUE;
}

// HP_HASHVAL finishes the hash, also when it only asks for the length; the
// value is the digest as libgcrypt gives it, byte for byte.
PROVIDER_EXPORT CPGetHashParam(HCRYPTPROV, HCRYPTHASH hash, DWORD param, BYTE* data, DWORD* length,
                               DWORD flags) {
  Hash* h = HashOf(hash);
  if (h == nullptr) return Fail(NTE_BAD_HASH);
  if (flags != 0) return Fail(NTE_BAD_FLAGS);
  switch (param) {
    case HP_ALGID: {
      const DWORD id = h->alg->id;
      return GiveValue(&id, sizeof id, data, length);
    }
    case HP_HASHSIZE: return GiveValue(&h->alg->size, sizeof h->alg->size, data, length);
    case HP_HASHVAL: {
      h->finished = true;
      const unsigned char* digest = gcry_md_read(h->md, h->alg->md);
      if (digest == nullptr) return Fail(NTE_FAIL);
      return GiveValue(digest, h->alg->size, data, length);
    }
    default: return Fail(NTE_BAD_TYPE);
  }
}

PROVIDER_EXPORT CPDestroyHash(HCRYPTPROV, HCRYPTHASH hash) {
  Hash* h = HashOf(hash);
  if (h == nullptr) return Fail(NTE_BAD_HASH);
  gcry_md_close(h->md);
  delete h;
  return TRUE;
}

// --- refused: this provider has no keys and no other parameters ------------------

PROVIDER_EXPORT CPSetHashParam(HCRYPTPROV, HCRYPTHASH, DWORD, const BYTE*, DWORD) {
  return Fail(NTE_BAD_TYPE);
}
PROVIDER_EXPORT CPGetProvParam(HCRYPTPROV, DWORD, BYTE*, DWORD*, DWORD) { return Fail(NTE_BAD_TYPE); }
PROVIDER_EXPORT CPSetProvParam(HCRYPTPROV, DWORD, const BYTE*, DWORD) { return Fail(NTE_BAD_TYPE); }
PROVIDER_EXPORT CPGenKey(HCRYPTPROV, ALG_ID, DWORD, HCRYPTKEY*) { return Fail(NTE_BAD_ALGID); }
PROVIDER_EXPORT CPDeriveKey(HCRYPTPROV, ALG_ID, HCRYPTHASH, DWORD, HCRYPTKEY*) { return Fail(NTE_BAD_ALGID); }
PROVIDER_EXPORT CPGetUserKey(HCRYPTPROV, DWORD, HCRYPTKEY*) { return Fail(NTE_NO_KEY); }
PROVIDER_EXPORT CPImportKey(HCRYPTPROV, const BYTE*, DWORD, HCRYPTKEY, DWORD, HCRYPTKEY*) {
  return Fail(NTE_BAD_TYPE);
}
PROVIDER_EXPORT CPDestroyKey(HCRYPTPROV, HCRYPTKEY) { return Fail(NTE_BAD_KEY); }
PROVIDER_EXPORT CPSetKeyParam(HCRYPTPROV, HCRYPTKEY, DWORD, const BYTE*, DWORD) { return Fail(NTE_BAD_KEY); }
PROVIDER_EXPORT CPGetKeyParam(HCRYPTPROV, HCRYPTKEY, DWORD, BYTE*, DWORD*, DWORD) {
  return Fail(NTE_BAD_KEY);
}
PROVIDER_EXPORT CPExportKey(HCRYPTPROV, HCRYPTKEY, HCRYPTKEY, DWORD, DWORD, BYTE*, DWORD*) {
  return Fail(NTE_BAD_KEY);
}
PROVIDER_EXPORT CPEncrypt(HCRYPTPROV, HCRYPTKEY, HCRYPTHASH, BOOL, DWORD, BYTE*, DWORD*, DWORD) {
  return Fail(NTE_BAD_KEY);
}
PROVIDER_EXPORT CPDecrypt(HCRYPTPROV, HCRYPTKEY, HCRYPTHASH, BOOL, DWORD, BYTE*, DWORD*) {
  return Fail(NTE_BAD_KEY);
}
PROVIDER_EXPORT CPHashSessionKey(HCRYPTPROV, HCRYPTHASH, HCRYPTKEY, DWORD) { return Fail(NTE_BAD_KEY); }
PROVIDER_EXPORT CPSignHash(HCRYPTPROV, HCRYPTHASH, DWORD, LPCWSTR, DWORD, BYTE*, DWORD*) {
  return Fail(NTE_NO_KEY);
}
PROVIDER_EXPORT CPVerifySignature(HCRYPTPROV, HCRYPTHASH, const BYTE*, DWORD, HCRYPTKEY, LPCWSTR, DWORD) {
  return Fail(NTE_BAD_KEY);
}
PROVIDER_EXPORT CPGenRandom(HCRYPTPROV, DWORD, BYTE*) { return Fail(NTE_FAIL); }
