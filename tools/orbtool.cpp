// orbtool: the library at the command line.
//
// Exit codes: 0 success; 1 an operation failed (unreadable or damaged input,
// nothing found, a conversion refused); 2 the command line is wrong.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>

#include "tool.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#if defined(_WIN32)
  // Standard streams carry bytes as they are, as on POSIX: tables and
  // streams go through them, and texts keep their "\n" line ends.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  CLI::App app{"orbtool: the orbcmn32 library at the command line", "orbtool"};
  app.require_subcommand(1);
  app.fallthrough(false);
  // Options start with "-" on every platform, so that "/path" is a path.
  app.allow_windows_style_options(false);
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
