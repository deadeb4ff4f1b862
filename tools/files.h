// Where orbtool meets the file system and the standard streams directly:
// the POSIX and Windows versions are in files_posix.cpp and
// files_windows.cpp.
#ifndef ORBTOOL_FILES_H_
#define ORBTOOL_FILES_H_

#include <cstdio>
#include <string>

namespace orbtool {

// Replaces the file `path` by `data`: writes a new file beside it, flushes
// it to the disk, then renames it over `path`. 0 on success; otherwise an
// errno value, and `path` is as it was (the new file is removed).
int ReplaceFileWith(const std::string& path, const std::string& data);

// Makes a new empty file in the system's folder for temporary files and
// sets *path to its name; false when none can be made.
bool MakeTempFile(std::string* path);

// Makes `stream` (standard input or output) pass bytes unchanged; Windows
// opens them in text mode, which changes line ends and stops at Ctrl-Z.
void SetBinaryMode(std::FILE* stream);

}  // namespace orbtool

#endif  // ORBTOOL_FILES_H_
