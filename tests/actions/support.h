// Helpers shared by the action table tests: texts and lists of texts,
// descriptions built from hex, and the plug-in loaded for a scope.
#ifndef ORB_TESTS_ACTIONS_SUPPORT_H_
#define ORB_TESTS_ACTIONS_SUPPORT_H_

#include <cstdlib>
#include <initializer_list>
#include <string>

#include "orbcmn/orbcmn.h"
#include "plugins/module_path.h"
#include "support/text.h"

inline std::string Str(const ZString& text) {
  const char* p = text;
  return p == nullptr ? std::string() : std::string(p, text.GetLength());
}

// The strings as "[first][second]".
inline std::string Join(const ZVectorString& strings) {
  std::string all;
  for (int i = 0; i < strings.size(); i++) all += "[" + Str(strings[i]) + "]";
  return all;
}
inline std::string Join(const ZListString& strings) {
  std::string all;
  for (auto it = strings.begin(); it != strings.end(); ++it) all += "[" + Str(*it) + "]";
  return all;
}

// Adds a code whose pieces are written "01 05" (stream bytes), "=0B" (data
// bytes) or "#1" (the slot of argument index 1); null when an addition
// failed.
inline ZActionCode* AddCode(ZActionDescription& d, unsigned int variant,
                            std::initializer_list<const char*> pieces) {
  ZActionCode* code = d.AddCode(variant);
  for (const char* p : pieces) {
    ZBuffer bytes = Hex(p + (p[0] == '='));
    auto type = p[0] == '=' ? ZActionFragment::DataBytes : ZActionFragment::StreamBytes;
    bool ok = code != nullptr &&
              (p[0] == '#' ? code->AddFragment(ZActionFragment::ArgumentSlot, atoi(p + 1))
                           : bytes.GetLength() > 0 && code->AddFragment(type, bytes));
    if (!ok) return nullptr;
  }
  return code;
}

// Adds the description "all": an argument of every kind (a Number of two
// bytes shifted by -1, an AdaKind5 of one byte), and one variant-3 code
// with a condition that argument 2 be at least 10. Null when an addition
// failed.
inline ZActionDescription* AddEveryKind(ZActionTable& table) {
  ZString name("all"), a("a");
  ZActionDescription* d = table.AddDescription(name, 0);
  const ZActionArgument::EType kinds[] = {ZActionArgument::TwoBytes, ZActionArgument::Number,
                                          ZActionArgument::AdaKind5, ZActionArgument::AdaKind1,
                                          ZActionArgument::None,     ZActionArgument::Text};
  for (int i = 0; i < 6; i++) {
    if (d == nullptr || !d->AddArgument(i + 1, kinds[i], a, i == 1 ? 2 : i == 2, -(i == 1))) {
      return nullptr;
    }
  }
  ZActionCode* code =
      AddCode(*d, 3, {"01 09", "=0B", "#0", "#1", "01 0A", "#2", "#3", "01 0B", "=0C", "#5"});
  bool ok = code != nullptr && !name.IsEmpty() && !a.IsEmpty() &&
            code->AddCondition(2, ZActionCondition::AtLeast, ZActionCondition::Replace, 10L);
  return ok ? d : nullptr;
}

// Loads the plug-in for the life of the scope: the project's own one found
// beside the library (folder null), or whatever a test folder holds
// (ORB_TEST_PLUGIN_DIR/<folder>; "empty" holds none).
class PluginScope {
 public:
  explicit PluginScope(const char* folder)
      : path_(folder == nullptr ? nullptr : TestPluginDir(folder).c_str()) {
    CommonInitialize();
  }
  ~PluginScope() { CommonTerminate(); }
  PluginScope(const PluginScope&) = delete;
  PluginScope& operator=(const PluginScope&) = delete;

 private:
  ScopedModulePath path_;
};

#endif  // ORB_TESTS_ACTIONS_SUPPORT_H_
