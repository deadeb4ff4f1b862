// Definitions files in either form.
#include "tables.h"

#include "actions_json.h"
#include "atoms_json.h"
#include "tool.h"

namespace orbtool {

bool IsJsonText(const std::string& data) {
  size_t i = data.find_first_not_of(" \t\r\n");
  return i != std::string::npos && (data[i] == '{' || data[i] == '[');
}

std::unique_ptr<ZAtomTable> LoadAtomTable(const std::string& path) {
  std::string data = ReadInput(path);
  if (IsJsonText(data)) return AtomTableFromJson(ParseJson(data, path), path);
  throw ToolError(path + ": not an atom table in the text form");
}

std::unique_ptr<ZActionTable> LoadActionTable(const std::string& path) {
  std::string data = ReadInput(path);
  if (IsJsonText(data)) return ActionTableFromJson(ParseJson(data, path), path);
  throw ToolError(path + ": not an action table in the text form");
}

}  // namespace orbtool
