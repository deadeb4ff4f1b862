// Action tables to JSON and back, through the library's own model.
#include "actions_json.h"

#include <cstdint>
#include <set>

#include "orbcmn/zbuffer.h"
#include "orbcmn/zstring.h"
#include "tool.h"

namespace orbtool {

const NamedValue kActionOptions[] = {{"magic", OptionMagic},       {"pop", OptionPop},
                                     {"marker22", OptionMarker22}, {"marker21", OptionMarker21},
                                     {"wait-on", OptionWaitOn},    {nullptr, 0}};

namespace {

const NamedValue kArgumentTypes[] = {{"none", ZActionArgument::None},
                                     {"two-bytes", ZActionArgument::TwoBytes},
                                     {"number", ZActionArgument::Number},
                                     {"text", ZActionArgument::Text},
                                     {"ada-kind5", ZActionArgument::AdaKind5},
                                     {"ada-kind1", ZActionArgument::AdaKind1},
                                     {nullptr, 0}};
const NamedValue kFragmentTypes[] = {{"stream", ZActionFragment::StreamBytes},
                                     {"slot", ZActionFragment::ArgumentSlot},
                                     {"data", ZActionFragment::DataBytes},
                                     {nullptr, 0}};
const NamedValue kOperations[] = {{"at-least", ZActionCondition::AtLeast},
                                  {"at-most", ZActionCondition::AtMost},
                                  {"same-initial", ZActionCondition::SameInitial},
                                  {nullptr, 0}};
const NamedValue kCombines[] = {{"replace", ZActionCondition::Replace},
                                {"or", ZActionCondition::Or},
                                {"and", ZActionCondition::And},
                                {nullptr, 0}};

// The file keeps these enumerations and the short fields in 16 bits.
const long long kShortMin = -32768;
const long long kShortMax = 32767;

std::string Str(const ZString& s) {
  return std::string(static_cast<const char*>(s), s.GetLength());
}
ZString Z(const std::string& s) { return ZString(s.data(), static_cast<unsigned>(s.size())); }

bool HasUpper(const std::string& s) {
  for (char c : s) {
    if (c >= 'A' && c <= 'Z') return true;
  }
  return false;
}

bool IsByteFragment(long long type) {
  return type == ZActionFragment::StreamBytes || type == ZActionFragment::DataBytes;
}

// --- table to text ---

class Writer {
 public:
  explicit Writer(const std::string& source) : source_(source) {}

  Json Table(const ZActionTable& table) {
    Json actions = Json::array();
    int i = 0;
    for (auto it = table.GetDescriptions().begin(); it != table.GetDescriptions().end();
         ++it, ++i) {
      const ZActionDescription* d = *it;
      where_ = "action " + std::to_string(i) + " '" + Str(d->GetName()) + "'";
      actions.push_back(Description(*d));
    }
    Json j;
    j["actions"] = std::move(actions);
    return j;
  }

 private:
  [[noreturn]] void Refuse(const std::string& what) const {
    throw ToolError(source_ + ": " + where_ + ": " + what +
                    "; the text form cannot hold this table");
  }

  void Once(const void* element) {
    if (!seen_.insert(element).second) Refuse("an element appears twice in the tree (shared)");
  }

  Json Description(const ZActionDescription& d) {
    Once(&d);
    Json jd;
    jd["name"] = BytesToUtf8(Str(d.GetName()));
    jd["flags"] = d.GetFlags();
    jd["code_variants"] = d.GetCodeVariants();
    jd["server"] = BytesToUtf8(Str(d.GetServerName()));
    jd["access"] = static_cast<uint32_t>(d.GetAccessRight());
    Json arguments = Json::array();
    for (auto it = d.GetArguments().begin(); it != d.GetArguments().end(); ++it) {
      const ZActionArgument* a = *it;
      Once(a);
      Json ja;
      ja["name"] = BytesToUtf8(Str(a->GetName()));
      ja["type"] = NameOrNumber(a->GetType(), kArgumentTypes);
      ja["size"] = a->GetSize();
      ja["shift"] = a->GetShift();
      arguments.push_back(std::move(ja));
    }
    jd["arguments"] = std::move(arguments);
    Json codes = Json::array();
    unsigned short variants = 0;
    std::string base = where_;
    int k = 0;
    for (auto it = d.GetCodes().begin(); it != d.GetCodes().end(); ++it, ++k) {
      where_ = base + ", code " + std::to_string(k);
      variants |= (*it)->GetVariant();
      codes.push_back(Code(**it));
    }
    where_ = base;
    if (variants != d.GetCodeVariants()) {
      Refuse("code variants " + std::to_string(d.GetCodeVariants()) +
             " are not the OR of its codes' variants (" + std::to_string(variants) + ")");
    }
    jd["codes"] = std::move(codes);
    return jd;
  }

  Json Code(const ZActionCode& c) {
    Once(&c);
    Json jc;
    jc["variant"] = c.GetVariant();
    Json fragments = Json::array();
    for (auto it = c.GetFragments().begin(); it != c.GetFragments().end(); ++it) {
      const ZActionFragment* f = *it;
      Once(f);
      Json jf;
      jf["type"] = NameOrNumber(f->GetType(), kFragmentTypes);
      const ZBuffer& bytes = f->GetBytes();
      if (bytes.GetLength() > 0 && f->GetIndex() != 0) {
        Refuse("a fragment holds both bytes and the argument index " +
               std::to_string(f->GetIndex()));
      }
      if (IsByteFragment(f->GetType()) || bytes.GetLength() > 0) {
        jf["bytes"] = FormatHex(bytes.GetBytePtr(), bytes.GetLength());
      }
      if (!IsByteFragment(f->GetType()) || f->GetIndex() != 0) jf["index"] = f->GetIndex();
      fragments.push_back(std::move(jf));
    }
    jc["fragments"] = std::move(fragments);
    Json conditions = Json::array();
    for (auto it = c.GetConditions().begin(); it != c.GetConditions().end(); ++it) {
      const ZActionCondition* k = *it;
      Once(k);
      std::string text = Str(k->GetText());
      int32_t number = static_cast<int32_t>(k->GetNumber());
      if (!text.empty() && number != 0) Refuse("a condition holds both a text and a number");
      if (HasUpper(text)) Refuse("a condition text has upper-case letters");
      Json jk;
      jk["arg"] = k->GetArgNumber();
      jk["operation"] = NameOrNumber(k->GetOperation(), kOperations);
      jk["combine"] = NameOrNumber(k->GetCombine(), kCombines);
      jk["text"] = BytesToUtf8(text);
      jk["number"] = number;
      conditions.push_back(std::move(jk));
    }
    jc["conditions"] = std::move(conditions);
    return jc;
  }

  const std::string& source_;
  std::string where_;
  std::set<const void*> seen_;
};

// --- text to table ---

// Argument number of description d, read from j.
void ReadArgument(const Json& j, const std::string& path, unsigned number, ZActionDescription* d) {
  Fields fa(j, path);
  ZString argName = Z(fa.Text("name", "", false));
  long long type = fa.Named("type", kArgumentTypes, kShortMin, kShortMax, 0, true);
  long long size = fa.Number("size", 0, 0xFFFF, 0, false);
  long long shift = fa.Number("shift", kShortMin, kShortMax, 0, false);
  fa.Done();
  if (!d->AddArgument(number, static_cast<ZActionArgument::EType>(type), argName,
                      static_cast<int>(size), static_cast<int>(shift))) {
    throw ToolError("out of memory");
  }
}

// A fragment of code c, read from j.
void ReadFragment(const Json& j, const std::string& path, ZActionCode* c) {
  Fields ff(j, path);
  long long type = ff.Named("type", kFragmentTypes, kShortMin, kShortMax, 0, true);
  std::string hex = ff.Text("bytes", "", false);
  long long index = ff.Number("index", kShortMin, kShortMax, 0, false);
  ff.Done();
  Bytes bytes;
  std::string error;
  if (!ParseHex(hex, &bytes, &error)) ff.Fail("bytes", error);
  if (!bytes.empty() && index != 0) {
    ff.Fail("index", "a fragment holds either bytes or an argument index");
  }
  auto t = static_cast<ZActionFragment::EType>(type);
  bool added = bytes.empty() && index != 0
                   ? c->AddFragment(t, static_cast<int>(index))
                   : c->AddFragment(t, ZBuffer(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<unsigned>(bytes.size())));
  if (!added) throw ToolError("out of memory");
}

// A condition of code c, read from j.
void ReadCondition(const Json& j, const std::string& path, ZActionCode* c) {
  Fields fk(j, path);
  long long arg = fk.Number("arg", kShortMin, kShortMax);
  long long op = fk.Named("operation", kOperations, kShortMin, kShortMax, 0, true);
  long long combine = fk.Named("combine", kCombines, kShortMin, kShortMax, 0, false);
  std::string text = fk.Text("text", "", false);
  long long number = fk.Number("number", INT32_MIN, INT32_MAX, 0, false);
  fk.Done();
  if (!text.empty() && number != 0) {
    fk.Fail("number", "a condition holds either a text or a number");
  }
  if (HasUpper(text)) fk.Fail("text", "upper-case letters: conditions keep texts in lower case");
  auto o = static_cast<ZActionCondition::EOperation>(op);
  auto m = static_cast<ZActionCondition::ECombine>(combine);
  bool added = text.empty()
                   ? c->AddCondition(static_cast<int>(arg), o, m, static_cast<long>(number))
                   : c->AddCondition(static_cast<int>(arg), o, m, Z(text));
  if (!added) throw ToolError("out of memory");
}

// A code of description d, read from j with its fragments and conditions.
void ReadCode(const Json& j, const std::string& path, ZActionDescription* d) {
  Fields fc(j, path);
  long long variant = fc.Number("variant", 0, 0xFFFF);
  const Json* fragments = fc.List("fragments");
  const Json* conditions = fc.List("conditions");
  fc.Done();
  ZActionCode* c = d->AddCode(static_cast<unsigned>(variant));
  if (c == nullptr) throw ToolError("out of memory");
  for (size_t n = 0; fragments != nullptr && n < fragments->size(); ++n) {
    ReadFragment((*fragments)[n], fc.Sub("fragments", n), c);
  }
  for (size_t n = 0; conditions != nullptr && n < conditions->size(); ++n) {
    ReadCondition((*conditions)[n], fc.Sub("conditions", n), c);
  }
}

// A description of table, read from j with its arguments and codes.
void ReadDescription(const Json& j, const std::string& path, ZActionTable* table) {
  Fields fd(j, path);
  ZString name = Z(fd.Text("name", "", true));
  long long flags = fd.Number("flags", 0, 0xFFFF, 0, false);
  bool hasVariants = fd.Has("code_variants");
  long long variants = fd.Number("code_variants", 0, 0xFFFF, 0, false);
  std::string server = fd.Text("server", "", false);
  long long access = fd.Number("access", 0, 0xFFFFFFFFLL, 0, false);
  const Json* arguments = fd.List("arguments");
  const Json* codes = fd.List("codes");
  fd.Done();
  ZActionDescription* d = table->AddDescription(name, static_cast<unsigned>(flags));
  if (d == nullptr) throw ToolError("out of memory");
  d->SetServerName(Z(server));
  d->SetAccessRight(static_cast<unsigned long>(access));
  for (size_t k = 0; arguments != nullptr && k < arguments->size(); ++k) {
    ReadArgument((*arguments)[k], fd.Sub("arguments", k), static_cast<unsigned>(k + 1), d);
  }
  for (size_t k = 0; codes != nullptr && k < codes->size(); ++k) {
    ReadCode((*codes)[k], fd.Sub("codes", k), d);
  }
  if (hasVariants && variants != d->GetCodeVariants()) {
    fd.Fail("code_variants",
            "must be the OR of the codes' variants (" + std::to_string(d->GetCodeVariants()) + ")");
  }
}

std::unique_ptr<ZActionTable> Read(const Json& j) {
  std::unique_ptr<ZActionTable> table(new ZActionTable);
  if (!table) throw ToolError("out of memory");
  Fields f(j, "");
  const Json* actions = f.List("actions");
  f.Done();
  if (actions == nullptr) f.Fail("actions", "missing");
  for (size_t i = 0; i < actions->size(); ++i) {
    ReadDescription((*actions)[i], f.Sub("actions", i), table.get());
  }
  return table;
}

}  // namespace

std::unique_ptr<ZActionTable> ActionTableFromJson(const Json& j, const std::string& source) {
  try {
    return Read(j);
  } catch (const ToolError& e) {
    throw ToolError(source + ": " + e.what());
  }
}

Json ActionTableToJson(const ZActionTable& table, const std::string& source) {
  return Writer(source).Table(table);
}

}  // namespace orbtool
