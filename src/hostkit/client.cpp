// Tool calls, directory checks and the local database. Each goes to the
// handler the embedding application installed, or to a default that needs
// no client.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "hostkit/hostkit.h"

namespace {

intptr_t g_context[2] = {0, 0};

HostKitToolHandler g_tool = nullptr;
void* g_tool_user = nullptr;

HostKitPathHandler g_check = nullptr;
HostKitPathHandler g_make = nullptr;
void* g_path_user = nullptr;

HostKitExistsHandler g_exists = nullptr;
HostKitDodHandler g_dod = nullptr;
void* g_db_user = nullptr;

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// mkdir -p, accepting "\" as a separator as the rest of the system does.
int MakeDirectories(const char* path) {
  std::string p(path);
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  if (p.empty()) return 0;
  for (size_t i = 1; i <= p.size(); i++) {
    if (i < p.size() && p[i] != '/') continue;
    std::string prefix = p.substr(0, i);
    if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return 0;
  }
  return IsDirectory(p) ? 1 : 0;
}

}  // namespace

extern "C" {

intptr_t HostKit_ToolCall(int one, int tool, int selector, void* context, int argc,
                          const intptr_t* argv) {
  (void)one;
  if (g_tool == nullptr) return 0;
  return g_tool(g_tool_user, tool, selector, context, argc, argv);
}

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

intptr_t* HostKit_Context(void) { return g_context; }

}  // extern "C"
