// CommonInitialize, CommonTerminate and CommonGetVersion.
#include "lib/plugin.h"
#include "platform/win32.h"

OrbPluginState g_orbPlugin = {nullptr, nullptr, nullptr, nullptr};

namespace {

const char kBuild[] = "ORBCMN Build 14";

// An entry of `module` as the function type the library calls it with;
// null when the module or the entry is missing.
template <typename Fn>
Fn Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

int CommonInitialize(void) {
  HMODULE module = LoadLibraryA("ORBADA32");
  g_orbPlugin.module = module;
  g_orbPlugin.normalize = Entry<AdaNormalizeAtomStreamFn>(module, "AdaNormalizeAtomStream");
  g_orbPlugin.assemble = Entry<AdaAssembleArgumentFn>(module, "AdaAssembleArgument");
  g_orbPlugin.disassemble = Entry<AdaDisassembleArgumentFn>(module, "AdaDisassembleArgument");
  return 0;
}

int CommonTerminate(void) {
  if (g_orbPlugin.module == nullptr) return 0;
  FreeLibrary(static_cast<HMODULE>(g_orbPlugin.module));
  g_orbPlugin = OrbPluginState{nullptr, nullptr, nullptr, nullptr};
  return 0;
}

const char* CommonGetVersion(void) { return kBuild; }

const OrbPluginState* CommonPluginState(void) { return &g_orbPlugin; }
