// The Win32 find functions over opendir/readdir: the matching names are
// read and sorted when the search starts, then handed out one by one.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "win32_find.h"

namespace {

struct Search {
  std::string dir;  // directory for stat, "" for the current one
  std::vector<std::string> names;
  size_t next = 0;
};

std::mutex g_lock;
std::set<Search*> g_searches;

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// "*" and "?" matching with one backtrack point; letters without case.
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

FILETIME ToFileTime(time_t t) {
  // 100 ns units since 1601-01-01.
  uint64_t units = (static_cast<uint64_t>(t) + 11644473600ull) * 10000000ull;
  return FILETIME{static_cast<DWORD>(units), static_cast<DWORD>(units >> 32)};
}

void Fill(const Search& search, const std::string& name, LPWIN32_FIND_DATAA data) {
  std::memset(data, 0, sizeof *data);
  std::memcpy(data->cFileName, name.data(), std::min(name.size(), sizeof data->cFileName - 1));
  struct stat st;
  std::string path = search.dir.empty() ? name : search.dir + "/" + name;
  if (stat(path.c_str(), &st) != 0) return;
  data->dwFileAttributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if ((st.st_mode & S_IWUSR) == 0) data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
  data->ftCreationTime = ToFileTime(st.st_ctime);
  data->ftLastAccessTime = ToFileTime(st.st_atime);
  data->ftLastWriteTime = ToFileTime(st.st_mtime);
  if (!S_ISDIR(st.st_mode)) {
    uint64_t size = static_cast<uint64_t>(st.st_size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size);
  }
}

Search* Lookup(HANDLE find) {
  std::lock_guard<std::mutex> hold(g_lock);
  Search* search = static_cast<Search*>(find);
  return g_searches.count(search) != 0 ? search : nullptr;
}

}  // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA data) {
  if (fileName == nullptr || data == nullptr) return INVALID_HANDLE_VALUE;
  std::string spec(fileName);
  for (char& c : spec) {
    if (c == '\\') c = '/';
  }
  Search* search = new Search;
  std::string pattern = spec;
  size_t slash = spec.rfind('/');
  if (slash != std::string::npos) {
    search->dir = slash == 0 ? "/" : spec.substr(0, slash);
    pattern = spec.substr(slash + 1);
  }
  DIR* dir = pattern.empty() ? nullptr : opendir(search->dir.empty() ? "." : search->dir.c_str());
  if (dir != nullptr) {
    while (struct dirent* entry = readdir(dir)) {
      if (MatchName(pattern, entry->d_name)) search->names.push_back(entry->d_name);
    }
    closedir(dir);
  }
  if (search->names.empty()) {
    delete search;
    return INVALID_HANDLE_VALUE;
  }
  std::sort(search->names.begin(), search->names.end(), LessNoCase);
  Fill(*search, search->names[search->next++], data);
  std::lock_guard<std::mutex> hold(g_lock);
  g_searches.insert(search);
  return search;
}

BOOL WINAPI FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data) {
  Search* search = Lookup(find);
  if (search == nullptr || data == nullptr || search->next >= search->names.size()) return FALSE;
  Fill(*search, search->names[search->next++], data);
  return TRUE;
}

BOOL WINAPI FindClose(HANDLE find) {
  Search* search = Lookup(find);
  if (search == nullptr) return FALSE;
  {
    std::lock_guard<std::mutex> hold(g_lock);
    g_searches.erase(search);
  }
  delete search;
  return TRUE;
}
