// Test helpers for module loading: a scoped ORB_MODULE_PATH and the name a
// test plug-in gives itself.
#ifndef ORB_TEST_MODULE_PATH_H_
#define ORB_TEST_MODULE_PATH_H_

#include <stdlib.h>
#include <string.h>

#include <string>
#include <utility>

#include "platform/win32.h"

// Chooses where LoadLibraryA of a bare name looks for the life of the
// object (null: the default search, which finds the project's plug-in) and
// puts back the default afterwards. On POSIX it sets ORB_MODULE_PATH; on
// Windows the search is limited to that one directory
// (SetDefaultDllDirectories, AddDllDirectory), in place of the
// application's folder.
class ScopedModulePath {
 public:
  explicit ScopedModulePath(const char* value) { Set(value); }
  ~ScopedModulePath() { Set(nullptr); }
  ScopedModulePath(const ScopedModulePath&) = delete;
  ScopedModulePath& operator=(const ScopedModulePath&) = delete;

#if defined(_WIN32)
  static void Set(const char* value) {
    static DLL_DIRECTORY_COOKIE cookie = nullptr;
    if (cookie != nullptr) RemoveDllDirectory(std::exchange(cookie, nullptr));
    if (value == nullptr) {
      SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
      return;
    }
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_USER_DIRS);
    char full[MAX_PATH];
    if (GetFullPathNameA(value, MAX_PATH, full, nullptr) == 0) return;
    std::wstring wide(full, full + strlen(full));
    cookie = AddDllDirectory(wide.c_str());
  }
#else
  static void Set(const char* value) {
    if (value != nullptr) {
      setenv("ORB_MODULE_PATH", value, 1);
    } else {
      unsetenv("ORB_MODULE_PATH");
    }
  }
#endif
};

// Folder of the test plug-in case `name`.
inline std::string TestPluginDir(const char* name) {
  return std::string(ORB_TEST_PLUGIN_DIR) + "/" + name;
}

// The name a test plug-in reports; "" for a module without one (the real
// plug-in) or a null module.
inline std::string TestPluginName(HMODULE module) {
  typedef const char* (*NameFn)();
  FARPROC entry = GetProcAddress(module, "OrbTestPluginName");
  if (entry == nullptr) return "";
  return reinterpret_cast<NameFn>(reinterpret_cast<void (*)()>(entry))();
}

#endif  // ORB_TEST_MODULE_PATH_H_
