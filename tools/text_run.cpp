// Matching and tokenizing through the library's engine.
#include "text_run.h"

#include <sstream>

#include "json_fields.h"
#include "orbcmn/zlist.h"
#include "orbcmn/zparser.h"
#include "orbcmn/zregexp.h"
#include "tool.h"

namespace orbtool {

namespace {

std::string Str(const ZString& s) {
  return std::string(static_cast<const char*>(s), s.GetLength());
}
ZString Z(const std::string& s) { return ZString(s.data(), static_cast<unsigned>(s.size())); }
std::string Quote(const std::string& bytes) { return Json(BytesToUtf8(bytes)).dump(); }

}  // namespace

std::string MatchRegex(const std::string& pattern, const std::string& text, bool caretRule) {
  ZRegExp expression(Z(pattern), caretRule);
  ZString subject = Z(text);
  if (!(expression == subject)) throw ToolError("no match");
  std::string out = "rest " + Quote(Str(subject)) + "\n";
  ZListString parameters;
  expression.GetParameters(parameters);
  int n = 1;
  for (auto it = parameters.begin(); it != parameters.end(); ++it, ++n) {
    out += "parameter " + std::to_string(n) + " " + Quote(Str(*it)) + "\n";
  }
  return out;
}

std::string Tokenize(const std::string& syntax, const std::string& source,
                     const std::string& text) {
  ZParser parser;
  std::istringstream in(syntax);
  std::string line;
  int count = 0;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    size_t end = line.find_first_of(" \t", start);
    long long token = 0;
    std::string where = source + ": line " + std::to_string(number);
    if (end == std::string::npos ||
        !ParseNumber(line.substr(start, end - start), INT32_MIN, INT32_MAX, &token)) {
      throw ToolError(where + ": expected 'TOKEN PATTERN'");
    }
    size_t pattern = line.find_first_not_of(" \t", end);
    if (pattern == std::string::npos) throw ToolError(where + ": the pattern is missing");
    parser.AddSyntax(line.c_str() + pattern, static_cast<int>(token));
    ++count;
  }
  if (count == 0) throw ToolError(source + ": no syntax");

  std::string out;
  ZString rest = Z(text);
  ZListString parameters;
  while (rest.GetLength() > 0) {
    unsigned before = rest.GetLength();
    int token = parser.Parse(rest, parameters);
    if (token == -1) {
      throw ToolError(out.empty()
                          ? "no syntax matches " + Quote(Str(rest))
                          : "after the tokens\n" + out + "no syntax matches " + Quote(Str(rest)));
    }
    out += std::to_string(token);
    for (auto it = parameters.begin(); it != parameters.end(); ++it) out += " " + Quote(Str(*it));
    out += "\n";
    if (rest.GetLength() == before) {
      throw ToolError("token " + std::to_string(token) + " matched without consuming text");
    }
  }
  return out;
}

}  // namespace orbtool
