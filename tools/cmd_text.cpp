// orbtool regex and orbtool tokenize: the regular expression engine and the
// tokenizer built on it.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "text_run.h"
#include "tool.h"

namespace orbtool {

namespace {

struct Args {
  std::string pattern;
  std::string text;
  std::string syntax;
  bool noCaret = false;
};

}  // namespace

void AddTextCommands(CLI::App& app) {
  auto args = std::make_shared<Args>();

  CLI::App* regex = app.add_subcommand(
      "regex", "Match PATTERN against the front of TEXT: prints the rest and the parameters");
  regex->add_option("PATTERN", args->pattern, "the regular expression")->required();
  regex->add_option("TEXT", args->text, "the text")->required();
  regex->add_flag("--no-caret", args->noCaret, "a leading '^' is an ordinary character");
  regex->callback([args]() { std::cout << MatchRegex(args->pattern, args->text, !args->noCaret); });

  CLI::App* tokenize = app.add_subcommand(
      "tokenize", "Split TEXT into tokens with the syntaxes of SYNTAXFILE, one token a line");
  tokenize
      ->add_option("SYNTAXFILE", args->syntax,
                   "lines 'TOKEN PATTERN', first match wins; '#' begins a comment line")
      ->required();
  tokenize->add_option("TEXT", args->text, "the text")->required();
  tokenize->callback(
      [args]() { std::cout << Tokenize(ReadInput(args->syntax), args->syntax, args->text); });
}

}  // namespace orbtool
