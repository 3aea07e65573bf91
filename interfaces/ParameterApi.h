// The parameter API: extension interfaces through which a host lists, shows
// and sets the parameters of a format. Identifiers and method tables only.
//
// The set interfaces are ordinary COM interfaces. The parameter interfaces
// have methods that return a GUID or a PROPVARIANT through a hidden result
// pointer; the position of that pointer differs from what a C++ member
// function would use on 32-bit x86, so their method table is written out as
// a table of plain function pointers (ParameterMethodTable).
#pragma once

#include <cstddef>

#include "interfaces/Host7z.h"

// Flag word of a parameter (GetFlags).
constexpr host::UInt32 ParamFlag1 = 1;
constexpr host::UInt32 ParamFlagEnabled = 2;
constexpr host::UInt32 ParamFlagList = 4;
constexpr host::UInt32 ParamFlagStrict = 8;

// A host's codec information with one method more. Only named as the argument
// type of ISetCompressCodecsInfo2: nothing here implements or calls it.
struct ICompressCodecsInfo2 : host::ICompressCodecsInfo {
  static constexpr GUID iid = {0xD27AAD2B, 0xAD39, 0x40D9, {0xB4, 0x9D, 0x56, 0xC3, 0xFD, 0x5B, 0x69, 0x7F}};
  virtual HRESULT KCALL Reserved() = 0;
};

struct ICompressParameterSet : IUnknown {
  static constexpr GUID iid = {0x98EBF028, 0xCD74, 0x4006, {0xB9, 0x37, 0x03, 0xDA, 0x39, 0xA1, 0xC7, 0x8C}};
  // A non-zero value means true.
  virtual void KCALL SetFlagA(host::UInt32 value) = 0;
  virtual void KCALL ResetToDefaults() = 0;
  virtual host::UInt32 KCALL GetCount() = 0;
  virtual HRESULT KCALL GetParameterID(host::UInt32 index, GUID* id) = 0;
  virtual HRESULT KCALL GetParameterByID(REFGUID id, REFIID iid, void** object) = 0;
  virtual void KCALL SetFlagB(host::UInt32 value) = 0;
};

struct ISetCompressCodecsInfo2 : IUnknown {
  static constexpr GUID iid = {0x11993F08, 0x26C0, 0x4DE1, {0x98, 0x1E, 0x78, 0x31, 0x12, 0x99, 0x7C, 0xCD}};
  virtual HRESULT KCALL SetCompressCodecsInfo2(ICompressCodecsInfo2* info) = 0;
};

struct ISmartCompressParameterSet : IUnknown {
  static constexpr GUID iid = {0x00D59595, 0xAC8F, 0x4ACE, {0xA1, 0x39, 0xAD, 0xC2, 0x13, 0x2F, 0x1C, 0x72}};
  virtual host::UInt32 KCALL GetCount() = 0;
  virtual HRESULT KCALL GetParameterByIndex(host::Int32 index, REFIID iid, void** object) = 0;
};

struct ParameterMethodTable;

// The three parameter interfaces share one method table: ICompressParameter
// uses its first 15 entries, ICompressParameterAlias 19, and
// ICompressParameterAliasIcon all 20.
struct ICompressParameter {
  static constexpr GUID iid = {0xE6F284CD, 0x8084, 0x4E66, {0x82, 0x7C, 0x3D, 0x7E, 0x07, 0x3D, 0x32, 0x6C}};
  const ParameterMethodTable* Methods;
};

struct ICompressParameterAlias : ICompressParameter {
  static constexpr GUID iid = {0x5B51CEA7, 0x1B13, 0x4EC5, {0xA9, 0xA5, 0xFE, 0x28, 0x1C, 0x7E, 0xBD, 0x38}};
};

struct ICompressParameterAliasIcon : ICompressParameterAlias {
  static constexpr GUID iid = {0xFED29DE4, 0x1EFC, 0x4B04, {0xAC, 0x01, 0x3F, 0x1E, 0x12, 0xB3, 0x04, 0x74}};
};

// Methods that return a GUID or a PROPVARIANT fill the caller's result record
// and return its address. On 32-bit x86 the result pointer is the first
// stack argument and the interface pointer the second; elsewhere the
// interface pointer comes first and the result pointer right after it.
// KORVANE_RESULT_ARGS(R, args...) spells that argument list; the functions
// that fill the table use it too, so both always agree.
#if defined(__i386__)
#define KORVANE_RESULT_ARGS(R, ...) R *result, ICompressParameter *self __VA_OPT__(, ) __VA_ARGS__
#else
#define KORVANE_RESULT_ARGS(R, ...) ICompressParameter *self, R *result __VA_OPT__(, ) __VA_ARGS__
#endif

struct ParameterMethodTable {
  // IUnknown; AddRef and Release count on the set that owns the parameter.
  HRESULT(KCALL* QueryInterface)(ICompressParameter* self, REFIID iid, void** object);
  ULONG(KCALL* AddRef)(ICompressParameter* self);
  ULONG(KCALL* Release)(ICompressParameter* self);
  // ICompressParameter
  GUID*(KCALL* GetID)(KORVANE_RESULT_ARGS(GUID));
  host::UInt32(KCALL* GetAuxA)(ICompressParameter* self);
  const WCHAR*(KCALL* GetName)(ICompressParameter* self);
  host::UInt32(KCALL* GetFlags)(ICompressParameter* self);
  VARTYPE(KCALL* GetVarType)(ICompressParameter* self);
  host::UInt32(KCALL* GetAuxB)(ICompressParameter* self);
  host::UInt32(KCALL* GetAuxC)(ICompressParameter* self);
  PROPVARIANT*(KCALL* GetMinValue)(KORVANE_RESULT_ARGS(PROPVARIANT));
  PROPVARIANT*(KCALL* GetMaxValue)(KORVANE_RESULT_ARGS(PROPVARIANT));
  PROPVARIANT*(KCALL* GetValue)(KORVANE_RESULT_ARGS(PROPVARIANT));
  HRESULT(KCALL* SetValue)(ICompressParameter* self, const PROPVARIANT* value);
  const WCHAR*(KCALL* GetPropertyName)(ICompressParameter* self);
  // ICompressParameterAlias
  host::Int32(KCALL* GetAliasCount)(ICompressParameter* self);
  host::Int32(KCALL* GetAliasIndex)(ICompressParameter* self);
  const WCHAR*(KCALL* GetAliasDisplayName)(ICompressParameter* self, host::UInt32 index);
  PROPVARIANT*(KCALL* GetAliasValue)(KORVANE_RESULT_ARGS(PROPVARIANT, host::UInt32 index));
  // ICompressParameterAliasIcon
  void*(KCALL* GetAliasIcon)(ICompressParameter* self, host::UInt32 a, host::UInt32 b, host::UInt32 c);
};

static_assert(sizeof(ParameterMethodTable) == 20 * sizeof(void*));
static_assert(offsetof(ParameterMethodTable, GetPropertyName) == 14 * sizeof(void*));
static_assert(offsetof(ParameterMethodTable, GetAliasValue) == 18 * sizeof(void*));
