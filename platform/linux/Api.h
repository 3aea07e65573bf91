// Win32 functions of the stand-in layer (Linux only), with the Windows
// signatures. Behaviour follows what Windows documents for each call; see the
// implementation files beside this header.
#pragma once

#include "platform/linux/Types.h"

// Thread's last error.
DWORD GetLastError();
void SetLastError(DWORD code);

// CryptoAPI, digests computed by nettle.
BOOL CryptAcquireContextW(HCRYPTPROV* prov, LPCWSTR container, LPCWSTR provider, DWORD provType, DWORD flags);
BOOL CryptReleaseContext(HCRYPTPROV prov, DWORD flags);
BOOL CryptCreateHash(HCRYPTPROV prov, ALG_ID algId, HCRYPTKEY key, DWORD flags, HCRYPTHASH* hash);
BOOL CryptHashData(HCRYPTHASH hash, const BYTE* data, DWORD size, DWORD flags);
BOOL CryptGetHashParam(HCRYPTHASH hash, DWORD param, BYTE* data, DWORD* size, DWORD flags);
BOOL CryptDestroyHash(HCRYPTHASH hash);

// Registry: which keys exist is set by the tests (platform/linux/TestControl.h).
LSTATUS RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegCloseKey(HKEY key);

// Profile files ("\" and "/" both separate folders in the path).
DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR buffer, DWORD size,
                               LPCWSTR fileName);

// Module path: set by the tests, "\"-separated like a Windows path.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);

// Locale text functions (the user locale is Unicode's default case mapping).
int CompareStringW(LCID locale, DWORD flags, LPCWSTR s1, int len1, LPCWSTR s2, int len2);
DWORD CharUpperBuffW(LPWSTR text, DWORD length);
DWORD CharLowerBuffW(LPWSTR text, DWORD length);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR text, int length, LPSTR out, int outSize,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR out, int outSize);
DWORD GetTickCount();

// OLE automation strings.
BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
