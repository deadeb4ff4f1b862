// Loading definitions from a file that holds either the binary form or the
// JSON text form, told apart by the first byte that is not blank ('{' or
// '[' begin a text; a binary file begins with 00).
#ifndef ORBTOOL_TABLES_H_
#define ORBTOOL_TABLES_H_

#include <memory>
#include <string>

#include "orbcmn/zactiontable.h"
#include "orbcmn/zatomtable.h"

namespace orbtool {

// The table in path ("-": standard input); ToolError naming path when it
// cannot be read or is not an atom table.
std::unique_ptr<ZAtomTable> LoadAtomTable(const std::string& path);

// The action table in path, likewise.
std::unique_ptr<ZActionTable> LoadActionTable(const std::string& path);

// True when data looks like the JSON text form.
bool IsJsonText(const std::string& data);

}  // namespace orbtool

#endif  // ORBTOOL_TABLES_H_
