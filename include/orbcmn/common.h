// Library lifecycle: plug-in loading and release, and the build string.
#ifndef ORBCMN_COMMON_H_
#define ORBCMN_COMMON_H_

#include "orbcmn/export.h"
#include "orbcmn/plugin.h"

// Loads the plug-in ORBADA32 and resolves AdaNormalizeAtomStream,
// AdaAssembleArgument and AdaDisassembleArgument, each independently (a
// missing one stays null). A missing plug-in is not an error. A second call
// loads the module again and overwrites the state. Always 0.
ORBCMN_C int CommonInitialize(void);
// Frees the plug-in when one is held and sets the module and its three
// entries to null; does nothing otherwise. Always 0.
ORBCMN_C int CommonTerminate(void);
// The build string "ORBCMN Build 14"; the caller must not free or change it.
ORBCMN_C const char* CommonGetVersion(void);

// The plug-in state: all null until CommonInitialize finds the module and
// again after CommonTerminate.
struct OrbPluginState {
  void* module;
  AdaNormalizeAtomStreamFn normalize;
  AdaAssembleArgumentFn assemble;
  AdaDisassembleArgumentFn disassemble;
};
// Read-only view of the plug-in state, for diagnostics.
ORBCMN_C const OrbPluginState* CommonPluginState(void);

#endif  // ORBCMN_COMMON_H_
