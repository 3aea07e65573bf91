#include "plugin/hashers/Hasher.h"

#include "base/Boundary.h"

HRESULT KCALL TqovHasher::SetCoderProperties(const PROPID*, const PROPVARIANT*, host::UInt32) {
  return S_OK;  // hashers have no settings
}

void KCALL TqovHasher::Init() {
  GuardSilent([&] { FDigest.Start(); });
}

void KCALL TqovHasher::Update(const void* data, host::UInt32 size) {
  GuardSilent([&] { FDigest.Add(data, size); });
}

void KCALL TqovHasher::Final(BYTE* digest) {
  // The host takes whatever comes back for the digest and has no way to hear
  // of a failure; a failed one leaves the zeros that Finish writes.
  GuardSilent([&] { FDigest.Finish(digest); });
}

host::UInt32 KCALL TqovHasher::GetDigestSize() { return static_cast<host::UInt32>(FAlgInfo->HashSize); }
