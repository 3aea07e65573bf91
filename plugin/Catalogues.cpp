#include "plugin/Catalogues.h"

std::vector<THashAlgInfo> HasherAlgs;
std::int32_t HasherAlgCount = 0;
std::vector<THashAlgInfo> FormatAlgs;
std::vector<WStr> FormatSettings;
std::int32_t FormatCount = 0;
ComPtr<host::ICompressCodecsInfo> HostCodecsInfo;

void ClearCatalogues() {
  HasherAlgs.clear();
  HasherAlgCount = 0;
  FormatAlgs.clear();
  FormatCount = 0;
  FormatSettings.clear();
  HostCodecsInfo.Reset();
}
