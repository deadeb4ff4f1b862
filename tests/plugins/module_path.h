// Test helpers for module loading: a scoped ORB_MODULE_PATH and the name a
// test plug-in gives itself.
#ifndef ORB_TEST_MODULE_PATH_H_
#define ORB_TEST_MODULE_PATH_H_

#include <stdlib.h>

#include <string>

#include "platform/win32.h"

// Sets ORB_MODULE_PATH (null: unsets it) for the life of the object and
// puts back what was there before.
class ScopedModulePath {
 public:
  explicit ScopedModulePath(const char* value) {
    const char* old = getenv("ORB_MODULE_PATH");
    had_ = old != nullptr;
    if (had_) old_ = old;
    Set(value);
  }
  ~ScopedModulePath() { Set(had_ ? old_.c_str() : nullptr); }
  ScopedModulePath(const ScopedModulePath&) = delete;
  ScopedModulePath& operator=(const ScopedModulePath&) = delete;

  static void Set(const char* value) {
    if (value != nullptr) {
      setenv("ORB_MODULE_PATH", value, 1);
    } else {
      unsetenv("ORB_MODULE_PATH");
    }
  }

 private:
  bool had_ = false;
  std::string old_;
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
