// Paths, directories and files for the tools' everyday chores.
#include <cstdio>
#include <cstring>

#include "hostkit/hostkit.h"
#include "lib/diag.h"
#include "orbcmn/utilpath.h"
#include "platform/win32.h"

namespace {

// DeleteAllFiles works in these, as the tools expect: one search at a time.
char g_deletePath[264];
struct _finddata_t g_deleteFind;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Ends `path` at its last separator; a path without one becomes "".
void CutAtLastSeparator(char* path) {
  if (*path == '\0') return;
  char* p = CharPrevA(path, path + std::strlen(path));
  while (p > path && !IsSeparator(*p)) p = CharPrevA(path, p);
  *p = '\0';
}

// dir + "\" + name into the static path buffer; false when it does not fit.
bool BuildDeletePath(const char* dir, size_t dirLength, const char* name) {
  size_t nameLength = std::strlen(name);
  if (dirLength + 1 + nameLength >= sizeof g_deletePath) return false;
  std::memcpy(g_deletePath, dir, dirLength);
  g_deletePath[dirLength] = '\\';
  std::memcpy(g_deletePath + dirLength + 1, name, nameLength + 1);
  return true;
}

}  // namespace

void DeleteAllFiles(const char* dir) {
  if (dir == nullptr) return;
  size_t length = std::strlen(dir);
  if (!BuildDeletePath(dir, length, "*.*")) return;
  intptr_t search = _findfirst(g_deletePath, &g_deleteFind);
  if (search == -1) return;
  do {
    // ".", ".." and subdirectories are not files: removing them fails.
    if (BuildDeletePath(dir, length, g_deleteFind.name)) _unlink(g_deletePath);
  } while (_findnext(search, &g_deleteFind) == 0);
  _findclose(search);
}

int AppendFile(FILE* out, const char* path) {
  if (out == nullptr || path == nullptr) return 0;
  const size_t kPiece = 2048;
  char* buffer = static_cast<char*>(LocalAlloc(LMEM_FIXED, kPiece));
  if (buffer == nullptr) return 0;
  FILE* in = _fsopen(path, "rb", _SH_DENYNO);
  if (in == nullptr) {
    LocalFree(buffer);
    return 0;
  }
  size_t n;
  while ((n = std::fread(buffer, 1, kPiece, in)) > 0) std::fwrite(buffer, 1, n, out);
  std::fclose(in);
  LocalFree(buffer);
  return 1;
}

void GetPathFromFileName(const char* full, char* out) {
  if (full == nullptr || out == nullptr) return;
  std::memmove(out, full, std::strlen(full) + 1);
  CutAtLastSeparator(out);
}

void GetInstancePath(void* instance, char* out) {
  if (out == nullptr) return;
  if (GetModuleFileNameA(static_cast<HMODULE>(instance), out, MAX_PATH + 1) == 0) return;
  CutAtLastSeparator(out);
}

int CheckAndMakePath(const char* caption, const char* label, const char* path, int showErrors) {
  if (path == nullptr) path = "";
  if (std::strchr(path, ' ') != nullptr) {
    if (showErrors) DiagMessageBox("Directory names cannot contain spaces", caption, MB_ICONHAND);
    return 0;
  }
  if (HostKit_CheckPath(path) && HostKit_MakePath(path)) return 1;
  if (showErrors) {
    char message[312];
    std::snprintf(message, sizeof message, "Could not create %.20s directory %s",
                  label ? label : "", path);
    DiagMessageBox(message, caption, MB_ICONHAND);
  }
  return 0;
}

int CheckAndMakePath2(const char* path) {
  if (path == nullptr) path = "";
  return HostKit_CheckPath(path) && HostKit_MakePath(path) ? 2 : 1;
}
