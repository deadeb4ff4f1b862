// orbtool atoms: dump, build and query atom tables.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>

#include "atoms_json.h"
#include "tables.h"
#include "tool.h"

namespace orbtool {

namespace {

std::string Str(const ZString& s) {
  return std::string(static_cast<const char*>(s), s.GetLength());
}

long long Number(const std::string& text, long long min, long long max, const char* what) {
  long long v = 0;
  if (!ParseNumber(text, min, max, &v)) {
    throw UsageError(std::string(what) + " '" + text + "' is not a number from " +
                     std::to_string(min) + " to " + std::to_string(max));
  }
  return v;
}

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(v));
  return text;
}

// The class and protocol that hold atom.
void Locate(const ZAtomTable& table, const ZAtom* atom, unsigned* cls, unsigned* protocol) {
  for (const ZClass* c = table.GetFirstClass(); c != nullptr; c = c->Next()) {
    for (const ZProtocol* p = c->GetFirstProtocol(); p != nullptr; p = p->Next()) {
      for (const ZAtom* a = p->GetFirstAtom(); a != nullptr; a = a->Next()) {
        if (a == atom) {
          *cls = c->GetClass();
          *protocol = p->GetProtocol();
          return;
        }
      }
    }
  }
}

const ZAtom* AtomByName(const ZAtomTable& table, const std::string& file, const std::string& name) {
  const ZAtom* atom = table.GetAtom(ZString(name.data(), static_cast<unsigned>(name.size())));
  if (atom == nullptr) throw ToolError(file + ": no atom named '" + name + "'");
  return atom;
}

const ZEnum* ArgumentEnum(const ZAtom* atom, const std::string& file, const std::string& argno) {
  int index = static_cast<int>(Number(argno, 0, 0xFFFF, "argument number"));
  const ZEnum* e = atom->GetEnum(index);
  if (e == nullptr) {
    throw ToolError(file + ": atom '" + Str(atom->GetName()) +
                    "' has no enumeration for argument " + argno);
  }
  return e;
}

void PrintAtom(const ZAtomTable& table, const ZAtom* atom) {
  unsigned cls = 0, protocol = 0;
  Locate(table, atom, &cls, &protocol);
  std::cout << "class " << cls << ", protocol " << protocol << ", atom " << atom->GetAtom() << ": "
            << Str(atom->GetName()) << "\n";
  std::cout << "  flags " << atom->GetFlags() << "\n";
  std::cout << "  argument 0: type " << atom->GetType(0) << "\n";
  for (int i = 1; i <= atom->GetNumArgRecords(); ++i) {
    std::cout << "  argument " << i << ": type " << atom->GetType(i);
    const ZEnum* target = atom->GetEnum(i);
    int k = 0;
    for (const ZEnum* e = atom->GetEnum(0); e != nullptr && e != target; e = e->Next()) ++k;
    if (target != nullptr) std::cout << ", enumeration " << k;
    std::cout << "\n";
  }
  int k = 0;
  for (const ZEnum* e = atom->GetEnum(0); e != nullptr; e = e->Next(), ++k) {
    Json op = NameOrNumber(e->GetOperation(), kEnumOperations);
    std::cout << "  enumeration " << k << ": "
              << (op.is_string() ? op.get<std::string>() : op.dump()) << ", size " << e->GetSize()
              << "\n";
    for (int i = 0; e->GetItem(i) != nullptr; ++i) {
      uint32_t value = static_cast<uint32_t>(e->GetItem(i)->GetValue());
      std::cout << "    " << Str(e->GetItem(i)->GetName());
      if (e->GetOperation() == ZEnum::eBitFields) {
        std::cout << ": mask " << Hex(value >> 16) << ", pattern " << Hex(value & 0xFFFF) << "\n";
      } else {
        std::cout << " = " << value << "\n";
      }
    }
  }
}

struct Args {
  std::string file;
  std::vector<std::string> words;
  std::string atom, argno, value;
};

// atoms lookup: shows an atom found by name or by its numbers.
void AddLookupCommand(CLI::App* atoms, const std::shared_ptr<Args>& args) {
  CLI::App* lookup = atoms->add_subcommand(
      "lookup", "Show an atom found by NAME or by CLASS PROTOCOL ATOM numbers");
  lookup->add_option("FILE", args->file, "atom table file")->required();
  lookup->add_option("KEY", args->words, "NAME, or CLASS PROTOCOL ATOM")->required();
  lookup->callback([args]() {
    if (args->words.size() != 1 && args->words.size() != 3) {
      throw UsageError("atoms lookup takes NAME or CLASS PROTOCOL ATOM");
    }
    std::unique_ptr<ZAtomTable> table = LoadAtomTable(args->file);
    const ZAtom* atom;
    if (args->words.size() == 1) {
      atom = AtomByName(*table, args->file, args->words[0]);
    } else {
      auto n = [&](int i, const char* what) {
        return static_cast<unsigned short>(Number(args->words[i], 0, 0xFFFF, what));
      };
      atom = table->GetAtom(n(0, "class"), n(1, "protocol"), n(2, "atom"));
      if (atom == nullptr) {
        throw ToolError(args->file + ": no atom " + args->words[0] + " " + args->words[1] + " " +
                        args->words[2]);
      }
    }
    PrintAtom(*table, atom);
  });
}

// atoms value: shows the name of a value of an argument.
void AddValueCommand(CLI::App* atoms, const std::shared_ptr<Args>& args) {
  CLI::App* value = atoms->add_subcommand(
      "value", "Show VALUE of argument ARGNO of atom ATOMNAME through its enumeration");
  value->add_option("FILE", args->file, "atom table file")->required();
  value->add_option("ATOMNAME", args->atom, "atom name")->required();
  value->add_option("ARGNO", args->argno, "argument number, 0 for the first")->required();
  value->add_option("VALUE", args->value, "value (decimal, 0x hex, or negative)")->required();
  value->callback([args]() {
    std::unique_ptr<ZAtomTable> table = LoadAtomTable(args->file);
    const ZEnum* e =
        ArgumentEnum(AtomByName(*table, args->file, args->atom), args->file, args->argno);
    uint32_t v = static_cast<uint32_t>(Number(args->value, INT32_MIN, UINT32_MAX, "value"));
    std::cout << Str(e->Lookup(v)) << "\n";
  });
}

// atoms parse: turns a text into a value of an argument.
void AddParseCommand(CLI::App* atoms, const std::shared_ptr<Args>& args) {
  CLI::App* parse =
      atoms->add_subcommand("parse", "Turn TEXT into the value of argument ARGNO of atom ATOMNAME");
  parse->add_option("FILE", args->file, "atom table file")->required();
  parse->add_option("ATOMNAME", args->atom, "atom name")->required();
  parse->add_option("ARGNO", args->argno, "argument number, 0 for the first")->required();
  parse->add_option("TEXT", args->value, "names joined by '|' (no blanks), or numbers")->required();
  parse->callback([args]() {
    std::unique_ptr<ZAtomTable> table = LoadAtomTable(args->file);
    const ZEnum* e =
        ArgumentEnum(AtomByName(*table, args->file, args->atom), args->file, args->argno);
    bool ok = false;
    unsigned long v =
        e->Lookup(ZString(args->value.data(), static_cast<unsigned>(args->value.size())), &ok);
    if (!ok) {
      throw ToolError(args->file + ": '" + args->value + "' is not a value of argument " +
                      args->argno + " of atom '" + args->atom +
                      "' (names are lower case, and blanks around '|' belong to the names)");
    }
    std::cout << static_cast<uint32_t>(v) << " (" << Hex(static_cast<uint32_t>(v)) << ")\n";
  });
}

}  // namespace

void AddAtomsCommands(CLI::App& app) {
  CLI::App* atoms = app.add_subcommand("atoms", "Atom tables: dump, build and query");
  atoms->require_subcommand(1);
  auto args = std::make_shared<Args>();

  AddDumpAndBuildCommands(
      atoms, "atom",
      [](const std::string& file) { return JsonText(AtomTableToJson(*LoadAtomTable(file), file)); },
      [](const std::string& file) { return SaveAtomTable(*LoadAtomTable(file)); });
  AddLookupCommand(atoms, args);
  AddValueCommand(atoms, args);
  AddParseCommand(atoms, args);
}

}  // namespace orbtool
