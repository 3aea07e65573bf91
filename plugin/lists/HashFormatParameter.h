// The line-format parameter of a hash-list format: a free text whose aliases
// are only suggestions. Texts are stored upper-cased, "_" turned into spaces.
#pragma once

#include "params/ParameterAlias.h"

class TqovHashFormatParameter : public Tqov7zParameterAlias {
 public:
  using Tqov7zParameterAlias::Tqov7zParameterAlias;

  bool SetValue(const PROPVARIANT& value) override;
};
