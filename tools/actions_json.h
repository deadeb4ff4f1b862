// The text form of action tables (see docs/json-schema.md).
#ifndef ORBTOOL_ACTIONS_JSON_H_
#define ORBTOOL_ACTIONS_JSON_H_

#include <memory>
#include <string>

#include "json_fields.h"
#include "orbcmn/zactiontable.h"

namespace orbtool {

// Builds a table through the library's building operations. ToolError,
// naming source and the place in the text, on anything that does not fit
// the schema or would not come back the same (code variants other than the
// OR of the codes' variants, a fragment with both bytes and an index, a
// condition with both a text and a number, upper-case condition texts).
std::unique_ptr<ZActionTable> ActionTableFromJson(const Json& j, const std::string& source);

// The text form of a table. ToolError naming source when the table holds
// what the building operations cannot make again (those cases, and elements
// shared between two places of the tree).
Json ActionTableToJson(const ZActionTable& table, const std::string& source);

// The names of the action option bits ("magic", "pop", "marker22",
// "marker21", "wait-on"), for texts such as "magic,wait-on".
extern const NamedValue kActionOptions[];

}  // namespace orbtool

#endif  // ORBTOOL_ACTIONS_JSON_H_
