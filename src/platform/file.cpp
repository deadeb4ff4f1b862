// Runtime file functions on POSIX. Binary streams are the C library's own;
// text streams are cookie streams over a file descriptor that translate
// line ends as the Windows runtime does.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "nothrow.h"
#include "win32_file.h"

namespace {

std::string OsPath(const char* path) {
  std::string p(path);
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  return p;
}

// State of one text stream.
struct TextStream {
  int fd;
  bool crPending;  // a CR was read and the byte after it is not known yet
  size_t pos;
  size_t len;
  char raw[4096];
};

std::mutex g_lock;
std::map<FILE*, TextStream*> g_textStreams;

ssize_t TextRead(void* cookie, char* buf, size_t size) {
  TextStream* t = static_cast<TextStream*>(cookie);
  size_t out = 0;
  while (out < size) {
    if (t->pos == t->len) {
      if (out > 0) break;
      ssize_t n;
      do {
        n = read(t->fd, t->raw, sizeof t->raw);
      } while (n < 0 && errno == EINTR);
      if (n < 0) return -1;
      if (n == 0) {
        if (t->crPending) {
          t->crPending = false;
          buf[out++] = '\r';
        }
        break;
      }
      t->pos = 0;
      t->len = static_cast<size_t>(n);
    }
    char c = t->raw[t->pos++];
    if (t->crPending) {
      t->crPending = false;
      if (c == '\n') {
        buf[out++] = '\n';
      } else {
        buf[out++] = '\r';
        t->pos--;  // look at c again
      }
    } else if (c == '\r') {
      t->crPending = true;
    } else {
      buf[out++] = c;
    }
  }
  return static_cast<ssize_t>(out);
}

bool WriteAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    ssize_t w = write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

ssize_t TextWrite(void* cookie, const char* buf, size_t size) {
  TextStream* t = static_cast<TextStream*>(cookie);
  char out[2 * sizeof t->raw];
  size_t done = 0;
  while (done < size) {
    size_t n = 0;
    while (done < size && n + 2 <= sizeof out) {
      if (buf[done] == '\n') out[n++] = '\r';
      out[n++] = buf[done++];
    }
    if (!WriteAll(t->fd, out, n)) return 0;
  }
  return static_cast<ssize_t>(size);
}

int TextClose(void* cookie) {
  TextStream* t = static_cast<TextStream*>(cookie);
  {
    std::lock_guard<std::mutex> hold(g_lock);
    for (auto it = g_textStreams.begin(); it != g_textStreams.end(); ++it) {
      if (it->second == t) {
        g_textStreams.erase(it);
        break;
      }
    }
  }
  int result = close(t->fd);
  delete t;
  return result;
}

FILE* OpenText(const std::string& path, char action) {
  int flags = action == 'r' ? O_RDONLY : O_WRONLY | O_CREAT | (action == 'w' ? O_TRUNC : O_APPEND);
  int fd = open(path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  TextStream* t = new TextStream;
  t->fd = fd;
  t->crPending = false;
  t->pos = t->len = 0;
  cookie_io_functions_t io = {TextRead, TextWrite, nullptr, TextClose};
  FILE* stream = fopencookie(t, action == 'r' ? "r" : "w", io);
  if (stream == nullptr) {
    int saved = errno;
    close(fd);
    delete t;
    errno = saved;
    return nullptr;
  }
  std::lock_guard<std::mutex> hold(g_lock);
  g_textStreams[stream] = t;
  return stream;
}

}  // namespace

FILE* _fsopen(const char* filename, const char* mode, int) {
  return NoThrow<FILE*>(nullptr, [&]() -> FILE* {
    if (filename == nullptr || mode == nullptr) {
      errno = EINVAL;
      return nullptr;
    }
    char action = mode[0];
    const char* rest = mode + (action == '\0' ? 0 : 1);
    bool plus = *rest == '+';
    if (plus) rest++;
    bool binary = *rest == 'b';
    if ((action != 'r' && action != 'w' && action != 'a') ||
        (*rest != '\0' && *rest != 'b' && *rest != 't') || (plus && !binary)) {
      errno = EINVAL;
      return nullptr;
    }
    std::string path = OsPath(filename);
    if (!binary) return OpenText(path, action);
    char posixMode[4] = {action, plus ? '+' : 'b', plus ? 'b' : '\0', '\0'};
    return fopen(path.c_str(), posixMode);
  });
}

int _fileno(FILE* stream) {
  if (stream == nullptr) return -1;
  {
    std::lock_guard<std::mutex> hold(g_lock);
    auto it = g_textStreams.find(stream);
    if (it != g_textStreams.end()) return it->second->fd;
  }
  return fileno(stream);
}

long _filelength(int fd) {
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) return -1;
  if (st.st_size > INT32_MAX) return -1;
  return static_cast<long>(st.st_size);
}

int _commit(int fd) { return fd >= 0 && fsync(fd) == 0 ? 0 : -1; }

int _access(const char* path, int mode) {
  return NoThrow<int>(-1, [&]() -> int {
    if (path == nullptr) return -1;
    int how = F_OK;
    if (mode & 2) how |= W_OK;
    if (mode & 4) how |= R_OK;
    return access(OsPath(path).c_str(), how) == 0 ? 0 : -1;
  });
}

int _unlink(const char* path) {
  return NoThrow<int>(-1, [&]() -> int {
    if (path == nullptr) return -1;
    return unlink(OsPath(path).c_str()) == 0 ? 0 : -1;
  });
}

BOOL WINAPI MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
  return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
    if (from == nullptr || to == nullptr) return FALSE;
    std::string target = OsPath(to);
    if ((flags & MOVEFILE_REPLACE_EXISTING) == 0 && access(target.c_str(), F_OK) == 0) return FALSE;
    return rename(OsPath(from).c_str(), target.c_str()) == 0 ? TRUE : FALSE;
  });
}
