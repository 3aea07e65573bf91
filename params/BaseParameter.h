// The abstract parameter: carries the three parameter interfaces (one method
// table, see ParameterThunks) and the link to the set that owns it. It has no
// reference count of its own; AddRef and Release act on the set.
#pragma once

#include <cstdint>

#include "interfaces/ParameterApi.h"

class Tqov7zBaseParameter;
class Tqov7zParameterSet;

// What the host holds: the method table, and the parameter behind it.
struct ParameterInterface : ICompressParameterAliasIcon {
  Tqov7zBaseParameter* Parameter;
};

class Tqov7zBaseParameter {
 public:
  // Joins the owner's list at its end; the owner must be a live set, and it
  // destroys the parameter (ClearParameters) unless it is destroyed earlier.
  explicit Tqov7zBaseParameter(Tqov7zParameterSet& owner);
  Tqov7zBaseParameter(const Tqov7zBaseParameter&) = delete;
  Tqov7zBaseParameter& operator=(const Tqov7zBaseParameter&) = delete;
  // Leaves the owner's list.
  virtual ~Tqov7zBaseParameter();

  // Converts, checks and stores a value: true when taken, false when the
  // parameter reports it as not applied; a rejection raises EOleSysError.
  virtual bool SetValue(const PROPVARIANT& value) = 0;
  virtual void SetDefault() {}
  virtual GUID GetID() const = 0;
  virtual host::UInt32 GetAuxA() const = 0;
  virtual const WCHAR* GetName() const = 0;
  virtual host::UInt32 GetFlags() const = 0;
  virtual VARTYPE GetVarType() const = 0;
  virtual host::UInt32 GetAuxB() const = 0;
  virtual host::UInt32 GetAuxC() const = 0;
  // Flat copies: a text in them still belongs to the parameter.
  virtual PROPVARIANT GetMinValue() const = 0;
  virtual PROPVARIANT GetMaxValue() const = 0;
  virtual PROPVARIANT GetValue() const = 0;
  // Null when the parameter has no property name.
  virtual const WCHAR* GetPropertyName() const = 0;
  virtual std::int32_t GetAliasCount() const { return 0; }
  virtual std::int32_t GetAliasIndex() const { return 0; }
  virtual const WCHAR* GetAliasDisplayName(host::UInt32 /*index*/) const { return nullptr; }
  virtual PROPVARIANT GetAliasValue(host::UInt32 index) const;
  // The icon hook; a class that supplies one also answers true from
  // HasAliasIcons, and then answers ICompressParameterAliasIcon.
  virtual void* GetAliasIcon(host::UInt32 /*a*/, host::UInt32 /*b*/, host::UInt32 /*c*/) { return nullptr; }
  virtual bool HasAliases() const { return GetAliasCount() > 0; }
  virtual bool HasAliasIcons() const { return false; }

  // SetValue of a VT_BSTR value of the text, or of a VT_UI4 value.
  bool SetAsText(const WCHAR* text);
  bool SetAsUInt32(host::UInt32 number);

  // ICompressParameterAlias only while the parameter has aliases,
  // ICompressParameterAliasIcon only with an icon hook; a reference is added
  // on the owner.
  HRESULT QueryInterface(REFIID iid, void** object);
  ULONG AddRef();
  ULONG Release();

  ICompressParameter* Interface() { return &FInterface; }
  Tqov7zParameterSet* Owner() const { return FOwner; }

 private:
  Tqov7zParameterSet* FOwner;
  ParameterInterface FInterface;
};
