#include "params/Records.h"

#include <utility>

#include "base/PropValue.h"
#include "params/ValueConversion.h"

Tqov7zParameterAliasRec::Tqov7zParameterAliasRec() : Value(EmptyValue()) {}

Tqov7zParameterAliasRec::Tqov7zParameterAliasRec(Tqov7zParameterAliasRec&& other) noexcept
    : DisplayName(std::move(other.DisplayName)), Value(std::exchange(other.Value, EmptyValue())) {}

Tqov7zParameterAliasRec& Tqov7zParameterAliasRec::operator=(Tqov7zParameterAliasRec&& other) noexcept {
  if (this != &other) {
    DisplayName = std::move(other.DisplayName);
    ClearPropValue(&Value);
    Value = std::exchange(other.Value, EmptyValue());
  }
  return *this;
}

// A value of a kind that ClearPropValue refuses holds nothing it could free.
Tqov7zParameterAliasRec::~Tqov7zParameterAliasRec() { ClearPropValue(&Value); }
