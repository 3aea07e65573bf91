// Reference-counted base of every object handed to the host through an
// interface, and the template that lists a class's interfaces.
#pragma once

#include <atomic>
#include <utility>

#include "platform/Win32.h"

class TqovInterfacedObject {
 public:
  TqovInterfacedObject() = default;
  TqovInterfacedObject(const TqovInterfacedObject&) = delete;
  TqovInterfacedObject& operator=(const TqovInterfacedObject&) = delete;

  // Looks the identifier up in the class's interface table (FindInterface);
  // a match is returned with one reference added.
  virtual HRESULT KCALL QueryInterface(REFIID iid, void** object);
  ULONG KCALL AddRef();
  // Destroys the object when the count reaches 0.
  ULONG KCALL Release();

  LONG RefCount() const { return FRefCount.load(); }

 protected:
  virtual ~TqovInterfacedObject() = default;
  // The interface of this object for iid, or null.
  virtual void* FindInterface(REFIID iid) = 0;

 private:
  std::atomic<LONG> FRefCount{0};
};

// A COM class on Base (TqovInterfacedObject or a descendant) implementing the
// interfaces First, Rest... (each declares `static constexpr GUID iid`).
// Every interface's IUnknown slots reach the object's QueryInterface, AddRef
// and Release; IUnknown itself is answered with the first interface.
template <class Base, class First, class... Rest>
class Implements : public Base, public First, public Rest... {
 public:
  using Base::Base;
  HRESULT KCALL QueryInterface(REFIID iid, void** object) override {
    return Base::QueryInterface(iid, object);
  }
  ULONG KCALL AddRef() override { return Base::AddRef(); }
  ULONG KCALL Release() override { return Base::Release(); }

 protected:
  void* FindInterface(REFIID iid) override {
    if (IsEqualGUID(iid, First::iid)) return static_cast<First*>(this);
    void* found = nullptr;
    ((found == nullptr && IsEqualGUID(iid, Rest::iid) ? (found = static_cast<Rest*>(this)) : nullptr), ...);
    if (found == nullptr && IsEqualGUID(iid, IID_IUnknown))
      found = static_cast<IUnknown*>(static_cast<First*>(this));
    return found;
  }
};

template <class... Interfaces>
using ComObject = Implements<TqovInterfacedObject, Interfaces...>;

// Creates an object and hands out interface I of it with the first reference.
template <class I, class T, class... Args>
I* NewInterface(Args&&... args) {
  I* i = static_cast<I*>(new T(std::forward<Args>(args)...));
  i->AddRef();
  return i;
}
