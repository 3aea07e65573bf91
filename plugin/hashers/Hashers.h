// The hasher list handed to the host: publishes the hasher catalogue.
#pragma once

#include "base/InterfacedObject.h"
#include "interfaces/Host7z.h"

class TqovHashers final : public ComObject<host::IHashers> {
 public:
  host::UInt32 KCALL GetNumHashers() override;
  HRESULT KCALL GetHasherProp(host::UInt32 index, PROPID propId, PROPVARIANT* value) override;
  HRESULT KCALL CreateHasher(host::UInt32 index, host::IHasher** hasher) override;
};
