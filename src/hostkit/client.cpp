// Tool calls, directory checks and the local database. Each goes to the
// handler the embedding application installed, or to a default that needs
// no client.
#include <cstdarg>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "hostkit/hostkit.h"

namespace {

HostKitToolHandler g_tool = nullptr;
void* g_tool_user = nullptr;

HostKitPathHandler g_check = nullptr;
HostKitPathHandler g_make = nullptr;
void* g_path_user = nullptr;

HostKitExistsHandler g_exists = nullptr;
HostKitDodHandler g_dod = nullptr;
void* g_db_user = nullptr;

// mkdir -p, accepting "\" as a separator as the rest of the system does.
int MakeDirectories(const char* path) {
  std::string p(path);
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  if (p.empty()) return 0;
  std::error_code error;
  std::filesystem::create_directories(p, error);
  return std::filesystem::is_directory(p, error) ? 1 : 0;
}

}  // namespace

extern "C" {

#if defined(_WIN32)
// The client's own entry takes the values after the count; they reach the
// handler as an array, at most kMaxToolArgs of them (more: result 0).
intptr_t HostKit_ToolCall(int one, int tool, int selector, void* context, int argc, ...) {
  (void)one;
  const int kMaxToolArgs = 16;
  intptr_t argv[kMaxToolArgs];
  if (g_tool == nullptr || argc > kMaxToolArgs) return 0;
  va_list args;
  va_start(args, argc);
  for (int i = 0; i < argc; i++) argv[i] = va_arg(args, intptr_t);
  va_end(args);
  return g_tool(g_tool_user, tool, selector, context, argc, argc > 0 ? argv : nullptr);
}
#else
intptr_t HostKit_ToolCall(int one, int tool, int selector, void* context, int argc,
                          const intptr_t* argv) {
  (void)one;
  if (g_tool == nullptr) return 0;
  return g_tool(g_tool_user, tool, selector, context, argc, argv);
}
#endif

int HostKit_CheckPath(const char* path) {
  if (g_check != nullptr) return g_check(g_path_user, path);
  return path != nullptr && std::strchr(path, ' ') == nullptr;
}

int HostKit_MakePath(const char* path) {
  if (g_make != nullptr) return g_make(g_path_user, path);
  return path != nullptr && MakeDirectories(path);
}

int IDB_Exists(int one, unsigned long id) {
  if (g_exists != nullptr) return g_exists(g_db_user, one, id);
  return 0;
}

int IDB_DodRequest(unsigned long id, int zero) {
  if (g_dod != nullptr) return g_dod(g_db_user, id, zero);
  return 0;
}

void HostKit_SetToolHandler(HostKitToolHandler handler, void* user) {
  g_tool = handler;
  g_tool_user = user;
}

void HostKit_SetPathHandlers(HostKitPathHandler check, HostKitPathHandler make, void* user) {
  g_check = check;
  g_make = make;
  g_path_user = user;
}

void HostKit_SetDatabaseHandlers(HostKitExistsHandler exists, HostKitDodHandler dodRequest,
                                 void* user) {
  g_exists = exists;
  g_dod = dodRequest;
  g_db_user = user;
}

}  // extern "C"
