// Module loading on POSIX: dlopen with the search order of the Windows
// loader as this system uses it.
#include <dlfcn.h>
#include <link.h>
#include <strings.h>
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "nothrow.h"
#include "win32_module.h"

namespace {

std::vector<std::string> SplitPath(const char* list) {
  std::vector<std::string> dirs;
  std::string current;
  for (const char* p = list; *p != '\0'; p++) {
    if (*p == ':') {
      if (!current.empty()) dirs.push_back(current);
      current.clear();
    } else {
      current += *p;
    }
  }
  if (!current.empty()) dirs.push_back(current);
  return dirs;
}

std::string DirectoryOf(const std::string& file) {
  size_t slash = file.rfind('/');
  return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

int FindLibrary(struct dl_phdr_info* info, size_t, void* data) {
  const char* name = info->dlpi_name;
  if (name == nullptr) return 0;
  const char* base = std::strrchr(name, '/');
  base = base ? base + 1 : name;
  if (std::strcmp(base, "liborbcmn32.so") != 0) return 0;
  *static_cast<std::string*>(data) = name;
  return 1;
}

// The directory holding liborbcmn32.so; this library's own when it is not
// loaded (the two are installed side by side).
std::string LibraryDirectory() {
  std::string found;
  dl_iterate_phdr(FindLibrary, &found);
  if (!found.empty()) return DirectoryOf(found);
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&LoadLibraryA), &info) != 0 && info.dli_fname != nullptr) {
    return DirectoryOf(info.dli_fname);
  }
  return ".";
}

std::vector<std::string> Candidates(const std::string& name) {
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return {name, "lib" + lower + ".so", lower + ".so"};
}

// "\\" separates directories as "/" does.
std::string Slashed(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

struct LoadedSearch {
  const std::vector<std::string>* names;
  std::string found;
};

int FindLoaded(struct dl_phdr_info* info, size_t, void* data) {
  LoadedSearch* search = static_cast<LoadedSearch*>(data);
  const char* name = info->dlpi_name;
  if (name == nullptr || *name == '\0') return 0;
  const char* base = std::strrchr(name, '/');
  base = base ? base + 1 : name;
  for (const std::string& candidate : *search->names) {
    if (strcasecmp(base, candidate.c_str()) != 0) continue;
    search->found = name;
    return 1;
  }
  return 0;
}

// A module already loaded under one of `names`, loaded once more; null when
// there is none. Windows hands such a module back wherever it lies, before
// any search.
HMODULE Loaded(const std::vector<std::string>& names) {
  LoadedSearch search = {&names, ""};
  dl_iterate_phdr(FindLoaded, &search);
  if (search.found.empty()) return nullptr;
  return static_cast<HMODULE>(dlopen(search.found.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD));
}

HMODULE Open(const std::string& file) {
  return static_cast<HMODULE>(dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL));
}

// True when `address` lies in `module` itself. dlsym also finds the names
// of the libraries a module depends on; a module's entries are its own.
bool DefinedIn(HMODULE module, void* address) {
  struct link_map* own = nullptr;
  struct link_map* holder = nullptr;
  Dl_info info;
  return dlinfo(module, RTLD_DI_LINKMAP, &own) == 0 &&
         dladdr1(address, &info, reinterpret_cast<void**>(&holder), RTLD_DL_LINKMAP) != 0 &&
         holder == own;
}

}  // namespace

HMODULE WINAPI LoadLibraryA(LPCSTR name) {
  return NoThrow<HMODULE>(nullptr, [&]() -> HMODULE {
    if (name == nullptr || *name == '\0') return nullptr;
    std::string path = Slashed(name);
    if (path.find('/') != std::string::npos) return Open(path);
    if (HMODULE module = Loaded(Candidates(path))) return module;

    const char* env = std::getenv("ORB_MODULE_PATH");
    std::vector<std::string> dirs =
        env ? SplitPath(env) : std::vector<std::string>{LibraryDirectory()};
    for (const std::string& dir : dirs) {
      for (const std::string& file : Candidates(path)) {
        if (HMODULE module = Open(Slashed(dir) + "/" + file)) return module;
      }
    }
    if (env != nullptr) return nullptr;
    for (const std::string& file : Candidates(path)) {
      if (HMODULE module = Open(file)) return module;
    }
    return nullptr;
  });
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
  if (module == nullptr || name == nullptr) return nullptr;
  void* entry = dlsym(module, name);
  if (entry == nullptr || !DefinedIn(module, entry)) return nullptr;
  return reinterpret_cast<FARPROC>(entry);
}

BOOL WINAPI FreeLibrary(HMODULE module) {
  if (module == nullptr) return FALSE;
  return dlclose(module) == 0 ? TRUE : FALSE;
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  return NoThrow<DWORD>(0, [&]() -> DWORD {
    if (buffer == nullptr || size == 0) return 0;
    std::string file;
    if (module == nullptr) {
      char exe[4096];
      ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
      if (n <= 0) return 0;
      file.assign(exe, static_cast<size_t>(n));
    } else {
      struct link_map* map = nullptr;
      if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr) {
        return 0;
      }
      file = map->l_name;
    }
    // A name too long for the buffer is cut and the result is the buffer's
    // size, as on Windows.
    if (file.size() >= size) {
      std::memcpy(buffer, file.data(), size - 1);
      buffer[size - 1] = '\0';
      return size;
    }
    std::memcpy(buffer, file.data(), file.size() + 1);
    return static_cast<DWORD>(file.size());
  });
}

BOOL WINAPI DisableThreadLibraryCalls(HMODULE) { return TRUE; }

DWORD WINAPI GetTickCount(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  uint64_t ms =
      static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<DWORD>(ms);
}
