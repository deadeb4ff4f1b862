// orbtool version: the library's build string and the plug-in it found.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstring>

#include "orbcmn/orbcmn.h"
#include "platform/win32.h"
#include "tool.h"

namespace orbtool {

namespace {

void Version() {
  std::printf("%s\n", CommonGetVersion());
  CommonInitialize();
  const OrbPluginState* plugin = CommonPluginState();
  if (plugin->module == nullptr) {
    std::printf("plug-in ORBADA32: absent\n");
  } else {
    char path[MAX_PATH];
    if (GetModuleFileNameA(static_cast<HMODULE>(plugin->module), path, sizeof path) == 0) {
      std::strcpy(path, "?");
    }
    std::printf("plug-in ORBADA32: %s\n", path);
    std::printf("  AdaNormalizeAtomStream: %s\n", plugin->normalize ? "resolved" : "missing");
    std::printf("  AdaAssembleArgument: %s\n", plugin->assemble ? "resolved" : "missing");
    std::printf("  AdaDisassembleArgument: %s\n", plugin->disassemble ? "resolved" : "missing");
  }
  CommonTerminate();
}

}  // namespace

void AddVersionCommand(CLI::App& app) {
  app.add_subcommand("version", "Print the library's build string and the plug-in it finds")
      ->callback(Version);
}

}  // namespace orbtool
