// Definitions files in either form, the binary one through ZFile and
// ZStreamer.
#include "tables.h"

#include <cstdio>

#include "actions_json.h"
#include "atoms_json.h"
#include "files.h"
#include "orbcmn/zfile.h"
#include "orbcmn/zstreamer.h"
#include "tool.h"

namespace orbtool {

namespace {

// A file of its own for the library's streamer, removed at the end.
class TempFile {
 public:
  TempFile() {
    if (!MakeTempFile(&path_)) throw ToolError("cannot make a temporary file");
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const char* path() const { return path_.c_str(); }

 private:
  std::string path_;
};

// Loads the one object of type T that data holds in the streamer's form.
template <class T>
std::unique_ptr<T> LoadBinary(const std::string& data, const std::string& source,
                              const char* what) {
  TempFile temp;
  WriteOutput(temp.path(), data);
  ZFile file;
  if (!file.Open(temp.path(), ZFile::eRead, ZFile::eBinary)) {
    throw ToolError(source + ": cannot open");
  }
  T* object = nullptr;
  bool ok;
  bool trailing;
  {
    ZStreamer s(&file, false);
    ok = !s.Error() && T::Load(s, object) && !s.Error();
    char extra;
    trailing = ok && file.Read(&extra, 1) == 1;
  }
  std::unique_ptr<T> owned(object);
  if (!ok) {
    throw ToolError(source + ": not a readable " + what +
                    " file (another kind, damaged or truncated)");
  }
  if (owned == nullptr) throw ToolError(source + ": the file holds no " + what);
  if (trailing)
    throw ToolError(source + ": bytes follow the " + std::string(what) + " in the file");
  return owned;
}

template <class T>
std::string SaveBinary(T& table, const char* what) {
  TempFile temp;
  ZFile file;
  if (!file.Open(temp.path(), ZFile::eWrite, ZFile::eBinary)) {
    throw ToolError(std::string("cannot write a temporary file for the ") + what);
  }
  bool ok;
  {
    ZStreamer s(&file, true);
    ok = !s.Error() && T::Save(s, &table) && !s.Error();
  }
  ok = file.Flush() && ok;
  file.Close();
  if (!ok) throw ToolError(std::string("the library could not save the ") + what);
  return ReadInput(temp.path());
}

}  // namespace

bool IsJsonText(const std::string& data) {
  size_t i = data.find_first_not_of(" \t\r\n");
  return i != std::string::npos && (data[i] == '{' || data[i] == '[');
}

std::unique_ptr<ZAtomTable> AtomTableFromData(const std::string& data, const std::string& source) {
  if (IsJsonText(data)) return AtomTableFromJson(ParseJson(data, source), source);
  return LoadBinary<ZAtomTable>(data, source, "atom table");
}

std::unique_ptr<ZActionTable> ActionTableFromData(const std::string& data,
                                                  const std::string& source) {
  if (IsJsonText(data)) return ActionTableFromJson(ParseJson(data, source), source);
  return LoadBinary<ZActionTable>(data, source, "action table");
}

std::unique_ptr<ZAtomTable> LoadAtomTable(const std::string& path) {
  return AtomTableFromData(ReadInput(path), path);
}

std::unique_ptr<ZActionTable> LoadActionTable(const std::string& path) {
  return ActionTableFromData(ReadInput(path), path);
}

std::string SaveAtomTable(ZAtomTable& table) { return SaveBinary(table, "atom table"); }

std::string SaveActionTable(ZActionTable& table) { return SaveBinary(table, "action table"); }

}  // namespace orbtool
