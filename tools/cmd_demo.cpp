// orbtool demo: the library's main jobs on the shipped samples.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "actions_json.h"
#include "actions_run.h"
#include "atoms_json.h"
#include "stream.h"
#include "tables.h"
#include "text_run.h"
#include "tool.h"

#ifndef ORBTOOL_SAMPLES_DIR
#define ORBTOOL_SAMPLES_DIR "samples"
#endif

namespace orbtool {

namespace {

std::string Str(const ZString& s) {
  return std::string(static_cast<const char*>(s), s.GetLength());
}

void Step(const std::string& title) { std::cout << "\n== " << title << "\n"; }

void Demo(const std::string& dir) {
  std::cout << "samples from " << dir << "\n";

  Step("atom table: " + dir + "/atoms.json built into its binary file and loaded back");
  std::string atomsBin = SaveAtomTable(*LoadAtomTable(dir + "/atoms.json"));
  std::unique_ptr<ZAtomTable> atoms = AtomTableFromData(atomsBin, "atoms.bin");
  std::cout << atomsBin.size() << " bytes, ";
  int classes = 0, protocols = 0, count = 0;
  for (const ZClass* c = atoms->GetFirstClass(); c != nullptr; c = c->Next(), ++classes) {
    for (const ZProtocol* p = c->GetFirstProtocol(); p != nullptr; p = p->Next(), ++protocols) {
      for (const ZAtom* a = p->GetFirstAtom(); a != nullptr; a = a->Next()) ++count;
    }
  }
  std::cout << classes << " classes, " << protocols << " protocols, " << count << " atoms\n";
  const ZAtom* style = atoms->GetAtom(ZString("window-style"));
  if (style != nullptr && style->GetEnum(0) != nullptr) {
    std::cout << "window-style value 0x15 reads \"" << Str(style->GetEnum(0)->Lookup(0x15))
              << "\"\n";
  }

  Step("atom stream: " + dir + "/stream.txt assembled, then disassembled");
  Bytes stream = AssembleStream(atoms.get(), -1, ReadInput(dir + "/stream.txt"), "stream.txt");
  std::cout << stream.size() << " bytes: " << FormatHex(stream) << "\n";
  std::cout << DisassembleStream(atoms.get(), -1, stream, "stream");

  Step("action table: " + dir + "/actions.json built into its binary file and loaded back");
  std::string actionsBin = SaveActionTable(*LoadActionTable(dir + "/actions.json"));
  std::unique_ptr<ZActionTable> actions = ActionTableFromData(actionsBin, "actions.bin");
  std::cout << actionsBin.size() << " bytes, " << actions->GetDescriptions().size() << " actions\n";
  PluginSession plugin;
  struct Example {
    const char* name;
    unsigned options;
    std::vector<std::string> texts;
  } examples[] = {{"goto-page", 0, {"250"}},
                  {"open-form", OptionMagic | OptionWaitOn, {"orders"}},
                  {"answer", 0, {"Yes please"}}};
  for (const Example& e : examples) {
    std::cout << "generate " << e.name << " with options " << FormatOptions(e.options);
    for (const std::string& t : e.texts) std::cout << " \"" << t << "\"";
    Bytes bytes = GenerateAction(*actions, e.name, e.options, e.texts);
    std::cout << "\n  bytes " << FormatHex(bytes) << "\n  recognised as:\n";
    std::string found = RecognizeAction(*actions, bytes);
    for (size_t at = 0; at < found.size();) {
      size_t end = found.find('\n', at);
      std::cout << "    " << found.substr(at, end - at) << "\n";
      at = end + 1;
    }
  }

  Step("tokenizer: " + dir + "/syntax.txt");
  std::string settings = "width=640; title=\"Order entry\"; modal=yes;";
  std::cout << "text: " << settings << "\n"
            << Tokenize(ReadInput(dir + "/syntax.txt"), "syntax.txt", settings);
}

}  // namespace

void AddDemoCommand(CLI::App& app) {
  auto dir = std::make_shared<std::string>(ORBTOOL_SAMPLES_DIR);
  CLI::App* demo = app.add_subcommand("demo", "Run the library's main jobs on the samples");
  demo->add_option("--samples", *dir, "folder of the samples")->capture_default_str();
  demo->callback([dir]() { Demo(*dir); });
}

}  // namespace orbtool
