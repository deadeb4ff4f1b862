// Exports of the test plug-ins: plain C names, visible outside the module.
#ifndef ORB_TEST_PLUGIN_EXPORT_H_
#define ORB_TEST_PLUGIN_EXPORT_H_

#include "orbcmn/plugin.h"

#if defined(_WIN32)
#define ORB_TEST_EXPORT extern "C" __declspec(dllexport)
#else
#define ORB_TEST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Every test plug-in names itself, so a test can tell which file loaded.
ORB_TEST_EXPORT const char* OrbTestPluginName(void) { return ORB_PLUGIN_NAME; }

#endif  // ORB_TEST_PLUGIN_EXPORT_H_
