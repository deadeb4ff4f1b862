// The text form of atom tables (see docs/json-schema.md).
#ifndef ORBTOOL_ATOMS_JSON_H_
#define ORBTOOL_ATOMS_JSON_H_

#include <memory>
#include <string>

#include "json_fields.h"
#include "orbcmn/zatomtable.h"

namespace orbtool {

// Builds a table through the library's building operations. ToolError,
// naming source and the place in the text, on anything that does not fit
// the schema or would not come back the same (repeated numbers, upper-case
// names, further arguments without an argument 0 type).
std::unique_ptr<ZAtomTable> AtomTableFromJson(const Json& j, const std::string& source);

// The text form of a table. ToolError naming source when the table holds
// what the building operations cannot make again (an empty class or
// protocol, repeated numbers, upper-case names, an argument record whose
// enumeration is not its atom's, further arguments without an argument 0
// type): such a table would not build back to the same bytes.
Json AtomTableToJson(const ZAtomTable& table, const std::string& source);

// The names of the enumeration operations in the text form.
extern const NamedValue kEnumOperations[];

}  // namespace orbtool

#endif  // ORBTOOL_ATOMS_JSON_H_
