// Benchmark reference: the plainest CryptoAPI use for a tree of files. One
// provider context for the whole run (acquired as Korvane acquires it), then
// for each file a hash object, the file's data in 1 MiB reads, the hash value.
// Prints one line per file, "<DIGEST> *<path>" with CRLF, the layout of
// Korvane's default lists, so that its output can be compared with theirs.
// Usage: cryptoloop.exe MD5|SHA-1|SHA-256 PATH...   (files or folders; a
// folder's files in name order, recursively)
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>
// wincrypt.h needs windows.h first.
#include <wincrypt.h>

enum { kReadSize = 1 << 20 };

static HCRYPTPROV prov;
static ALG_ID algId;
static BYTE* buffer;
static unsigned long files;

static int HashFile(const wchar_t* path) {
  HANDLE file =
      CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
  if (file == INVALID_HANDLE_VALUE) {
    fwprintf(stderr, L"can't open %ls: %lu\n", path, GetLastError());
    return 0;
  }
  HCRYPTHASH hash = 0;
  int ok = CryptCreateHash(prov, algId, 0, 0, &hash);
  DWORD got = 0;
  while (ok && (ok = ReadFile(file, buffer, kReadSize, &got, NULL)) && got != 0)
    ok = CryptHashData(hash, buffer, got, 0);
  BYTE digest[64];
  DWORD length = sizeof digest;
  if (ok) ok = CryptGetHashParam(hash, HP_HASHVAL, digest, &length, 0);
  if (hash != 0) CryptDestroyHash(hash);
  CloseHandle(file);
  if (!ok) {
    fwprintf(stderr, L"can't hash %ls: %lu\n", path, GetLastError());
    return 0;
  }
  for (DWORD i = 0; i < length; ++i) printf("%02X", digest[i]);
  printf(" *%ls\r\n", path);
  ++files;
  return 1;
}

static int CompareNames(const void* a, const void* b) {
  return wcscmp(*(wchar_t* const*)a, *(wchar_t* const*)b);
}

static int HashPath(const wchar_t* path) {
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    fwprintf(stderr, L"no such file: %ls\n", path);
    return 0;
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return HashFile(path);

  const size_t base = wcslen(path);
  wchar_t* pattern = malloc((base + 3) * sizeof(wchar_t));
  swprintf(pattern, base + 3, L"%ls\\*", path);
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(pattern, &found);
  free(pattern);
  if (find == INVALID_HANDLE_VALUE) return 1;  // an empty folder
  wchar_t** names = NULL;
  size_t count = 0, capacity = 0;
  do {
    if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) continue;
    if (count == capacity) {
      capacity = capacity ? capacity * 2 : 64;
      names = realloc(names, capacity * sizeof *names);
    }
    const size_t n = base + 2 + wcslen(found.cFileName);
    names[count] = malloc(n * sizeof(wchar_t));
    swprintf(names[count], n, L"%ls\\%ls", path, found.cFileName);
    ++count;
  } while (FindNextFileW(find, &found));
  FindClose(find);
  qsort(names, count, sizeof *names, CompareNames);
  int ok = 1;
  for (size_t i = 0; i < count; ++i) {
    ok = ok && HashPath(names[i]);
    free(names[i]);
  }
  free(names);
  return ok;
}

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    fwprintf(stderr, L"usage: cryptoloop MD5|SHA-1|SHA-256 PATH...\n");
    return 2;
  }
  const wchar_t* provider = MS_DEF_PROV_W;
  DWORD type = PROV_RSA_FULL;
  if (wcscmp(argv[1], L"MD5") == 0) {
    algId = CALG_MD5;
  } else if (wcscmp(argv[1], L"SHA-1") == 0) {
    algId = CALG_SHA1;
  } else if (wcscmp(argv[1], L"SHA-256") == 0) {
    algId = CALG_SHA_256;
    provider = MS_ENH_RSA_AES_PROV_W;
    type = PROV_RSA_AES;
  } else {
    fwprintf(stderr, L"unknown algorithm %ls\n", argv[1]);
    return 2;
  }
  if (!CryptAcquireContextW(&prov, NULL, provider, type, CRYPT_SILENT)) {
    const DWORD error = GetLastError();
    if ((error != (DWORD)NTE_BAD_KEYSET && error != (DWORD)NTE_KEYSET_NOT_DEF) ||
        !CryptAcquireContextW(&prov, NULL, provider, type, CRYPT_SILENT | CRYPT_NEWKEYSET)) {
      fwprintf(stderr, L"can't acquire %ls: %lu\n", provider, GetLastError());
      return 1;
    }
  }
  _setmode(_fileno(stdout), _O_BINARY);  // the lines end in CRLF already
  buffer = malloc(kReadSize);
  int ok = buffer != NULL;
  for (int i = 2; ok && i < argc; ++i) ok = HashPath(argv[i]);
  free(buffer);
  CryptReleaseContext(prov, 0);
  fflush(stdout);
  fwprintf(stderr, L"%lu files\n", files);
  return ok ? 0 : 1;
}
