#include "plugin/catalogue/Catalogues.h"

#include "plugin/catalogue/FormatCatalogue.h"
#include "plugin/catalogue/HasherCatalogue.h"
#include "plugin/catalogue/IniFile.h"

std::vector<THashAlgInfo> HasherAlgs;
std::int32_t HasherAlgCount = 0;
std::vector<THashAlgInfo> FormatAlgs;
std::vector<WStr> FormatSettings;
std::vector<FormatSetting> FormatSettingParts;
std::int32_t FormatCount = 0;
ComPtr<host::ICompressCodecsInfo> HostCodecsInfo;

void BuildCatalogues() {
  const WStr iniPath = IniFileName();
  BuildHasherCatalogue(iniPath);
  BuildFormatCatalogue(iniPath);
}

void ClearCatalogues() {
  HasherAlgs.clear();
  HasherAlgCount = 0;
  FormatAlgs.clear();
  FormatCount = 0;
  FormatSettings.clear();
  FormatSettingParts.clear();
  HostCodecsInfo.Reset();
}
