#include "base/PropValue.h"

#include <cstring>

#include "base/Bstr.h"
#include "base/Errors.h"

HRESULT ClearPropValue(PROPVARIANT* value) {
  switch (value->vt) {
    case VT_BSTR:
      SysFreeString(value->bstrVal);
      value->bstrVal = nullptr;
      value->vt = VT_EMPTY;
      return S_OK;
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_ERROR:
    case VT_BOOL:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_FILETIME: value->vt = VT_EMPTY; return S_OK;
    default: return E_INVALIDARG;
  }
}

PropValueHolder::PropValueHolder() { std::memset(&FValue, 0, sizeof FValue); }

BSTR NewBstr(const WStr& text) {
  BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (s == nullptr) throw EOutOfMemory();
  return s;
}
