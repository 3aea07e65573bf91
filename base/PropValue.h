// Host property values (PROPVARIANT) as the plug-in hands them out and takes
// them back.
#pragma once

#include "platform/Win32.h"

// Empties a value: frees a string, resets the tag of plain kinds; refuses
// kinds it does not know with E_INVALIDARG and leaves them untouched.
HRESULT ClearPropValue(PROPVARIANT* value);

// A PROPVARIANT that the holder clears when it goes (strings the host gave us).
class PropValueHolder {
 public:
  PropValueHolder();
  PropValueHolder(const PropValueHolder&) = delete;
  PropValueHolder& operator=(const PropValueHolder&) = delete;
  ~PropValueHolder() { ClearPropValue(&FValue); }

  PROPVARIANT* Ptr() { return &FValue; }
  const PROPVARIANT& operator*() const { return FValue; }
  const PROPVARIANT* operator->() const { return &FValue; }

 private:
  PROPVARIANT FValue;
};
