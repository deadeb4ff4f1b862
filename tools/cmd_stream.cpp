// orbtool stream: atom stream disassembler and assembler.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "stream.h"
#include "tables.h"
#include "tool.h"

namespace orbtool {

namespace {

struct Args {
  std::string table;
  long cls = -1;
  std::string hex;
  std::string file;
  std::string input;
  std::string output;
};

std::unique_ptr<ZAtomTable> OptionalTable(const std::string& path) {
  if (path.empty()) return nullptr;
  return LoadAtomTable(path);
}

}  // namespace

void AddStreamCommands(CLI::App& app) {
  CLI::App* stream = app.add_subcommand("stream", "Atom streams: disassemble and assemble");
  stream->require_subcommand(1);
  auto args = std::make_shared<Args>();

  CLI::App* disasm = stream->add_subcommand(
      "disasm", "Print an atom stream one atom a line, with names and enumerations from a table");
  disasm->add_option("--table", args->table, "atom table file (binary or JSON)");
  disasm->add_option("--class", args->cls, "look atoms up in this class only")
      ->check(CLI::Range(0, 0xFFFF));
  CLI::Option* hex = disasm->add_option("HEXBYTES", args->hex, "the stream as hex bytes");
  CLI::Option* file = disasm->add_option("--file", args->file, "binary file holding the stream");
  hex->excludes(file);
  disasm->callback([args, hex, file]() {
    if (hex->count() == 0 && file->count() == 0) throw UsageError("give HEXBYTES or --file BIN");
    Bytes bytes;
    std::string source = "stream";
    if (file->count() > 0) {
      std::string data = ReadInput(args->file);
      bytes.assign(data.begin(), data.end());
      source = args->file;
    } else {
      std::string error;
      if (!ParseHex(args->hex, &bytes, &error)) throw UsageError("HEXBYTES: " + error);
    }
    std::unique_ptr<ZAtomTable> table = OptionalTable(args->table);
    std::cout << DisassembleStream(table.get(), args->cls, bytes, source);
  });

  CLI::App* assemble =
      stream->add_subcommand("asm", "Build an atom stream from the text that disasm prints");
  assemble->add_option("--table", args->table, "atom table file (binary or JSON)");
  assemble->add_option("--class", args->cls, "look atoms up in this class only")
      ->check(CLI::Range(0, 0xFFFF));
  assemble->add_option("TEXTFILE", args->input, "the text, - for standard input")->required();
  assemble->add_option("-o,--output", args->output,
                       "binary file to write; without it the bytes are printed in hex");
  assemble->callback([args]() {
    std::unique_ptr<ZAtomTable> table = OptionalTable(args->table);
    Bytes bytes = AssembleStream(table.get(), args->cls, ReadInput(args->input),
                                 args->input == "-" ? "stdin" : args->input);
    if (args->output.empty()) {
      std::cout << FormatHex(bytes) << "\n";
    } else {
      WriteOutput(args->output, std::string(bytes.begin(), bytes.end()));
    }
  });
}

}  // namespace orbtool
