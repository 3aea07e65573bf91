// Base of the objects with a virtual constructor (the parameter sets).
#pragma once

#include "base/InterfacedObject.h"

class Tqov7zObject : public TqovInterfacedObject {
 public:
  // The class identifier of the concrete set.
  virtual GUID ClassID() const = 0;

 protected:
  Tqov7zObject() = default;
};
