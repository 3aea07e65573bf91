// Helpers of the parameter-framework tests: values to pass in, texts to
// compare, and a parameter set that a test fills itself.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "base/Errors.h"
#include "params/ParameterAlias.h"
#include "params/ZeroParameterSet.h"

namespace paramtest {

inline PROPVARIANT Empty() {
  PROPVARIANT v;
  std::memset(&v, 0, sizeof v);
  return v;
}

// A VT_BSTR value whose text pointer is the literal itself: the framework
// reads such a value only up to its terminator and never frees it.
inline PROPVARIANT Text(const WCHAR* text) {
  PROPVARIANT v = Empty();
  v.vt = VT_BSTR;
  v.bstrVal = const_cast<WCHAR*>(text);
  return v;
}

inline PROPVARIANT UI4(std::uint32_t n) {
  PROPVARIANT v = Empty();
  v.vt = VT_UI4;
  v.ulVal = n;
  return v;
}

inline PROPVARIANT UI8(std::uint64_t n) {
  PROPVARIANT v = Empty();
  v.vt = VT_UI8;
  v.uhVal.QuadPart = n;
  return v;
}

inline PROPVARIANT Bool(std::int16_t b) {
  PROPVARIANT v = Empty();
  v.vt = VT_BOOL;
  v.boolVal = b;
  return v;
}

inline PROPVARIANT Kind(VARTYPE vt) {
  PROPVARIANT v = Empty();
  v.vt = vt;
  return v;
}

// ASCII view of a UTF-16 text for comparisons with readable failure output;
// anything beyond ASCII shows as "?". Null shows as "<null>".
inline std::string Narrow(const WCHAR* text) {
  if (text == nullptr) return "<null>";
  std::string out;
  for (; *text != 0; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
  return out;
}
inline std::string Narrow(const WStr& text) { return Narrow(text.c_str()); }

// The result code of what body raises (S_OK when it raises nothing).
inline HRESULT RaisedCode(const std::function<void()>& body) {
  try {
    body();
  } catch (const EOleSysError& e) {
    return e.ErrorCode;
  }
  return S_OK;
}

inline bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A set whose parameters the test makes. Destroyed counts the sets destroyed
// since the counter was last reset, so that tests see exactly when the last
// reference goes.
class TestSet : public Tqov7zZeroParameterSet {
 public:
  static inline int Destroyed = 0;
  // Made through the same steps as every set (InitParameters, ResetDefaults);
  // fill runs first, in place of a concrete set's constructor.
  static TestSet* Create(const std::function<void(TestSet&)>& fill = {}) {
    auto* set = new TestSet;
    if (fill) fill(*set);
    AfterConstruction(set);
    return set;
  }
  void SetSmartMode(bool on) { SmartMode = on; }

 protected:
  ~TestSet() override { ++Destroyed; }
};

// A set that supplies every hook and records what reached it.
class HookSet : public Tqov7zZeroParameterSet {
 public:
  static HookSet* Create() {
    auto* set = new HookSet;
    AfterConstruction(set);
    return set;
  }
  void SetSmartMode(bool on) { SmartMode = on; }

  int FlagAValue = -1;
  int FlagBValue = -1;
  int CodecsCalls = 0;
  ICompressCodecsInfo2* CodecsSeen = nullptr;
  HRESULT FailFlagA = S_OK;
  HRESULT FailCodecs = S_OK;

  void FlagAChanged(bool value) override {
    FlagAValue = value;
    if (FailFlagA != S_OK) RaiseResultError(FailFlagA);
  }
  void FlagBChanged(bool value) override { FlagBValue = value; }
  void CodecsInfoChanged(ICompressCodecsInfo2* info) override {
    ++CodecsCalls;
    CodecsSeen = info;
    if (FailCodecs != S_OK) RaiseResultError(FailCodecs);
  }

 protected:
  bool HasCodecsInfoHook() const override { return true; }
};

// A host's codec information object that only counts its references.
class FakeCodecsInfo2 final : public ICompressCodecsInfo2 {
 public:
  int Refs = 1;
  HRESULT KCALL QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG KCALL AddRef() override { return static_cast<ULONG>(++Refs); }
  ULONG KCALL Release() override { return static_cast<ULONG>(--Refs); }
  HRESULT KCALL GetNumMethods(host::UInt32* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT KCALL GetProperty(host::UInt32, PROPID, PROPVARIANT*) override { return E_NOTIMPL; }
  HRESULT KCALL CreateDecoder(host::UInt32, const GUID*, void**) override { return E_NOTIMPL; }
  HRESULT KCALL CreateEncoder(host::UInt32, const GUID*, void**) override { return E_NOTIMPL; }
  HRESULT KCALL Reserved() override { return E_NOTIMPL; }
};

// A VT_UI4 alias parameter with the aliases "@ANSI" = 0 and "@UTF8" = 1.
inline Tqov7zParameterAlias* AnsiUtf8Parameter(Tqov7zParameterSet& set, bool strict) {
  auto* p = new Tqov7zParameterAlias(set);
  p->VarType = VT_UI4;
  p->AddAlias(KW("@ANSI"), 0u);
  p->AddAlias(KW("@UTF8"), 1u);
  p->SetStrict(strict);
  return p;
}

}  // namespace paramtest
