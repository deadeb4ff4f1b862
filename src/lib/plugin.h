// The plug-in state, shared by the lifecycle functions and the action code
// that converts arguments and normalises streams.
#ifndef ORBCMN_LIB_PLUGIN_H_
#define ORBCMN_LIB_PLUGIN_H_

#include "orbcmn/common.h"

// Library-wide, zero at load; written only by CommonInitialize and
// CommonTerminate. Users test an entry for null before each call.
extern OrbPluginState g_orbPlugin;

#endif  // ORBCMN_LIB_PLUGIN_H_
