// Helpers shared by the action table tests: byte buffers written as hex
// text, and the plug-in loaded for the length of a scope.
#ifndef ORB_TESTS_ACTIONS_SUPPORT_H_
#define ORB_TESTS_ACTIONS_SUPPORT_H_

#include <cstdio>
#include <cstdlib>
#include <string>

#include "orbcmn/orbcmn.h"
#include "plugins/module_path.h"

// The bytes of a text such as "00 01 0A" (blanks between bytes are optional).
inline ZBuffer Hex(const char* text) {
  std::string bytes;
  std::string digits;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == ' ') continue;
    digits += *p;
    if (digits.size() == 2) {
      bytes += static_cast<char>(std::strtoul(digits.c_str(), nullptr, 16));
      digits.clear();
    }
  }
  return ZBuffer(bytes.data(), static_cast<unsigned int>(bytes.size()));
}

// The bytes of a buffer as "00 01 0A", for readable failures.
inline std::string ToHex(const ZBuffer& buffer) {
  std::string text;
  for (unsigned int i = 0; i < buffer.GetLength(); ++i) {
    char part[4];
    std::snprintf(part, sizeof part, "%s%02X", i == 0 ? "" : " ", buffer.GetBytePtr()[i]);
    text += part;
  }
  return text;
}

inline std::string Str(const ZString& text) {
  return std::string(
      static_cast<const char*>(text) == nullptr ? "" : static_cast<const char*>(text),
      text.GetLength());
}

// Loads the plug-in for the life of the scope: the project's own one found
// beside the library (folder null), or whatever a test folder holds
// (ORB_TEST_PLUGIN_DIR/<folder>; "empty" holds none).
class PluginScope {
 public:
  explicit PluginScope(const char* folder)
      : path_(folder == nullptr ? nullptr : TestPluginDir(folder).c_str()) {
    CommonInitialize();
  }
  ~PluginScope() { CommonTerminate(); }
  PluginScope(const PluginScope&) = delete;
  PluginScope& operator=(const PluginScope&) = delete;

 private:
  ScopedModulePath path_;
};

#endif  // ORB_TESTS_ACTIONS_SUPPORT_H_
