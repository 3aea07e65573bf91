// The parameter set of every hash-list format: code page, line format and
// line break, and the queries through which the writer turns them into bytes.
#pragma once

#include <string>

#include "params/ZeroParameterSet.h"
#include "plugin/lists/HashCodePageParameter.h"
#include "plugin/lists/HashFormatParameter.h"

// Identifiers of the three parameters.
inline constexpr GUID HashCodePageParameterId = {
    0xC7A7E8B9, 0xA2CB, 0x4887, {0x8D, 0x55, 0x26, 0x58, 0x9F, 0xEB, 0x7D, 0xC7}};
inline constexpr GUID HashLineFormatParameterId = {
    0x797DE38F, 0x8F85, 0x4B31, {0xA1, 0x4F, 0xB8, 0x1E, 0x11, 0x0B, 0x4A, 0x4D}};
inline constexpr GUID HashLineBreakParameterId = {
    0x60B57D75, 0xB87F, 0x4555, {0x8B, 0xAB, 0x38, 0x0D, 0xDE, 0x92, 0x8D, 0x51}};

class TqovHashParameterSet : public Tqov7zZeroParameterSet {
 public:
  // A new set at its defaults, with reference count 0: the caller hands out
  // the first reference. The class identifier chooses the default line
  // format ("%FILENAME% %HASH%" for the CRC32 format of the host's hasher,
  // "%HASH% *%FILENAME%" for any other).
  static TqovHashParameterSet* Create(const GUID& classId);

  // Every parameter back to its default.
  void ResetDefaults() override;

  // CP_ACP for ANSI, CP_UTF8 for both UTF-8 choices.
  UINT GetCodePage() const;
  // The UTF-8 byte-order mark for UTF8, else nothing.
  std::string GetPreamble() const;
  // The current line format.
  WStr GetLineFormat() const;
  // CR, LF CR or LF for the values 1, 2, 3; CR LF for 0 and any other value.
  WStr GetLineBreak() const;

  // The current values of the code page and the line break.
  ULONG CodePageChoice() const;
  ULONG LineBreakChoice() const;
  // What a code-page value and a line-break value stand for, as the getters
  // above answer for the current ones.
  static UINT CodePageOf(ULONG choice);
  static std::string PreambleOf(ULONG choice);
  static WStr LineBreakOf(ULONG choice);

  TqovHashCodePageParameter* CodePageParameter() const { return FCodePage; }
  TqovHashFormatParameter* LineFormatParameter() const { return FLineFormat; }
  Tqov7zParameterAlias* LineBreakParameter() const { return FLineBreak; }
  bool FileNameFirst() const { return FFileNameFirst; }

 protected:
  explicit TqovHashParameterSet(const GUID& classId);

 private:
  bool FFileNameFirst;
  // Owned by the set's list, as every parameter; these only name them.
  TqovHashCodePageParameter* FCodePage = nullptr;
  TqovHashFormatParameter* FLineFormat = nullptr;
  Tqov7zParameterAlias* FLineBreak = nullptr;
};
