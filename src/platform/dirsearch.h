// The directory search behind both find interfaces (FindFirstFileA and
// _findfirst): the names matching a wildcard pattern are read and sorted
// when the search starts, then handed out one by one.
#ifndef ORBWIN_DIRSEARCH_H_
#define ORBWIN_DIRSEARCH_H_

#include <stdint.h>
#include <time.h>

#include <string>
#include <vector>

// What stat reports of one entry; `known` is false when the entry vanished
// (or cannot be looked at) since the search started.
struct DirEntry {
  bool known = false;
  bool directory = false;
  bool readOnly = false;  // the owner may not write
  uint64_t size = 0;      // 0 for directories
  time_t created = 0;
  time_t accessed = 0;
  time_t written = 0;
};

class DirSearch {
 public:
  // Starts a search for `query`: a directory part ("\" or "/" separated;
  // none means the current directory) and a name pattern matched as
  // Windows does ("*" any run, "?" one character, letters of Windows-1252
  // without regard to case, a trailing ".*" also matching names without a
  // dot). Null when the directory cannot be read or nothing matches. The
  // search is registered as a handle until Close.
  static DirSearch* Start(const char* query);
  // The search whose handle is `handle`, or null when it is not an open one.
  static DirSearch* FromHandle(const void* handle);
  // Ends and destroys an open search; false for any other handle.
  static bool Close(const void* handle);

  // Copies the next name and its entry out; false when all were given.
  bool Next(std::string* name, DirEntry* entry);

 private:
  DirSearch() = default;

  std::string dir_;  // "" for the current directory
  std::vector<std::string> names_;
  size_t next_ = 0;
};

#endif  // ORBWIN_DIRSEARCH_H_
