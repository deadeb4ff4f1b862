// Library entry on POSIX, the twin of DllMain on Windows: at load the
// library asks for no thread notifications and registers its own version
// data (file version 14.0), which a Windows DLL carries as a resource.
#include <dlfcn.h>

#include "orbcmn/utilversion.h"
#include "platform/win32.h"

namespace {

void RegisterOwnVersion() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&UtilSetVersion), &info) == 0 || info.dli_fname == nullptr) {
    return;
  }
  VS_FIXEDFILEINFO fixed = {};
  fixed.dwFileVersionMS = fixed.dwProductVersionMS = 14u << 16;
  fixed.dwFileOS = VOS__WINDOWS32;
  fixed.dwFileType = VFT_DLL;
  OrbWin_RegisterVersionInfo(info.dli_fname, &fixed);
}

__attribute__((constructor)) void OnProcessAttach() {
  DisableThreadLibraryCalls(nullptr);
  RegisterOwnVersion();
}

}  // namespace
