// Definitions files in either form: the binary file of the library's
// streamer, or the JSON text form, told apart by the first byte that is not
// blank ('{' or '[' begin a text; a binary file begins with 00).
#ifndef ORBTOOL_TABLES_H_
#define ORBTOOL_TABLES_H_

#include <memory>
#include <string>

#include "orbcmn/zactiontable.h"
#include "orbcmn/zatomtable.h"

namespace orbtool {

// The table in path ("-": standard input); ToolError naming path when it
// cannot be read, is not an atom table, is damaged or truncated, or has
// bytes after the table.
std::unique_ptr<ZAtomTable> LoadAtomTable(const std::string& path);
// The action table in path, likewise.
std::unique_ptr<ZActionTable> LoadActionTable(const std::string& path);

// The same from the content of a file; source names it in messages.
std::unique_ptr<ZAtomTable> AtomTableFromData(const std::string& data, const std::string& source);
std::unique_ptr<ZActionTable> ActionTableFromData(const std::string& data,
                                                  const std::string& source);

// The bytes of the binary file of a table; ToolError when the library
// refuses to save it (what the file format cannot hold).
std::string SaveAtomTable(ZAtomTable& table);
std::string SaveActionTable(ZActionTable& table);

// True when data looks like the JSON text form.
bool IsJsonText(const std::string& data);

}  // namespace orbtool

#endif  // ORBTOOL_TABLES_H_
