// Test helpers: a temporary directory removed with its contents, and
// whole-file byte access.
#ifndef ORB_TESTS_SUPPORT_TEMPFILES_H_
#define ORB_TESTS_SUPPORT_TEMPFILES_H_

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

class TempDir {
 public:
  // A new directory of a random name in the system's temporary folder
  // (creating it is the test of uniqueness); path() is empty on failure.
  // The path uses "/" only, also on Windows.
  TempDir() {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    std::random_device random;
    for (int i = 0; i < 100 && path_.empty() && !error; i++) {
      std::filesystem::path name = base / ("orbtest." + std::to_string(random()));
      if (std::filesystem::create_directory(name, error)) path_ = name.generic_string();
    }
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Path of `name` inside the directory.
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Whole files as bytes; a write is true when every byte reached the file.
inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  return out.write(text.data(), static_cast<std::streamsize>(text.size())).flush().good();
}

inline Bytes ReadBytes(const std::string& path) {
  std::string text = ReadText(path);
  return Bytes(text.begin(), text.end());
}

inline bool WriteBytes(const std::string& path, const Bytes& bytes) {
  return WriteText(path, std::string(bytes.begin(), bytes.end()));
}

#endif  // ORB_TESTS_SUPPORT_TEMPFILES_H_
