// Recognising and generating actions, shared by the actions subcommands and
// the demo.
#ifndef ORBTOOL_ACTIONS_RUN_H_
#define ORBTOOL_ACTIONS_RUN_H_

#include <string>
#include <vector>

#include "orbcmn/zactiontable.h"
#include "tool.h"

namespace orbtool {

// Loads the plug-in for the life of the object.
class PluginSession {
 public:
  PluginSession();
  ~PluginSession();
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;
};

// What recognition found, as text: the action, its options and one line
// per argument. ToolError when the plug-in's normaliser is absent or no
// action matches.
std::string RecognizeAction(ZActionTable& table, const Bytes& bytes);

// The bytes of the action named name with options and texts. ToolError with
// the reason when there is no such action or it cannot be generated.
Bytes GenerateAction(ZActionTable& table, const std::string& name, unsigned options,
                     const std::vector<std::string>& texts);

// Options as a number or names joined by commas ("magic,wait-on"); false
// on anything else.
bool ParseOptions(const std::string& text, unsigned* options);
// "0x21 (magic, wait-on)".
std::string FormatOptions(unsigned options);

}  // namespace orbtool

#endif  // ORBTOOL_ACTIONS_RUN_H_
