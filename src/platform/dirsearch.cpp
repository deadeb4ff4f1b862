// Directory search over opendir/readdir, shared by the find interfaces.
#include "dirsearch.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>

namespace {

std::mutex g_lock;
std::set<const void*> g_searches;

// Upper case of Windows-1252 letters, as Windows compares file names.
unsigned char Upper(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return u - 0x20;
  switch (u) {
    case 0x9A:
    case 0x9C:
    case 0x9E:
      return u - 0x10;
    case 0xFF:
      return 0x9F;
    default:
      return u;
  }
}

// "*" and "?" matching with one backtrack point.
bool Match(const char* pattern, const char* name) {
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
  return n >= 2 && pattern.compare(n - 2, 2, ".*") == 0 && std::strchr(name, '.') == nullptr &&
         Match(pattern.substr(0, n - 2).c_str(), name);
}

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Upper(x) < Upper(y); });
}

}  // namespace

DirSearch* DirSearch::Start(const char* query) {
  std::string path(query);
  std::replace(path.begin(), path.end(), '\\', '/');
  size_t slash = path.rfind('/');
  std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash);
  if (slash == 0) dir = "/";
  std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);

  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return nullptr;
  DirSearch* search = new DirSearch;
  search->dir_ = dir;
  while (struct dirent* entry = readdir(d)) {
    if (MatchName(pattern, entry->d_name)) search->names_.push_back(entry->d_name);
  }
  closedir(d);
  if (search->names_.empty()) {
    delete search;
    return nullptr;
  }
  std::sort(search->names_.begin(), search->names_.end(), LessNoCase);
  std::lock_guard<std::mutex> hold(g_lock);
  g_searches.insert(search);
  return search;
}

DirSearch* DirSearch::FromHandle(const void* handle) {
  std::lock_guard<std::mutex> hold(g_lock);
  return g_searches.count(handle) != 0 ? static_cast<DirSearch*>(const_cast<void*>(handle))
                                       : nullptr;
}

bool DirSearch::Close(const void* handle) {
  {
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_searches.erase(handle) == 0) return false;
  }
  delete static_cast<DirSearch*>(const_cast<void*>(handle));
  return true;
}

bool DirSearch::Next(std::string* name, DirEntry* entry) {
  if (next_ >= names_.size()) return false;
  *name = names_[next_++];
  *entry = DirEntry();
  std::string path = dir_.empty() ? *name : dir_ + "/" + *name;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return true;
  entry->known = true;
  entry->directory = S_ISDIR(st.st_mode);
  entry->readOnly = (st.st_mode & S_IWUSR) == 0;
  entry->size = entry->directory ? 0 : static_cast<uint64_t>(st.st_size);
  entry->created = st.st_ctime;
  entry->accessed = st.st_atime;
  entry->written = st.st_mtime;
  return true;
}
