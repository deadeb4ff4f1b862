// Library entry on Windows: no thread notifications, no other start-up
// work; the plug-in waits for CommonInitialize and the version data is the
// DLL's own resource.
#include "platform/win32.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
