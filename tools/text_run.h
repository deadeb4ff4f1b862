// Regular expressions and the tokenizer, shared by their subcommands and
// the demo.
#ifndef ORBTOOL_TEXT_RUN_H_
#define ORBTOOL_TEXT_RUN_H_

#include <string>

namespace orbtool {

// "rest TEXT" and one "parameter N TEXT" line each (texts JSON-quoted);
// ToolError "no match" when the expression does not match.
std::string MatchRegex(const std::string& pattern, const std::string& text, bool caretRule);

// One line per token, "TOKEN PARAMETERS...", while the text lasts. The
// syntax file holds lines "TOKEN PATTERN": a whole number, blanks, then the
// pattern up to the end of the line. ToolError naming source on a bad
// line, and when no syntax matches the rest of the text or a syntax
// matches without consuming anything.
std::string Tokenize(const std::string& syntax, const std::string& source, const std::string& text);

}  // namespace orbtool

#endif  // ORBTOOL_TEXT_RUN_H_
