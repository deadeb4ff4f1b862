// The two commands every kind of table has: dump and build.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "tool.h"

namespace orbtool {

void AddDumpAndBuildCommands(CLI::App* group, const std::string& kind,
                             std::function<std::string(const std::string&)> dump,
                             std::function<std::string(const std::string&)> build) {
  struct Paths {
    std::string file, output;
  };
  auto paths = std::make_shared<Paths>();

  CLI::App* d = group->add_subcommand("dump", "Print a table (binary or JSON) as JSON");
  d->add_option("FILE", paths->file, kind + " table file, - for standard input")->required();
  d->callback([paths, dump]() { std::cout << dump(paths->file); });

  CLI::App* b = group->add_subcommand("build", "Build the binary file of a table from JSON");
  b->add_option("JSON", paths->file, "the table as JSON (or binary), - for standard input")
      ->required();
  b->add_option("-o,--output", paths->output, "binary file to write, - for standard output")
      ->required();
  b->callback([paths, build]() { WriteOutput(paths->output, build(paths->file)); });
}

}  // namespace orbtool
