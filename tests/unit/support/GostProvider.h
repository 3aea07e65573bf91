// The provider of the three GOST rows as the tests meet it. Natively the
// stand-in computes GOST whenever its key is registered. Under Wine the test
// script registers the key in one of two ways: bare, with no provider behind
// it (the rows are listed and their digests are zeros), or, in a Wine prefix
// of its own, with the GOST test provider of tests/fixtures/gost-provider ("Image
// Path" set), which computes them.
#pragma once

#include <map>
#include <string>

namespace fixture {

// Whether the GOST rows give real digests here.
bool GostProviderInstalled();

// While one lives, the GOST provider refuses every context: the GOST test
// provider's switch (the environment variable KORVANE_TEST_PROVIDER_REFUSE)
// under Windows, the stand-in's refusal natively. Natively its end registers
// every provider again, with no refusals.
class GostContextsRefused {
 public:
  GostContextsRefused();
  ~GostContextsRefused();
  GostContextsRefused(const GostContextsRefused&) = delete;
  GostContextsRefused& operator=(const GostContextsRefused&) = delete;
};

// Digests of the three bytes "abc" by hasher name, upper-case hex, as
// nettle-hash gives them (gosthash94cp, streebog256, streebog512).
extern const std::map<std::string, std::string> kGostAbc;

}  // namespace fixture
