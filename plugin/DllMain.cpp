// Windows entry point: module start on process attach, module end on detach.
#include "plugin/Module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      ModuleStart(instance);
      break;
    case DLL_PROCESS_DETACH: ModuleEnd(); break;
    default: break;
  }
  return TRUE;
}
