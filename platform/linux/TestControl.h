// Test controls of the stand-in layer (Linux only): the state that on Windows
// comes from the machine (registry keys, module path, clock, providers that
// refuse) is set here by the tests.
#pragma once

#include <string>
#include <vector>

#include "platform/linux/Types.h"

namespace standin {

// Registry keys under HKEY_LOCAL_MACHINE that exist, compared without regard to
// letter case, e.g. u"SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\...".
void SetRegistryKeys(const std::vector<std::u16string>& keys);

// Registers the keys of every provider the stand-in CryptoAPI knows.
void RegisterAllProviders();

// Path that GetModuleFileNameW reports, "\"-separated. Empty restores the
// default, the running program's own path with "/" turned into "\".
void SetModulePath(std::u16string path);

// Makes a provider (by name) refuse every context (CryptAcquireContextW fails
// with NTE_PROVIDER_DLL_FAIL, as for a provider that can't be loaded), or
// refuse one algorithm (CryptCreateHash fails with NTE_BAD_ALGID). Reset()
// lifts all refusals.
void RefuseContext(const std::u16string& provider);
void RefuseAlgorithm(const std::u16string& provider, ALG_ID algId);

// While set, the provider's default key container is missing: an acquire
// without CRYPT_NEWKEYSET fails with NTE_BAD_KEYSET until one with it creates
// the container.
void MissingKeyset(const std::u16string& provider);

// Fixes GetTickCount; -1 (the default) returns to the real clock.
void SetTickCount(long long ticks);

// Number of provider contexts, hash objects and registry keys currently open
// (leak checks).
int OpenContexts();
int OpenHashes();
int OpenRegistryKeys();

// Back to the defaults: no registry keys, default module path, no refusals,
// real clock.
void Reset();

}  // namespace standin
