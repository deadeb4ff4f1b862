// Checked reading of the JSON text form.
#include "json_fields.h"

#include <utility>

#include "tool.h"

namespace orbtool {

Json ParseJson(const std::string& text, const std::string& source) {
  try {
    return Json::parse(text);
  } catch (const Json::parse_error& e) {
    // The library's message starts with "[json.exception.parse_error.101] ".
    std::string what = e.what();
    size_t end = what.find("] ");
    if (end != std::string::npos) what = what.substr(end + 2);
    throw ToolError(source + ": not valid JSON: " + what);
  }
}

std::string JsonText(const Json& j) { return j.dump(2) + "\n"; }

Json NameOrNumber(long long value, const NamedValue* names) {
  for (const NamedValue* n = names; n->text != nullptr; ++n) {
    if (n->value == value) return n->text;
  }
  return value;
}

Fields::Fields(const Json& j, std::string path) : j_(j), path_(std::move(path)) {
  if (!j_.is_object()) throw ToolError(path_ + ": expected an object");
}

bool Fields::Has(const char* key) const { return j_.contains(key); }

std::string Fields::Sub(const char* key, size_t index) const {
  std::string p = path_.empty() ? key : path_ + "." + key;
  return p + "[" + std::to_string(index) + "]";
}

void Fields::Fail(const char* key, const std::string& what) const {
  std::string p = path_.empty() ? key : path_ + "." + key;
  throw ToolError(p + ": " + what);
}

long long Fields::Number(const char* key, long long min, long long max, long long def,
                         bool required) {
  seen_.insert(key);
  auto it = j_.find(key);
  if (it == j_.end()) {
    if (required) Fail(key, "missing");
    return def;
  }
  long long v = 0;
  bool ok = false;
  if (it->is_number_integer()) {
    if (it->is_number_unsigned()) {
      unsigned long long u = it->get<unsigned long long>();
      ok = u <= static_cast<unsigned long long>(max);
      v = static_cast<long long>(u);
    } else {
      v = it->get<long long>();
      ok = true;
    }
  } else if (it->is_string()) {
    ok = ParseNumber(it->get<std::string>(), min, max, &v);
  }
  if (!ok || v < min || v > max) {
    Fail(key, "expected a whole number from " + std::to_string(min) + " to " + std::to_string(max));
  }
  return v;
}

std::string Fields::Text(const char* key, const std::string& def, bool required) {
  seen_.insert(key);
  auto it = j_.find(key);
  if (it == j_.end()) {
    if (required) Fail(key, "missing");
    return def;
  }
  if (!it->is_string()) Fail(key, "expected a text");
  std::string bytes;
  if (!Utf8ToBytes(it->get<std::string>(), &bytes)) {
    Fail(key, "characters above U+00FF cannot be stored (texts are single bytes)");
  }
  return bytes;
}

bool Fields::Null(const char* key) {
  seen_.insert(key);
  auto it = j_.find(key);
  return it == j_.end() || it->is_null();
}

const Json* Fields::List(const char* key) {
  seen_.insert(key);
  auto it = j_.find(key);
  if (it == j_.end()) return nullptr;
  if (!it->is_array()) Fail(key, "expected a list");
  return &*it;
}

long long Fields::Named(const char* key, const NamedValue* names, long long min, long long max,
                        long long def, bool required) {
  auto it = j_.find(key);
  if (it != j_.end() && it->is_string()) {
    seen_.insert(key);
    std::string text = it->get<std::string>();
    std::string known;
    for (const NamedValue* n = names; n->text != nullptr; ++n) {
      if (text == n->text) return n->value;
      known += known.empty() ? "" : ", ";
      known += n->text;
    }
    long long v = 0;
    if (ParseNumber(text, min, max, &v)) return v;
    Fail(key, "unknown name '" + text + "' (known: " + known + ", or a number)");
  }
  return Number(key, min, max, def, required);
}

void Fields::Done() const {
  for (auto it = j_.begin(); it != j_.end(); ++it) {
    if (seen_.count(it.key()) == 0) Fail(it.key().c_str(), "unknown field");
  }
}

}  // namespace orbtool
