// Owning reference to a COM interface: releases it on destruction.
#pragma once

#include <utility>

#include "platform/Win32.h"

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already owns.
  static ComPtr Adopt(T* p) {
    ComPtr r;
    r.FPtr = p;
    return r;
  }
  // Adds a reference of its own.
  static ComPtr Share(T* p) {
    if (p) p->AddRef();
    return Adopt(p);
  }
  ComPtr(const ComPtr& other) : FPtr(other.FPtr) {
    if (FPtr) FPtr->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(FPtr, other.FPtr);
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset() {
    if (T* p = std::exchange(FPtr, nullptr)) p->Release();
  }
  // For out-parameters: releases what is held and gives the slot.
  T** Out() {
    Reset();
    return &FPtr;
  }
  // Hands the reference to the caller.
  T* Detach() { return std::exchange(FPtr, nullptr); }

  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }

 private:
  T* FPtr = nullptr;
};

// QueryInterface into an owning reference; empty when refused.
template <class I, class Source>
ComPtr<I> QueryAs(Source* source) {
  ComPtr<I> result;
  if (source) {
    if (source->QueryInterface(I::iid, reinterpret_cast<void**>(result.Out())) != S_OK) result.Reset();
  }
  return result;
}
