// A parameter with a list of named choices (aliases). A strict one takes only
// values equal to one of its aliases; any alias parameter also takes a text
// that names an alias by its display name, with or without a leading "@".
#pragma once

#include <cstdint>
#include <vector>

#include "params/Parameter.h"
#include "params/Records.h"

class Tqov7zParameterAlias : public Tqov7zParameter {
 public:
  // Flags 1, 2 and 4 set; no aliases.
  explicit Tqov7zParameterAlias(Tqov7zParameterSet& owner);

  bool SetValue(const PROPVARIANT& value) override;
  std::int32_t GetAliasCount() const override { return FAliasCount; }
  std::int32_t GetAliasIndex() const override { return FindAliasIndex(); }
  // Both raise E_INVALIDARG for an index at or beyond the alias count.
  const WCHAR* GetAliasDisplayName(host::UInt32 index) const override;
  PROPVARIANT GetAliasValue(host::UInt32 index) const override;

  // Empties the list (the capacity stays).
  virtual void ClearAliases();
  // The first alias whose value equals the current value; 0 when none does.
  virtual std::int32_t FindAliasIndex() const;

  // Appends an alias; its value is converted to VarType (which must be set
  // first). A conversion failure is raised and the list stays as it was.
  void AddAlias(const WStr& displayName, const PROPVARIANT& value);
  void AddAlias(const WStr& displayName, const WCHAR* text);
  void AddAlias(const WStr& displayName, host::UInt32 number);
  // An alias whose display name is its text.
  void AddAlias(const WStr& text);

  // The record itself; raises E_INVALIDARG for an index outside the list.
  Pqov7zParameterAliasRec GetItem(std::int32_t index);
  std::int32_t AliasCapacity() const { return static_cast<std::int32_t>(FAliases.size()); }

 private:
  const Tqov7zParameterAliasRec& Alias(host::UInt32 index) const;
  // Strict or plain value setting, before the display names are tried.
  bool SetByValue(const PROPVARIANT& value);

  std::vector<Tqov7zParameterAliasRec> FAliases;  // capacity; used 0..FAliasCount-1
  std::int32_t FAliasCount = 0;
};
