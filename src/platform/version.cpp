// Version blocks registered by modules, read back in the single-byte layout.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "lib/coding.h"
#include "nothrow.h"
#include "win32_version.h"

namespace {

const char kKey[] = "VS_VERSION_INFO";
const size_t kFixedOffset = 20;  // 4-byte header + key with terminator, 4-aligned
static_assert(sizeof(VS_FIXEDFILEINFO) == 52, "thirteen 32-bit words");
const size_t kBlockSize = kFixedOffset + sizeof(VS_FIXEDFILEINFO);

std::map<std::string, std::vector<unsigned char>>& Blocks() {
  static std::map<std::string, std::vector<unsigned char>> blocks;
  return blocks;
}

std::string Canonical(LPCSTR file) {
  std::string name(file);
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  char resolved[PATH_MAX];
  if (realpath(name.c_str(), resolved) != nullptr) return resolved;
  return name;
}

const std::vector<unsigned char>* Find(LPCSTR file) {
  if (file == nullptr) return nullptr;
  auto it = Blocks().find(Canonical(file));
  return it == Blocks().end() ? nullptr : &it->second;
}

}  // namespace

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR file, LPDWORD handle) {
  return NoThrow<DWORD>(0, [&]() -> DWORD {
    if (handle != nullptr) *handle = 0;
    const std::vector<unsigned char>* block = Find(file);
    return block ? static_cast<DWORD>(block->size()) : 0;
  });
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR file, DWORD, DWORD size, LPVOID data) {
  return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
    const std::vector<unsigned char>* block = Find(file);
    if (block == nullptr || data == nullptr) return FALSE;
    std::memcpy(data, block->data(), size < block->size() ? size : block->size());
    return TRUE;
  });
}

BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* value, UINT* size) {
  if (block == nullptr || subBlock == nullptr || value == nullptr) return FALSE;
  if (std::strcmp(subBlock, "\\") != 0) return FALSE;
  const unsigned char* p = static_cast<const unsigned char*>(block);
  unsigned length = static_cast<unsigned>(orb::GetLittle(p, 2));
  unsigned valueLength = static_cast<unsigned>(orb::GetLittle(p + 2, 2));
  if (length < kBlockSize || valueLength != sizeof(VS_FIXEDFILEINFO) ||
      std::memcmp(p + 4, kKey, sizeof kKey) != 0) {
    return FALSE;
  }
  *value = const_cast<unsigned char*>(p + kFixedOffset);
  if (size != nullptr) *size = sizeof(VS_FIXEDFILEINFO);
  return TRUE;
}

BOOL OrbWin_RegisterVersionInfo(LPCSTR file, const VS_FIXEDFILEINFO* info) {
  return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
    if (file == nullptr || *file == '\0' || info == nullptr) return FALSE;
    std::vector<unsigned char> block(kBlockSize, 0);
    orb::PutLittle(&block[0], kBlockSize, 2);
    orb::PutLittle(&block[2], sizeof(VS_FIXEDFILEINFO), 2);
    std::memcpy(&block[4], kKey, sizeof kKey);
    VS_FIXEDFILEINFO fixed = *info;
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    DWORD words[sizeof(VS_FIXEDFILEINFO) / 4];
    std::memcpy(words, &fixed, sizeof words);
    for (size_t i = 0; i < sizeof words / 4; i++) {
      orb::PutLittle(&block[kFixedOffset + 4 * i], words[i], 4);
    }
    Blocks()[Canonical(file)] = std::move(block);
    return TRUE;
  });
}

BOOL OrbWin_UnregisterVersionInfo(LPCSTR file) {
  if (file == nullptr) return FALSE;
  return Blocks().erase(Canonical(file)) != 0 ? TRUE : FALSE;
}
