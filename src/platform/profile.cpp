// Profile files: the whole file is read into lines, looked up or changed,
// and written back through a temporary file renamed over the old one.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "nothrow.h"
#include "win32_profile.h"

namespace {

enum class Kind { kOther, kSection, kKey };

struct Line {
  std::string text;  // as in the file, without its line end
  Kind kind = Kind::kOther;
  std::string name;   // section or key name, trimmed
  std::string value;  // key value, trimmed
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string Trim(const std::string& s) {
  size_t begin = 0, end = s.size();
  while (begin < end && IsBlank(s[begin])) begin++;
  while (end > begin && IsBlank(s[end - 1])) end--;
  return s.substr(begin, end - begin);
}

// Upper case of a Windows-1252 character, for comparing names.
unsigned char Upper(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
  switch (c) {
    case 0x9A:
      return 0x8A;
    case 0x9C:
      return 0x8C;
    case 0x9E:
      return 0x8E;
    case 0xFF:
      return 0x9F;
    default:
      return c;
  }
}

bool SameName(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; i++) {
    if (Upper(static_cast<unsigned char>(a[i])) != Upper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

Line ParseLine(const std::string& text) {
  Line line;
  line.text = text;
  std::string t = Trim(text);
  if (t.empty() || t[0] == ';') return line;
  if (t[0] == '[') {
    size_t close = t.find(']');
    if (close != std::string::npos) {
      line.kind = Kind::kSection;
      line.name = Trim(t.substr(1, close - 1));
    }
    return line;
  }
  size_t eq = t.find('=');
  if (eq == std::string::npos) return line;
  std::string name = Trim(t.substr(0, eq));
  if (name.empty()) return line;
  line.kind = Kind::kKey;
  line.name = name;
  line.value = Trim(t.substr(eq + 1));
  return line;
}

// A directory path for the OS: "\" becomes "/".
std::string OsPath(const char* name) {
  std::string path(name);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

class Profile {
 public:
  // Reads `path`; a missing file is an empty profile. False when the file
  // exists but cannot be read.
  bool Load(const std::string& path, bool* existed) {
    *existed = false;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return errno == ENOENT;
    *existed = true;
    std::string content;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) content.append(chunk, n);
    bool ok = std::ferror(f) == 0;
    std::fclose(f);
    if (!ok) return false;
    size_t start = 0;
    while (start < content.size()) {
      size_t end = content.find('\n', start);
      if (end == std::string::npos) end = content.size();
      size_t stop = end;
      if (stop > start && content[stop - 1] == '\r') stop--;
      lines_.push_back(ParseLine(content.substr(start, stop - start)));
      start = end + 1;
    }
    return true;
  }

  std::string Text() const {
    std::string text;
    for (const Line& line : lines_) text += line.text + "\r\n";
    return text;
  }

  // Index of the section's header, or -1.
  long FindSection(const char* name) const {
    for (size_t i = 0; i < lines_.size(); i++) {
      if (lines_[i].kind == Kind::kSection && SameName(lines_[i].name, name)) return long(i);
    }
    return -1;
  }

  // Index one past the last line of the section whose header is at `header`.
  size_t SectionEnd(long header) const {
    size_t i = size_t(header) + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::kSection) i++;
    return i;
  }

  long FindKey(long header, const char* name) const {
    for (size_t i = size_t(header) + 1, end = SectionEnd(header); i < end; i++) {
      if (lines_[i].kind == Kind::kKey && SameName(lines_[i].name, name)) return long(i);
    }
    return -1;
  }

  const Line& At(long index) const { return lines_[size_t(index)]; }

  std::string SectionNames() const {
    std::string list;
    for (const Line& line : lines_) {
      if (line.kind == Kind::kSection) list += line.name + '\0';
    }
    return list;
  }

  std::string KeyNames(long header) const {
    std::string list;
    for (size_t i = size_t(header) + 1, end = SectionEnd(header); i < end; i++) {
      if (lines_[i].kind == Kind::kKey) list += lines_[i].name + '\0';
    }
    return list;
  }

  void Set(const char* section, const char* key, const char* value) {
    long header = FindSection(section);
    if (header < 0) {
      lines_.push_back(ParseLine(std::string("[") + section + "]"));
      lines_.push_back(ParseLine(std::string(key) + "=" + value));
      return;
    }
    long found = FindKey(header, key);
    if (found >= 0) {
      Line& line = lines_[size_t(found)];
      line = ParseLine(line.name + "=" + value);
      return;
    }
    size_t after = size_t(header);
    for (size_t i = after + 1, end = SectionEnd(header); i < end; i++) {
      if (lines_[i].kind == Kind::kKey) after = i;
    }
    lines_.insert(lines_.begin() + long(after) + 1, ParseLine(std::string(key) + "=" + value));
  }

  bool DeleteKey(const char* section, const char* key) {
    long header = FindSection(section);
    if (header < 0) return false;
    long found = FindKey(header, key);
    if (found < 0) return false;
    lines_.erase(lines_.begin() + found);
    return true;
  }

  bool DeleteSection(const char* section) {
    long header = FindSection(section);
    if (header < 0) return false;
    lines_.erase(lines_.begin() + header, lines_.begin() + long(SectionEnd(header)));
    return true;
  }

 private:
  std::vector<Line> lines_;
};

DWORD CopyText(const std::string& text, LPSTR buffer, DWORD size) {
  size_t n = std::min<size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return DWORD(n);
}

// A list of NUL-terminated names, closed by a second NUL, cut as Windows
// cuts it when it does not fit.
DWORD CopyList(const std::string& list, LPSTR buffer, DWORD size) {
  if (size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  if (list.size() + 1 <= size_t(size) - 1) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return DWORD(list.size());
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

std::string Default(LPCSTR value) {
  std::string text = value ? value : "";
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Writes `text` to a temporary file in the directory of `path` and renames
// it over `path`, keeping the old file's permissions.
bool Replace(const std::string& path, const std::string& text, bool existed) {
  mode_t mode;
  struct stat st;
  if (existed && stat(path.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(&temp[0]);
  if (fd < 0) return false;
  bool ok = fchmod(fd, mode) == 0;
  size_t done = 0;
  while (ok && done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += size_t(n);
  }
  ok = ok && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  ok = ok && rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

DWORD GetString(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                LPCSTR fileName) {
  Profile profile;
  bool existed;
  if (fileName != nullptr && !profile.Load(OsPath(fileName), &existed)) profile = Profile();
  if (section == nullptr) return CopyList(profile.SectionNames(), buffer, size);
  long header = profile.FindSection(section);
  if (key == nullptr) {
    std::string list = header < 0 ? std::string() : profile.KeyNames(header);
    if (list.empty()) return CopyText(Default(defaultValue), buffer, size);
    return CopyList(list, buffer, size);
  }
  long found = header < 0 ? -1 : profile.FindKey(header, key);
  if (found < 0) return CopyText(Default(defaultValue), buffer, size);
  return CopyText(Unquote(profile.At(found).value), buffer, size);
}

BOOL WriteString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  std::string path = OsPath(fileName);
  Profile profile;
  bool existed;
  if (!profile.Load(path, &existed)) return FALSE;
  if (key == nullptr) {
    if (!profile.DeleteSection(section)) return TRUE;
  } else if (value == nullptr) {
    if (!profile.DeleteKey(section, key)) return TRUE;
  } else {
    profile.Set(section, key, value);
  }
  return Replace(path, profile.Text(), existed) ? TRUE : FALSE;
}

}  // namespace

// The profile work needs memory of its own: when it runs out, the call
// fails as Windows' does (an empty result, or nothing written).
DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                                      DWORD size, LPCSTR fileName) {
  if (buffer == nullptr || size == 0) return 0;
  DWORD n = NoThrow<DWORD>(
      0, [&] { return GetString(section, key, defaultValue, buffer, size, fileName); });
  if (n == 0) buffer[0] = '\0';  // also when memory ran out part way
  return n;
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR fileName) {
  char text[30];
  if (GetPrivateProfileStringA(section, key, "", text, sizeof text, fileName) == 0) {
    return UINT(defaultValue);
  }
  const char* p = text;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  unsigned base = 10;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    base = 16;
  } else if (p[0] == '0' && (p[1] == 'o' || p[1] == 'O')) {
    base = 8;
  } else if (p[0] == '0' && (p[1] == 'b' || p[1] == 'B')) {
    base = 2;
  }
  if (base != 10) p += 2;
  uint32_t value = 0;
  for (;; p++) {
    unsigned digit;
    if (*p >= '0' && *p <= '9') {
      digit = unsigned(*p - '0');
    } else if (*p >= 'a' && *p <= 'f') {
      digit = unsigned(*p - 'a' + 10);
    } else if (*p >= 'A' && *p <= 'F') {
      digit = unsigned(*p - 'A' + 10);
    } else {
      break;
    }
    if (digit >= base) break;
    value = value * base + digit;
  }
  return negative ? UINT(0u - value) : UINT(value);
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (section == nullptr || fileName == nullptr) return FALSE;
  return NoThrow<BOOL>(FALSE, [&] { return WriteString(section, key, value, fileName); });
}
