// The code-page parameter of a hash-list format: ANSI (0), UTF8 (1) or UTF8
// without BOM (2); strict.
#pragma once

#include "params/ParameterAlias.h"

class TqovHashCodePageParameter : public Tqov7zParameterAlias {
 public:
  using Tqov7zParameterAlias::Tqov7zParameterAlias;

  // The text "UTF8-" (any letter case) selects UTF8 without BOM; everything
  // else goes to the alias parameter.
  bool SetValue(const PROPVARIANT& value) override;
};
