#include "plugin/lists/HashParameterSet.h"

#include "params/ValueConversion.h"
#include "plugin/catalogue/FormatCatalogue.h"

namespace {

constexpr host::UInt32 CodePageAnsi = 0;
constexpr host::UInt32 CodePageUtf8 = 1;
constexpr host::UInt32 CodePageUtf8NoBom = 2;

constexpr host::UInt32 LineBreakCrLf = 0;
constexpr host::UInt32 LineBreakCr = 1;
constexpr host::UInt32 LineBreakLfCr = 2;
constexpr host::UInt32 LineBreakLf = 3;

}  // namespace

TqovHashParameterSet* TqovHashParameterSet::Create(const GUID& classId) {
  auto* set = new TqovHashParameterSet(classId);
  AfterConstruction(set);
  return set;
}

TqovHashParameterSet::TqovHashParameterSet(const GUID& classId)
    : FFileNameFirst(IsEqualGUID(classId, Crc32FormatClassId)) {
  FCodePage = new TqovHashCodePageParameter(*this);
  FCodePage->ID = HashCodePageParameterId;
  FCodePage->Name = KW("@Code page");
  FCodePage->VarType = VT_UI4;
  FCodePage->AddAlias(KW("@ANSI"), CodePageAnsi);
  FCodePage->AddAlias(KW("@UTF8"), CodePageUtf8);
  FCodePage->AddAlias(KW("@UTF8 without BOM"), CodePageUtf8NoBom);
  FCodePage->SetStrict(true);
  FCodePage->PropertyName = KW("c");

  FLineFormat = new TqovHashFormatParameter(*this);
  FLineFormat->ID = HashLineFormatParameterId;
  FLineFormat->Name = KW("@Line format");
  FLineFormat->VarType = VT_BSTR;
  FLineFormat->AuxC = 40;
  FLineFormat->AddAlias(KW("%FILENAME% %HASH%"));
  FLineFormat->AddAlias(KW("%HASH% *%FILENAME%"));
  FLineFormat->AddAlias(KW("%HASHNAME% (%FILENAME%) = %HASH%"));
  // The aliases are suggestions; any text is a line format.
  FLineFormat->SetListFlag(false);
  FLineFormat->PropertyName = KW("f");

  FLineBreak = new Tqov7zParameterAlias(*this);
  FLineBreak->ID = HashLineBreakParameterId;
  FLineBreak->Name = KW("@Line break");
  FLineBreak->VarType = VT_UI4;
  FLineBreak->AddAlias(KW("@CRLF"), LineBreakCrLf);
  FLineBreak->AddAlias(KW("@CR"), LineBreakCr);
  FLineBreak->AddAlias(KW("@LFCR"), LineBreakLfCr);
  FLineBreak->AddAlias(KW("@LF"), LineBreakLf);
  FLineBreak->SetStrict(false);
  FLineBreak->PropertyName = KW("lb");
}

void TqovHashParameterSet::ResetDefaults() {
  Tqov7zZeroParameterSet::ResetDefaults();
  FCodePage->SetValue(FCodePage->GetAliasValue(0));
  FLineFormat->SetValue(FLineFormat->GetAliasValue(FFileNameFirst ? 0 : 1));
  FLineBreak->SetValue(FLineBreak->GetAliasValue(0));
}

UINT TqovHashParameterSet::GetCodePage() const { return CodePageOf(CodePageChoice()); }

std::string TqovHashParameterSet::GetPreamble() const { return PreambleOf(CodePageChoice()); }

WStr TqovHashParameterSet::GetLineFormat() const { return ValueText(FLineFormat->Value); }

WStr TqovHashParameterSet::GetLineBreak() const { return LineBreakOf(LineBreakChoice()); }

ULONG TqovHashParameterSet::CodePageChoice() const { return FCodePage->Value.ulVal; }

ULONG TqovHashParameterSet::LineBreakChoice() const { return FLineBreak->Value.ulVal; }

UINT TqovHashParameterSet::CodePageOf(ULONG choice) { return choice == CodePageAnsi ? CP_ACP : CP_UTF8; }

std::string TqovHashParameterSet::PreambleOf(ULONG choice) {
  return choice == CodePageUtf8 ? std::string("\xEF\xBB\xBF") : std::string();
}

WStr TqovHashParameterSet::LineBreakOf(ULONG choice) {
  switch (choice) {
    case LineBreakCr: return KW("\r");
    case LineBreakLfCr: return KW("\n\r");
    case LineBreakLf: return KW("\n");
    default: return KW("\r\n");
  }
}
