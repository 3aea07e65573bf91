#include "plugin/lists/runs/ItemHasher.h"

#include "base/LocaleText.h"
#include "base/PropValue.h"
#include "crypt/CryptDigest.h"
#include "plugin/catalogue/Catalogues.h"

namespace {

class CryptItemHasher final : public ItemHasher {
 public:
  explicit CryptItemHasher(const THashAlgInfo* alg) : FDigest(alg) {}
  std::size_t DigestSize() override { return FDigest.Size(); }
  void Start() override { FDigest.Start(); }
  void Add(const BYTE* data, host::UInt32 size) override { FDigest.Add(data, size); }
  HRESULT Finish(BYTE* digest) override { return FDigest.Finish(digest) ? S_OK : FDigest.Failure(); }

 private:
  CryptDigest FDigest;
};

// The host's hashers can't fail: what they give is their digest.
class HostItemHasher final : public ItemHasher {
 public:
  explicit HostItemHasher(ComPtr<host::IHasher> hasher) : FHasher(std::move(hasher)) {}
  std::size_t DigestSize() override { return FHasher->GetDigestSize(); }
  void Start() override { FHasher->Init(); }
  void Add(const BYTE* data, host::UInt32 size) override { FHasher->Update(data, size); }
  HRESULT Finish(BYTE* digest) override {
    FHasher->Final(digest);
    return S_OK;
  }

 private:
  ComPtr<host::IHasher> FHasher;
};

}  // namespace

std::unique_ptr<ItemHasher> HasherSource::Make() const {
  if (FAlg->IsCryptoApi) return std::make_unique<CryptItemHasher>(FAlg);
  ComPtr<host::IHasher> hasher;
  if (FHandlerHashers) {
    hasher = FindHostHasher(FHandlerHashers.Get());
  } else if (HostCodecsInfo) {
    auto list = QueryAs<host::IHashers>(HostCodecsInfo.Get());
    if (list) hasher = FindHostHasher(list.Get());
  }
  if (!hasher) return nullptr;
  return std::make_unique<HostItemHasher>(std::move(hasher));
}

ComPtr<host::IHasher> HasherSource::FindHostHasher(host::IHashers* list) const {
  const host::UInt32 n = list->GetNumHashers();
  for (host::UInt32 j = 0; j < n; ++j) {
    PropValueHolder name;
    if (list->GetHasherProp(j, 1, name.Ptr()) != S_OK || name->vt != VT_BSTR) continue;
    if (!SameTextIgnoreCase(name->bstrVal, FAlg->Name.c_str())) continue;
    ComPtr<host::IHasher> hasher;
    list->CreateHasher(j, hasher.Out());
    return hasher;
  }
  return {};
}
