// orbtool: the library at the command line.
#include <cstdio>
#include <cstring>

#include "orbcmn/orbcmn.h"
#include "platform/win32.h"

namespace {

int Version() {
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
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "version") == 0) return Version();
  std::fprintf(stderr, "usage: orbtool version\n");
  return 2;
}
