// Directory search over opendir/readdir: the matches are read and sorted
// when the search starts, then handed out one by one.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "win32_findfirst.h"

namespace {

struct Search {
  std::string dir;
  std::vector<std::string> names;
  size_t next = 0;
};

std::set<Search*> g_searches;

char Upper(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
    return static_cast<char>(u - 0x20);
  return c;
}

bool Match(const char* pattern, const char* name) {
  // Iterative "*" / "?" matching with one backtrack point.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name != '\0') {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' || (*pattern != '\0' && Upper(*pattern) == Upper(*name))) {
      pattern++;
      name++;
    } else if (star != nullptr) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') pattern++;
  return *pattern == '\0';
}

bool MatchName(const std::string& pattern, const char* name) {
  if (Match(pattern.c_str(), name)) return true;
  size_t n = pattern.size();
  if (n >= 2 && pattern.compare(n - 2, 2, ".*") == 0 && std::strchr(name, '.') == nullptr) {
    return Match(pattern.substr(0, n - 2).c_str(), name);
  }
  return false;
}

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(Upper(x)) < static_cast<unsigned char>(Upper(y));
  });
}

void Fill(const Search& search, const std::string& name, struct _finddata_t* info) {
  std::memset(info, 0, sizeof *info);
  size_t n = std::min(name.size(), sizeof info->name - 1);
  std::memcpy(info->name, name.data(), n);
  struct stat st;
  std::string path = search.dir.empty() ? name : search.dir + "/" + name;
  if (stat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    info->attrib = _A_SUBDIR;
  } else {
    info->attrib = _A_ARCH;
    info->size = static_cast<_fsize_t>(st.st_size);
  }
  if ((st.st_mode & S_IWUSR) == 0) info->attrib |= _A_RDONLY;
  info->time_create = st.st_ctime;
  info->time_access = st.st_atime;
  info->time_write = st.st_mtime;
}

Search* Find(intptr_t handle) {
  auto it = g_searches.find(reinterpret_cast<Search*>(handle));
  return it == g_searches.end() ? nullptr : *it;
}

}  // namespace

intptr_t _findfirst(const char* filespec, struct _finddata_t* fileinfo) {
  if (filespec == nullptr || fileinfo == nullptr) {
    errno = EINVAL;
    return -1;
  }
  std::string spec(filespec);
  std::replace(spec.begin(), spec.end(), '\\', '/');
  size_t slash = spec.rfind('/');
  std::string dir = slash == std::string::npos ? std::string() : spec.substr(0, slash);
  std::string pattern = slash == std::string::npos ? spec : spec.substr(slash + 1);
  if (slash == 0) dir = "/";

  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) {
    errno = ENOENT;
    return -1;
  }
  Search* search = new Search;
  search->dir = dir;
  while (struct dirent* entry = readdir(d)) {
    if (MatchName(pattern, entry->d_name)) search->names.push_back(entry->d_name);
  }
  closedir(d);
  if (search->names.empty()) {
    delete search;
    errno = ENOENT;
    return -1;
  }
  std::sort(search->names.begin(), search->names.end(), LessNoCase);
  g_searches.insert(search);
  Fill(*search, search->names[search->next++], fileinfo);
  return reinterpret_cast<intptr_t>(search);
}

int _findnext(intptr_t handle, struct _finddata_t* fileinfo) {
  Search* search = Find(handle);
  if (search == nullptr || fileinfo == nullptr) {
    errno = EINVAL;
    return -1;
  }
  if (search->next >= search->names.size()) {
    errno = ENOENT;
    return -1;
  }
  Fill(*search, search->names[search->next++], fileinfo);
  return 0;
}

int _findclose(intptr_t handle) {
  Search* search = Find(handle);
  if (search == nullptr) {
    errno = EINVAL;
    return -1;
  }
  g_searches.erase(search);
  delete search;
  return 0;
}
