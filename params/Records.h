// The records of the parameter framework: an alias (named choice) of a
// parameter, and an enabling condition on another parameter.
#pragma once

#include <cstdint>

#include "interfaces/ParameterApi.h"

class Tqov7zBaseParameter;

// One named choice. The record owns its value (a text in it is freed with
// the record); records move but are not copied.
struct Tqov7zParameterAliasRec {
  WStr DisplayName;
  PROPVARIANT Value;

  Tqov7zParameterAliasRec();
  Tqov7zParameterAliasRec(const Tqov7zParameterAliasRec&) = delete;
  Tqov7zParameterAliasRec& operator=(const Tqov7zParameterAliasRec&) = delete;
  Tqov7zParameterAliasRec(Tqov7zParameterAliasRec&& other) noexcept;
  Tqov7zParameterAliasRec& operator=(Tqov7zParameterAliasRec&& other) noexcept;
  ~Tqov7zParameterAliasRec();
};
using Pqov7zParameterAliasRec = Tqov7zParameterAliasRec*;

// A parameter is enabled only while the tests of all its master records pass
// (see Tqov7zParameter::GetFlags). Master is not owned.
struct Tqov7zMasterRec {
  Tqov7zBaseParameter* Master = nullptr;
  std::uint8_t Condition = 0;
  host::UInt32 Operand = 0;
};
