// Win32 types and constants of the stand-in layer (Linux only). Sizes and
// layouts follow Windows: DWORD and ULONG are 32-bit, WCHAR is UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using BOOL = std::int32_t;
using HRESULT = std::int32_t;
using LSTATUS = std::int32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using ULONG_PTR = std::uintptr_t;
using UINT_PTR = std::uintptr_t;
using SIZE_T = std::size_t;
using WCHAR = char16_t;
using OLECHAR = WCHAR;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPBOOL = BOOL*;
using BSTR = OLECHAR*;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using PROPID = ULONG;
using LCID = DWORD;
using ALG_ID = std::uint32_t;
using HCRYPTPROV = ULONG_PTR;
using HCRYPTHASH = ULONG_PTR;
using HCRYPTKEY = ULONG_PTR;
using REGSAM = DWORD;

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using REFGUID = const GUID&;

bool IsEqualGUID(REFGUID a, REFGUID b);
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
inline bool operator!=(REFGUID a, REFGUID b) { return !IsEqualGUID(a, b); }

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

union LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  LONGLONG QuadPart;
};
union ULARGE_INTEGER {
  struct {
    DWORD LowPart;
    DWORD HighPart;
  } u;
  ULONGLONG QuadPart;
};

struct BLOB {
  ULONG cbSize;
  BYTE* pBlobData;
};

// Same layout as the Windows PROPVARIANT: a 16-bit tag, three reserved words,
// then the payload (16 bytes in all on 32-bit, 24 on 64-bit).
struct PROPVARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    char cVal;
    BYTE bVal;
    SHORT iVal;
    USHORT uiVal;
    LONG lVal;
    ULONG ulVal;
    INT intVal;
    UINT uintVal;
    LARGE_INTEGER hVal;
    ULARGE_INTEGER uhVal;
    float fltVal;
    double dblVal;
    VARIANT_BOOL boolVal;
    HRESULT scode;
    FILETIME filetime;
    BSTR bstrVal;
    void* byref;
    BLOB blob;
  };
};

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_FILETIME = 64,
};

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// Result codes.
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT NTE_BAD_HASH = static_cast<HRESULT>(0x80090002u);
constexpr HRESULT NTE_BAD_LEN = static_cast<HRESULT>(0x80090004u);
constexpr HRESULT NTE_BAD_ALGID = static_cast<HRESULT>(0x80090008u);
constexpr HRESULT NTE_BAD_FLAGS = static_cast<HRESULT>(0x80090009u);
constexpr HRESULT NTE_BAD_TYPE = static_cast<HRESULT>(0x8009000Au);
constexpr HRESULT NTE_BAD_HASH_STATE = static_cast<HRESULT>(0x8009000Cu);
constexpr HRESULT NTE_BAD_UID = static_cast<HRESULT>(0x80090001u);
constexpr HRESULT NTE_BAD_KEYSET = static_cast<HRESULT>(0x80090016u);
constexpr HRESULT NTE_PROV_TYPE_NOT_DEF = static_cast<HRESULT>(0x80090017u);
constexpr HRESULT NTE_PROV_TYPE_ENTRY_BAD = static_cast<HRESULT>(0x80090018u);
constexpr HRESULT NTE_KEYSET_NOT_DEF = static_cast<HRESULT>(0x80090019u);
constexpr HRESULT NTE_PROV_TYPE_NO_MATCH = static_cast<HRESULT>(0x8009001Bu);
constexpr HRESULT NTE_EXISTS = static_cast<HRESULT>(0x8009000Fu);
constexpr HRESULT NTE_BAD_PROV_TYPE = static_cast<HRESULT>(0x80090014u);
constexpr HRESULT NTE_PROVIDER_DLL_FAIL = static_cast<HRESULT>(0x8009001Du);
constexpr HRESULT NTE_BAD_KEYSET_PARAM = static_cast<HRESULT>(0x8009001Fu);

// Win32 error codes (GetLastError, registry results).
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_BAD_PATHNAME = 161;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_INVALID_FLAGS = 1004;
constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;
constexpr DWORD ERROR_CANCELLED = 1223;

// Registry.
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u)))
constexpr REGSAM KEY_READ = 0x20019;

// CryptoAPI.
constexpr DWORD PROV_RSA_FULL = 1;
constexpr DWORD PROV_RSA_AES = 24;
constexpr DWORD CRYPT_NEWKEYSET = 0x8;
constexpr DWORD CRYPT_DELETEKEYSET = 0x10;
constexpr DWORD CRYPT_MACHINE_KEYSET = 0x20;
constexpr DWORD CRYPT_VERIFYCONTEXT = 0xF0000000u;
constexpr DWORD CRYPT_SILENT = 0x40;
constexpr DWORD HP_ALGID = 1;
constexpr DWORD HP_HASHVAL = 2;
constexpr DWORD HP_HASHSIZE = 4;
constexpr ALG_ID CALG_MD2 = 0x8001;
constexpr ALG_ID CALG_MD4 = 0x8002;
constexpr ALG_ID CALG_MD5 = 0x8003;
constexpr ALG_ID CALG_SHA1 = 0x8004;
constexpr ALG_ID CALG_SHA_256 = 0x800C;
constexpr ALG_ID CALG_SHA_384 = 0x800D;
constexpr ALG_ID CALG_SHA_512 = 0x800E;

// Locale text functions.
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr DWORD NORM_IGNORECASE = 0x1;
constexpr DWORD SORT_STRINGSORT = 0x1000;
constexpr DWORD LINGUISTIC_IGNORECASE = 0x10;
constexpr DWORD NORM_LINGUISTIC_CASING = 0x08000000;
constexpr int CSTR_LESS_THAN = 1;
constexpr int CSTR_EQUAL = 2;
constexpr int CSTR_GREATER_THAN = 3;
constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x80;
constexpr DWORD MB_PRECOMPOSED = 0x1;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x8;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x400;

constexpr DWORD MAX_PATH = 260;
