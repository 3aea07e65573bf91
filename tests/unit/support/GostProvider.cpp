#include "tests/unit/support/GostProvider.h"

#include "platform/Win32.h"
#ifndef _WIN32
#include "platform/linux/TestControl.h"
#endif

namespace fixture {

namespace {

#ifdef _WIN32
const wchar_t kRefuseSwitch[] = L"KORVANE_TEST_PROVIDER_REFUSE";
#endif

}  // namespace

bool GostProviderInstalled() {
#ifdef _WIN32
  return RegGetValueW(HKEY_LOCAL_MACHINE,
                      L"SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\Infotecs Cryptographic "
                      L"Service Provider",
                      L"Image Path", RRF_RT_REG_SZ, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
#else
  return true;
#endif
}

GostContextsRefused::GostContextsRefused() {
#ifdef _WIN32
  SetEnvironmentVariableW(kRefuseSwitch, L"1");
#else
  standin::RefuseContext(u"Infotecs Cryptographic Service Provider");
#endif
}

GostContextsRefused::~GostContextsRefused() {
#ifdef _WIN32
  SetEnvironmentVariableW(kRefuseSwitch, nullptr);
#else
  standin::Reset();
  standin::RegisterAllProviders();
#endif
}

const std::map<std::string, std::string> kGostAbc = {
    {"GOST R 34.11-94", "B285056DBF18D7392D7677369524DD14747459ED8143997E163B2986F92FD42C"},
    {"GOST 34.11-2012 256", "4E2919CF137ED41EC4FB6270C61826CC4FFFB660341E0AF3688CD0626D23B481"},
    {"GOST 34.11-2012 512",
     "28156E28317DA7C98F4FE2BED6B542D0DAB85BB224445FCEDAF75D46E26D7EB8D5997F3E0915DD6B7F0AAB08D9C8BEB0"
     "D8C64BAE2AB8B3C8C6BC53B3BF0DB728"},
};

}  // namespace fixture
