// Shared pieces of orbtool: errors, input and output, hex and byte texts.
#ifndef ORBTOOL_TOOL_H_
#define ORBTOOL_TOOL_H_

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace orbtool {

// An operation that failed (unreadable or damaged input, nothing found, a
// conversion refused). main prints "orbtool: " and the message, exit code 1.
struct ToolError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A command line that parsed but makes no sense (odd-length hex, a number
// out of range). main prints the message, exit code 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

using Bytes = std::vector<unsigned char>;

// The whole content of path, or of standard input for "-".
std::string ReadInput(const std::string& path);
// Writes data to path, or to standard output for "-".
void WriteOutput(const std::string& path, const std::string& data);

// Hex digits in pairs, blanks between bytes allowed ("01 05 0a", "01050A").
// False with *error set on a character that is not a hex digit or blank, or
// an odd number of digits in a run.
bool ParseHex(const std::string& text, Bytes* out, std::string* error);
// Bytes as lower-case hex pairs separated by single blanks.
std::string FormatHex(const unsigned char* data, size_t n);
inline std::string FormatHex(const Bytes& b) { return FormatHex(b.data(), b.size()); }

// A number written in decimal or with a 0x prefix, within [min, max].
bool ParseNumber(const std::string& text, long long min, long long max, long long* out);

// The library's strings are single bytes; JSON texts are UTF-8. Each byte
// becomes the code point of the same value (U+0000 to U+00FF), so every
// byte string has exactly one text and back.
std::string BytesToUtf8(const std::string& bytes);
// The reverse; false for invalid UTF-8 or a code point above U+00FF.
bool Utf8ToBytes(const std::string& text, std::string* bytes);

// Adds to group the commands "dump FILE" (prints dump(FILE)) and "build
// JSON -o OUTPUT" (writes build(JSON) to OUTPUT) of a kind of table.
void AddDumpAndBuildCommands(CLI::App* group, const std::string& kind,
                             std::function<std::string(const std::string&)> dump,
                             std::function<std::string(const std::string&)> build);

// Registration of the subcommand groups, one file each.
void AddAtomsCommands(CLI::App& app);
void AddActionsCommands(CLI::App& app);
void AddStreamCommands(CLI::App& app);
void AddTextCommands(CLI::App& app);
void AddDemoCommand(CLI::App& app);
void AddVersionCommand(CLI::App& app);

}  // namespace orbtool

#endif  // ORBTOOL_TOOL_H_
