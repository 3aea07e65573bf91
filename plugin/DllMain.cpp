// Windows entry point: module start on process attach, module end on detach.
#include "plugin/Module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      ModuleStart(instance);
      break;
    case DLL_PROCESS_DETACH:
      // reserved is set when the process ends rather than the host unloading
      // the plug-in.
      ModuleEnd(reserved != nullptr);
      break;
    default: break;
  }
  return TRUE;
}
