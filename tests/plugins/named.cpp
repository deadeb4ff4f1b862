// A module that holds none of the plug-in entries, only its name: built
// under each file name the module search tries.
#include "plugins/plugin_export.h"
