// Reading one JSON object of a definitions file with checks: every field is
// of the expected kind and range, unknown fields are refused, and errors
// name the place in the file ("actions[2].codes[0].variant: ...").
#ifndef ORBTOOL_JSON_FIELDS_H_
#define ORBTOOL_JSON_FIELDS_H_

#include <nlohmann/json.hpp>
#include <set>
#include <string>

namespace orbtool {

using Json = nlohmann::ordered_json;

// Parses a whole definitions text; ToolError naming source on bad JSON.
Json ParseJson(const std::string& text, const std::string& source);
// The text of a definitions file: two-blank indentation, final line feed.
std::string JsonText(const Json& j);

// A value with a name of its own in the text form; lists end with a null
// text.
struct NamedValue {
  const char* text;
  long long value;
};
// The name of value in names, or the number itself.
Json NameOrNumber(long long value, const NamedValue* names);

class Fields {
 public:
  // ToolError unless j is an object.
  Fields(const Json& j, std::string path);

  bool Has(const char* key) const;
  // An integer in [min, max] (a JSON number, or a text in decimal or with a
  // 0x prefix); def when the field is absent and not required.
  long long Number(const char* key, long long min, long long max, long long def, bool required);
  long long Number(const char* key, long long min, long long max) {
    return Number(key, min, max, 0, true);
  }
  // A text, as the library's bytes (see BytesToUtf8); def when absent.
  std::string Text(const char* key, const std::string& def, bool required);
  // True when the field is absent or null (and marks it as read).
  bool Null(const char* key);
  // An array, or null when absent.
  const Json* List(const char* key);
  // A value that has a name in names (the name or the number may be
  // written) or any other number in [min, max].
  long long Named(const char* key, const NamedValue* names, long long min, long long max,
                  long long def, bool required);
  // ToolError when the object holds a field that was not asked for.
  void Done() const;

  const std::string& path() const { return path_; }
  std::string Sub(const char* key, size_t index) const;
  [[noreturn]] void Fail(const char* key, const std::string& what) const;

 private:
  const Json& j_;
  std::string path_;
  std::set<std::string> seen_;
};

}  // namespace orbtool

#endif  // ORBTOOL_JSON_FIELDS_H_
