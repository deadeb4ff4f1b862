// Recognition and generation of actions.
#include "actions_run.h"

#include <cstdio>

#include "actions_json.h"
#include "orbcmn/common.h"
#include "orbcmn/zvectorstring.h"

namespace orbtool {

namespace {

std::string Str(const ZString& s) {
  return std::string(static_cast<const char*>(s), s.GetLength());
}

std::string Quote(const std::string& bytes) { return Json(BytesToUtf8(bytes)).dump(); }

}  // namespace

PluginSession::PluginSession() { CommonInitialize(); }

PluginSession::~PluginSession() { CommonTerminate(); }

bool ParseOptions(const std::string& text, unsigned* options) {
  long long number = 0;
  if (ParseNumber(text, 0, 0xFFFFFFFFLL, &number)) {
    *options = static_cast<unsigned>(number);
    return true;
  }
  unsigned bits = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    std::string name = text.substr(start, end - start);
    const NamedValue* n = kActionOptions;
    while (n->text != nullptr && name != n->text) ++n;
    if (n->text == nullptr) return false;
    bits |= static_cast<unsigned>(n->value);
    start = end + 1;
  }
  *options = bits;
  return true;
}

std::string FormatOptions(unsigned options) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%x", options);
  std::string names;
  for (const NamedValue* n = kActionOptions; n->text != nullptr; ++n) {
    if ((options & n->value) == 0) continue;
    names += names.empty() ? "" : ", ";
    names += n->text;
  }
  return names.empty() ? hex : std::string(hex) + " (" + names + ")";
}

std::string RecognizeAction(ZActionTable& table, const Bytes& bytes) {
  if (CommonPluginState()->normalize == nullptr) {
    throw ToolError("recognition needs the plug-in ORBADA32 and its normaliser, which are absent");
  }
  Bytes copy = bytes;
  unsigned options = 0;
  ZVectorString args;
  ZActionDescription* d = table.Recognize(copy.empty() ? nullptr : copy.data(),
                                          static_cast<int>(copy.size()), &options, args);
  if (d == nullptr) throw ToolError("no action of the table matches the bytes");
  std::string out = "action " + Quote(Str(d->GetName())) + "\n";
  out += "options " + FormatOptions(options) + "\n";
  for (int i = 0; i < args.size(); ++i) {
    out += "argument " + std::to_string(i) + " " + Quote(Str(d->GetArgName(i))) + ": " +
           Quote(Str(args[i])) + "\n";
  }
  return out;
}

Bytes GenerateAction(ZActionTable& table, const std::string& name, unsigned options,
                     const std::vector<std::string>& texts) {
  ZActionDescription* d = table.Find(ZString(name.data(), static_cast<unsigned>(name.size())));
  if (d == nullptr) throw ToolError("no action named '" + name + "'");
  if (static_cast<int>(texts.size()) != d->GetNumArgs()) {
    throw ToolError("action '" + name + "' takes " + std::to_string(d->GetNumArgs()) +
                    " argument texts, " + std::to_string(texts.size()) + " given");
  }
  ZVectorString args;
  for (const std::string& t : texts)
    args.push_back(ZString(t.data(), static_cast<unsigned>(t.size())));
  if (args.size() != static_cast<int>(texts.size())) throw ToolError("out of memory");
  ZBuffer out;
  int result = d->Generate(options, args, out);
  switch (result) {
    case 0:
      return Bytes(out.GetBytePtr(), out.GetBytePtr() + out.GetLength());
    case -1:
      throw ToolError("no code of action '" + name + "' fits options " + FormatOptions(options) +
                      " and these texts");
    case -2:
      throw ToolError("an argument text is empty (after trimming blanks and tabs)");
    case ActionShortArgument:
      throw ToolError("a two-byte argument needs at least two characters");
    case ActionNoPlugin:
      throw ToolError("an argument needs the plug-in ORBADA32, which is absent");
    default:
      throw ToolError("the plug-in could not convert an argument text (result " +
                      std::to_string(result) + ")");
  }
}

}  // namespace orbtool
