// The text form of atom streams: one atom a line,
//
//   PROTOCOL ATOM NAME [= TEXT | [HEX BYTES] | "TEXT"]
//
// where NAME is the atom's name in the table ("?" when it is not there, in
// double quotes when it holds blanks or special characters), "= TEXT" shows
// the data through the atom's enumeration, "[..]" gives the data bytes and
// a double-quoted text (JSON escapes, characters up to U+00FF) gives them
// as characters. Lines starting with '#' and blank lines are ignored. The
// assembler also takes "NAME ..." without the numbers, which it finds in
// the table.
#ifndef ORBTOOL_STREAM_H_
#define ORBTOOL_STREAM_H_

#include <string>

#include "orbcmn/zatomtable.h"
#include "tool.h"

namespace orbtool {

// The text of the atom stream in bytes, names and enumerations from table
// (may be null); cls >= 0 looks atoms up in that class only, otherwise in
// the first class that has them. ToolError on bytes that are not a stream
// as the atom stream builder writes it (source names the input).
std::string DisassembleStream(const ZAtomTable* table, long cls, const Bytes& bytes,
                              const std::string& source);

// The bytes of the text; ToolError naming source and the line on a line
// that does not parse or names what the table does not hold. Disassembling
// and assembling again gives the same bytes.
Bytes AssembleStream(const ZAtomTable* table, long cls, const std::string& text,
                     const std::string& source);

}  // namespace orbtool

#endif  // ORBTOOL_STREAM_H_
