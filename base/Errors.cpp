#include "base/Errors.h"

#include <new>

void RaiseResultError(HRESULT hr) { throw EOleSysError(hr); }

HRESULT CheckResult(HRESULT hr) {
  if (hr < 0) RaiseResultError(hr);
  return hr;
}

HRESULT ExceptionToResult(const std::exception* e) {
  if (e == nullptr) return E_UNEXPECTED;
  if (dynamic_cast<const EAbort*>(e)) return static_cast<HRESULT>(0x800704C7u);
  if (auto ole = dynamic_cast<const EOleSysError*>(e)) return ole->ErrorCode;
  if (dynamic_cast<const EOutOfMemory*>(e) || dynamic_cast<const std::bad_alloc*>(e)) return E_OUTOFMEMORY;
  if (auto os = dynamic_cast<const EOSError*>(e)) {
    if (os->ErrorCode == 0) return S_OK;
    return static_cast<HRESULT>(0x80070000u | (os->ErrorCode & 0xFFFFu));
  }
  if (dynamic_cast<const EArgumentException*>(e)) return E_INVALIDARG;
  if (dynamic_cast<const EInvalidPointer*>(e)) return E_POINTER;
  return E_UNEXPECTED;
}

HRESULT CurrentExceptionToResult() {
  try {
    throw;
  } catch (const std::exception& e) {
    return ExceptionToResult(&e);
  } catch (...) {
    return ExceptionToResult(nullptr);
  }
}
