// A parameter set whose class identifier is all zero; concrete sets derive
// from it.
#pragma once

#include "params/ParameterSet.h"

class Tqov7zZeroParameterSet : public Tqov7zParameterSet {
 public:
  GUID ClassID() const override { return GUID{}; }

 protected:
  Tqov7zZeroParameterSet() = default;
};
