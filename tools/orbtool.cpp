// orbtool: the library at the command line.
//
// Exit codes: 0 success; 1 an operation failed (unreadable or damaged input,
// nothing found, a conversion refused); 2 the command line is wrong.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>

#include "tool.h"

int main(int argc, char** argv) {
  CLI::App app{"orbtool: the orbcmn32 library at the command line", "orbtool"};
  app.require_subcommand(1);
  app.fallthrough(false);
  orbtool::AddAtomsCommands(app);
  orbtool::AddActionsCommands(app);
  orbtool::AddStreamCommands(app);
  orbtool::AddTextCommands(app);
  orbtool::AddDemoCommand(app);
  orbtool::AddVersionCommand(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  } catch (const orbtool::UsageError& e) {
    std::cout.flush();
    std::cerr << "orbtool: " << e.what() << "\nRun with --help for more information.\n";
    return 2;
  } catch (const orbtool::ToolError& e) {
    std::cout.flush();
    std::cerr << "orbtool: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
