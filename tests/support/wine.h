// Wine runs the Windows build of the tests here. Where Wine is known to
// behave otherwise than Windows, a test checks Windows' behaviour only on
// Windows itself and says so.
#ifndef ORB_TESTS_SUPPORT_WINE_H_
#define ORB_TESTS_SUPPORT_WINE_H_

#include "platform/win32.h"

inline bool UnderWine() {
#if defined(_WIN32)
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

// A file whose every write fails as on a full disk: /dev/full, reached
// under Wine through its drive Z:; Windows itself has no such device.
inline const char* FullDisk() {
#if defined(_WIN32)
  return UnderWine() ? "Z:\\dev\\full" : nullptr;
#else
  return "/dev/full";
#endif
}

#endif  // ORB_TESTS_SUPPORT_WINE_H_
