// Wrappers for the bodies of host-callable methods: whatever is thrown inside
// becomes a result code (or is dropped) here, at the boundary.
#pragma once

#include "base/Errors.h"

// Maps a failure by ExceptionToResult (parameter API, SetProperties).
template <class Body>
HRESULT GuardMapped(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return CurrentExceptionToResult();
  }
}

// Any failure gives one fixed result (E_UNEXPECTED for the hasher list and
// updates, E_FAIL for Open).
template <class Body>
HRESULT GuardFixed(HRESULT onFailure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return onFailure;
  }
}

// Methods without a result drop every failure.
template <class Body>
void GuardSilent(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}
