// Calls into a method table the way a foreign host does: slot N of the
// table behind an interface pointer, through a function pointer typed here,
// independently of the plug-in's own declarations.
#pragma once

#include <cstdint>

#include "platform/Win32.h"

namespace rawcall {

// Interface identifiers written out here, independently of the plug-in's header.
inline constexpr GUID IidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID IidParameterSet = {
    0x98EBF028, 0xCD74, 0x4006, {0xB9, 0x37, 0x03, 0xDA, 0x39, 0xA1, 0xC7, 0x8C}};
inline constexpr GUID IidParameter = {
    0xE6F284CD, 0x8084, 0x4E66, {0x82, 0x7C, 0x3D, 0x7E, 0x07, 0x3D, 0x32, 0x6C}};
inline constexpr GUID IidParameterAlias = {
    0x5B51CEA7, 0x1B13, 0x4EC5, {0xA9, 0xA5, 0xFE, 0x28, 0x1C, 0x7E, 0xBD, 0x38}};
inline constexpr GUID IidParameterAliasIcon = {
    0xFED29DE4, 0x1EFC, 0x4B04, {0xAC, 0x01, 0x3F, 0x1E, 0x12, 0xB3, 0x04, 0x74}};
inline constexpr GUID IidSetCodecsInfo2 = {
    0x11993F08, 0x26C0, 0x4DE1, {0x98, 0x1E, 0x78, 0x31, 0x12, 0x99, 0x7C, 0xCD}};
inline constexpr GUID IidSmartSet = {
    0x00D59595, 0xAC8F, 0x4ACE, {0xA1, 0x39, 0xAD, 0xC2, 0x13, 0x2F, 0x1C, 0x72}};
inline constexpr GUID IidCodecsInfo2 = {
    0xD27AAD2B, 0xAD39, 0x40D9, {0xB4, 0x9D, 0x56, 0xC3, 0xFD, 0x5B, 0x69, 0x7F}};

// The COM calling convention of the platform: standard-call on 32-bit x86.
#if defined(__i386__)
#define RAW_HOSTCALL __attribute__((stdcall))
#else
#define RAW_HOSTCALL
#endif

using Hr = std::int32_t;
using U32 = std::uint32_t;
using I32 = std::int32_t;

// Entry N of the method table of the interface pointer iface.
template <class F>
F Slot(void* iface, int n) {
  void* const* table = *static_cast<void* const* const*>(iface);
  return reinterpret_cast<F>(table[n]);
}

using QueryInterfaceFn = Hr(RAW_HOSTCALL*)(void* self, const GUID* iid, void** object);
using AddRefFn = U32(RAW_HOSTCALL*)(void* self);
using ReleaseFn = U32(RAW_HOSTCALL*)(void* self);

// ICompressParameterSet, ISetCompressCodecsInfo2, ISmartCompressParameterSet
using SetFlagFn = void(RAW_HOSTCALL*)(void* self, U32 value);
using ResetToDefaultsFn = void(RAW_HOSTCALL*)(void* self);
using GetCountFn = U32(RAW_HOSTCALL*)(void* self);
using GetParameterIdFn = Hr(RAW_HOSTCALL*)(void* self, U32 index, GUID* id);
using GetParameterByIdFn = Hr(RAW_HOSTCALL*)(void* self, const GUID* id, const GUID* iid, void** object);
using SetCodecsInfo2Fn = Hr(RAW_HOSTCALL*)(void* self, void* info);
using GetParameterByIndexFn = Hr(RAW_HOSTCALL*)(void* self, I32 index, const GUID* iid, void** object);

// ICompressParameter, ICompressParameterAlias, ICompressParameterAliasIcon.
// A GUID or PROPVARIANT result comes back through a pointer that the caller
// passes and the callee returns: on 32-bit x86 as the first stack argument,
// ahead of the interface pointer; on 64-bit right after the interface pointer.
#if defined(__i386__)
using GetIdFn = GUID*(RAW_HOSTCALL*)(GUID* result, void* self);
using GetPropFn = PROPVARIANT*(RAW_HOSTCALL*)(PROPVARIANT* result, void* self);
using GetAliasValueFn = PROPVARIANT*(RAW_HOSTCALL*)(PROPVARIANT* result, void* self, U32 index);
#else
using GetIdFn = GUID*(RAW_HOSTCALL*)(void* self, GUID* result);
using GetPropFn = PROPVARIANT*(RAW_HOSTCALL*)(void* self, PROPVARIANT* result);
using GetAliasValueFn = PROPVARIANT*(RAW_HOSTCALL*)(void* self, PROPVARIANT* result, U32 index);
#endif
using GetU32Fn = U32(RAW_HOSTCALL*)(void* self);
using GetTextFn = const WCHAR*(RAW_HOSTCALL*)(void* self);
using GetVarTypeFn = std::uint16_t(RAW_HOSTCALL*)(void* self);
using SetValueFn = Hr(RAW_HOSTCALL*)(void* self, const PROPVARIANT* value);
using GetI32Fn = I32(RAW_HOSTCALL*)(void* self);
using GetAliasDisplayNameFn = const WCHAR*(RAW_HOSTCALL*)(void* self, U32 index);
using GetAliasIconFn = void*(RAW_HOSTCALL*)(void* self, U32 a, U32 b, U32 c);

inline GUID* CallGetId(void* self, GUID* result) {
#if defined(__i386__)
  return Slot<GetIdFn>(self, 3)(result, self);
#else
  return Slot<GetIdFn>(self, 3)(self, result);
#endif
}

// Slots 10, 11, 12: GetMinValue, GetMaxValue, GetValue.
inline PROPVARIANT* CallGetProp(void* self, int slot, PROPVARIANT* result) {
#if defined(__i386__)
  return Slot<GetPropFn>(self, slot)(result, self);
#else
  return Slot<GetPropFn>(self, slot)(self, result);
#endif
}

inline PROPVARIANT* CallGetAliasValue(void* self, PROPVARIANT* result, U32 index) {
#if defined(__i386__)
  return Slot<GetAliasValueFn>(self, 18)(result, self, index);
#else
  return Slot<GetAliasValueFn>(self, 18)(self, result, index);
#endif
}

#if defined(__i386__) && !defined(_WIN32)
#define RAW_STACK_CHECK 1
// Calls fn as a standard-call caller: pushes the count 32-bit words of args
// (first word nearest the return address) and calls. Returns EAX; stores in
// leftOnStack the number of bytes the callee left on the stack, 0 when it
// removed all of its arguments.
extern "C" std::uint32_t ParamRawStdcall(const void* fn, const std::uint32_t* args, std::uint32_t count,
                                         std::uint32_t* leftOnStack);
#endif

}  // namespace rawcall
