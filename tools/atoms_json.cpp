// Atom tables to JSON and back, through the library's own model.
#include "atoms_json.h"

#include <set>
#include <vector>

#include "orbcmn/zenum.h"
#include "orbcmn/zstring.h"
#include "tool.h"

namespace orbtool {

const NamedValue kEnumOperations[] = {{"bit-flags", ZEnum::eBitFlags},
                                      {"single-value", ZEnum::eSingleValue},
                                      {"bit-fields", ZEnum::eBitFields},
                                      {nullptr, 0}};

namespace {

std::string Str(const ZString& s) {
  return std::string(static_cast<const char*>(s), s.GetLength());
}

bool HasUpper(const std::string& s) {
  for (char c : s) {
    if (c >= 'A' && c <= 'Z') return true;
  }
  return false;
}

// --- table to text ---

class Writer {
 public:
  explicit Writer(const std::string& source) : source_(source) {}

  Json Table(const ZAtomTable& table) {
    Json classes = Json::array();
    std::set<unsigned> seen;
    for (const ZClass* c = table.GetFirstClass(); c != nullptr; c = c->Next()) {
      where_ = "class " + std::to_string(c->GetClass());
      if (!seen.insert(c->GetClass()).second) Refuse("the class number appears twice");
      if (c->GetFirstProtocol() == nullptr) Refuse("the class has no protocol");
      Json protocols = Json::array();
      std::set<unsigned> seenProtocols;
      for (const ZProtocol* p = c->GetFirstProtocol(); p != nullptr; p = p->Next()) {
        where_ = "class " + std::to_string(c->GetClass()) + ", protocol " +
                 std::to_string(p->GetProtocol());
        if (!seenProtocols.insert(p->GetProtocol()).second) {
          Refuse("the protocol number appears twice");
        }
        if (p->GetFirstAtom() == nullptr) Refuse("the protocol has no atom");
        protocols.push_back(Protocol(*p));
      }
      Json jc;
      jc["class"] = c->GetClass();
      jc["protocols"] = std::move(protocols);
      classes.push_back(std::move(jc));
    }
    Json j;
    j["classes"] = std::move(classes);
    return j;
  }

 private:
  [[noreturn]] void Refuse(const std::string& what) const {
    throw ToolError(source_ + ": " + where_ + ": " + what +
                    "; the text form cannot hold this table");
  }

  Json Protocol(const ZProtocol& p) {
    Json atoms = Json::array();
    std::set<unsigned> seen;
    std::string base = where_;
    for (const ZAtom* a = p.GetFirstAtom(); a != nullptr; a = a->Next()) {
      where_ = base + ", atom " + std::to_string(a->GetAtom());
      if (!seen.insert(a->GetAtom()).second) Refuse("the atom number appears twice");
      atoms.push_back(Atom(*a));
    }
    Json jp;
    jp["protocol"] = p.GetProtocol();
    jp["atoms"] = std::move(atoms);
    return jp;
  }

  Json Atom(const ZAtom& a) {
    std::string name = Str(a.GetName());
    if (HasUpper(name)) Refuse("the name has upper-case letters");
    Json ja;
    ja["atom"] = a.GetAtom();
    ja["name"] = BytesToUtf8(name);
    ja["arg0_type"] = a.GetType(0);
    ja["flags"] = a.GetFlags();
    std::vector<const ZEnum*> enums;
    for (const ZEnum* e = a.GetEnum(0); e != nullptr; e = e->Next()) enums.push_back(e);
    if (!enums.empty()) {
      Json je = Json::array();
      for (const ZEnum* e : enums) je.push_back(Enum(*e));
      ja["enums"] = std::move(je);
    }
    int records = a.GetNumArgRecords();
    if (records > 0) {
      if (a.GetType(0) == 0) Refuse("further arguments follow an argument 0 of type 0");
      Json more = Json::array();
      for (int i = 1; i <= records; ++i) {
        Json jm;
        jm["type"] = a.GetType(i);
        const ZEnum* e = a.GetEnum(i);
        if (e == nullptr) {
          jm["enum"] = nullptr;
        } else {
          size_t k = 0;
          while (k < enums.size() && enums[k] != e) ++k;
          if (k == enums.size()) {
            Refuse("argument " + std::to_string(i) + " refers to an enumeration of another atom");
          }
          jm["enum"] = k;
        }
        more.push_back(std::move(jm));
      }
      ja["more_args"] = std::move(more);
    }
    return ja;
  }

  Json Enum(const ZEnum& e) {
    Json je;
    je["size"] = e.GetSize();
    je["operation"] = NameOrNumber(e.GetOperation(), kEnumOperations);
    Json items = Json::array();
    for (int i = 0; e.GetItem(i) != nullptr; ++i) {
      const ZEnumItem* item = e.GetItem(i);
      std::string name = Str(item->GetName());
      if (HasUpper(name)) Refuse("the enumeration item '" + name + "' has upper-case letters");
      uint32_t value = static_cast<uint32_t>(item->GetValue());
      Json ji;
      ji["name"] = BytesToUtf8(name);
      if (e.GetOperation() == ZEnum::eBitFields) {
        ji["mask"] = value >> 16;
        ji["pattern"] = value & 0xFFFF;
      } else {
        ji["value"] = value;
      }
      items.push_back(std::move(ji));
    }
    je["items"] = std::move(items);
    return je;
  }

  const std::string& source_;
  std::string where_;
};

// --- text to table ---

class Reader {
 public:
  std::unique_ptr<ZAtomTable> Table(const Json& j) {
    std::unique_ptr<ZAtomTable> table(new ZAtomTable);
    if (!table) throw ToolError("out of memory");
    table_ = table.get();
    Fields f(j, "");
    const Json* classes = f.List("classes");
    f.Done();
    if (classes == nullptr) f.Fail("classes", "missing");
    std::set<long long> seen;
    for (size_t i = 0; i < classes->size(); ++i) {
      Fields fc((*classes)[i], f.Sub("classes", i));
      long long cls = fc.Number("class", 0, 0xFFFF);
      if (!seen.insert(cls).second)
        fc.Fail("class", "class " + std::to_string(cls) + " appears twice");
      const Json* protocols = fc.List("protocols");
      fc.Done();
      if (protocols == nullptr || protocols->empty())
        fc.Fail("protocols", "a class needs a protocol");
      std::set<long long> seenProtocols;
      for (size_t k = 0; k < protocols->size(); ++k) {
        Protocol(static_cast<unsigned short>(cls), (*protocols)[k], fc.Sub("protocols", k),
                 &seenProtocols);
      }
    }
    return table;
  }

 private:
  void Protocol(unsigned short cls, const Json& j, const std::string& path,
                std::set<long long>* seenProtocols) {
    Fields f(j, path);
    long long protocol = f.Number("protocol", 0, 0xFFFF);
    if (!seenProtocols->insert(protocol).second) {
      f.Fail("protocol", "protocol " + std::to_string(protocol) + " appears twice in its class");
    }
    const Json* atoms = f.List("atoms");
    f.Done();
    if (atoms == nullptr || atoms->empty()) f.Fail("atoms", "a protocol needs an atom");
    std::set<long long> seen;
    for (size_t i = 0; i < atoms->size(); ++i) {
      Atom(cls, static_cast<unsigned short>(protocol), (*atoms)[i], f.Sub("atoms", i), &seen);
    }
  }

  void Atom(unsigned short cls, unsigned short protocol, const Json& j, const std::string& path,
            std::set<long long>* seen) {
    Fields f(j, path);
    long long number = f.Number("atom", 0, 0xFFFF);
    if (!seen->insert(number).second) {
      f.Fail("atom", "atom " + std::to_string(number) + " appears twice in its protocol");
    }
    std::string name = f.Text("name", "", true);
    if (HasUpper(name)) f.Fail("name", "upper-case letters: the table keeps names in lower case");
    long long type0 = f.Number("arg0_type", 0, 0xFFFF, 0, false);
    long long flags = f.Number("flags", 0, 0xFFFF, 0, false);
    const Json* enums = f.List("enums");
    const Json* more = f.List("more_args");
    f.Done();
    ZAtom* atom = table_->AddAtomA(cls, protocol, static_cast<unsigned short>(number),
                                   ZString(name.data(), static_cast<unsigned>(name.size())));
    if (atom == nullptr) throw ToolError("out of memory");
    atom->AddFlag(static_cast<unsigned short>(flags));
    std::vector<ZEnum*> made;
    if (enums != nullptr) {
      for (size_t i = 0; i < enums->size(); ++i) {
        made.push_back(Enum(atom, (*enums)[i], f.Sub("enums", i)));
      }
    }
    if (more != nullptr && !more->empty() && type0 == 0) {
      f.Fail("more_args", "further arguments need an argument 0 type other than 0");
    }
    atom->AddType(static_cast<unsigned short>(type0), nullptr);
    if (more == nullptr) return;
    for (size_t i = 0; i < more->size(); ++i) {
      Fields fm((*more)[i], f.Sub("more_args", i));
      long long type = fm.Number("type", 0, 0xFFFF);
      ZEnum* e = nullptr;
      if (!fm.Null("enum")) {
        long long k = fm.Number("enum", 0, 0xFFFF);
        if (k >= static_cast<long long>(made.size())) {
          fm.Fail("enum", "the atom has no enumeration " + std::to_string(k));
        }
        e = made[static_cast<size_t>(k)];
      }
      fm.Done();
      size_t before = static_cast<size_t>(atom->GetNumArgRecords());
      atom->AddType(static_cast<unsigned short>(type), e);
      if (static_cast<size_t>(atom->GetNumArgRecords()) != before + 1) {
        throw ToolError("out of memory");
      }
    }
  }

  ZEnum* Enum(ZAtom* atom, const Json& j, const std::string& path) {
    Fields f(j, path);
    long long size = f.Number("size", 0, 0xFFFF);
    long long operation = f.Named("operation", kEnumOperations, 0, 0xFFFF, 0, true);
    const Json* items = f.List("items");
    f.Done();
    ZEnum* e =
        atom->AddEnum(static_cast<unsigned short>(size), static_cast<unsigned short>(operation));
    if (e == nullptr) throw ToolError("out of memory");
    if (items == nullptr) return e;
    for (size_t i = 0; i < items->size(); ++i) {
      Fields fi((*items)[i], f.Sub("items", i));
      std::string name = fi.Text("name", "", true);
      if (HasUpper(name))
        fi.Fail("name", "upper-case letters: items keep their names in lower case");
      long long value;
      if (operation == ZEnum::eBitFields) {
        value = fi.Number("mask", 0, 0xFFFF) << 16 | fi.Number("pattern", 0, 0xFFFF);
      } else {
        value = fi.Number("value", 0, 0xFFFFFFFF);
      }
      fi.Done();
      e->AddItem(ZString(name.data(), static_cast<unsigned>(name.size())),
                 static_cast<unsigned long>(value));
      if (e->GetItem(static_cast<int>(i)) == nullptr) throw ToolError("out of memory");
    }
    return e;
  }

  ZAtomTable* table_ = nullptr;
};

}  // namespace

std::unique_ptr<ZAtomTable> AtomTableFromJson(const Json& j, const std::string& source) {
  try {
    return Reader().Table(j);
  } catch (const ToolError& e) {
    throw ToolError(source + ": " + e.what());
  }
}

Json AtomTableToJson(const ZAtomTable& table, const std::string& source) {
  return Writer(source).Table(table);
}

}  // namespace orbtool
