// orbtool actions: dump, build, recognise and generate.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "actions_json.h"
#include "actions_run.h"
#include "tables.h"
#include "tool.h"

namespace orbtool {

namespace {

struct Args {
  std::string file;
  std::string hex;
  std::string name;
  std::string options = "0";
  std::vector<std::string> texts;
};

// actions recognize: recognises hex bytes as an action.
void AddRecognizeCommand(CLI::App* actions, const std::shared_ptr<Args>& args) {
  CLI::App* recognize = actions->add_subcommand(
      "recognize", "Recognise bytes as an action: prints the action, options and argument texts");
  recognize->add_option("FILE", args->file, "action table file")->required();
  recognize->add_option("HEXBYTES", args->hex, "the action's bytes in hex")->required();
  recognize->callback([args]() {
    Bytes bytes;
    std::string error;
    if (!ParseHex(args->hex, &bytes, &error)) throw UsageError("HEXBYTES: " + error);
    std::unique_ptr<ZActionTable> table = LoadActionTable(args->file);
    PluginSession plugin;
    try {
      std::cout << RecognizeAction(*table, bytes);
    } catch (const ToolError& e) {
      throw ToolError(args->file + ": " + e.what());
    }
  });
}

// actions generate: an action's bytes from its argument texts.
void AddGenerateCommand(CLI::App* actions, const std::shared_ptr<Args>& args) {
  CLI::App* generate = actions->add_subcommand(
      "generate", "Generate the bytes of action NAME from its argument texts (printed in hex)");
  generate->add_option("FILE", args->file, "action table file")->required();
  generate->add_option("NAME", args->name, "action name")->required();
  generate->add_option("TEXT", args->texts, "one text per argument");
  generate->add_option("--options", args->options,
                       "option bits: a number, or names joined by commas "
                       "(magic, pop, marker22, marker21, wait-on)");
  generate->callback([args]() {
    unsigned options = 0;
    if (!ParseOptions(args->options, &options)) {
      throw UsageError("--options: '" + args->options + "' is neither a number nor option names");
    }
    std::unique_ptr<ZActionTable> table = LoadActionTable(args->file);
    PluginSession plugin;
    try {
      std::cout << FormatHex(GenerateAction(*table, args->name, options, args->texts)) << "\n";
    } catch (const ToolError& e) {
      throw ToolError(args->file + ": " + e.what());
    }
  });
}

}  // namespace

void AddActionsCommands(CLI::App& app) {
  CLI::App* actions =
      app.add_subcommand("actions", "Action tables: dump, build, recognise, generate");
  actions->require_subcommand(1);
  auto args = std::make_shared<Args>();

  AddDumpAndBuildCommands(
      actions, "action",
      [](const std::string& file) {
        return JsonText(ActionTableToJson(*LoadActionTable(file), file));
      },
      [](const std::string& file) { return SaveActionTable(*LoadActionTable(file)); });
  AddRecognizeCommand(actions, args);
  AddGenerateCommand(actions, args);
}

}  // namespace orbtool
