// Win32 calls report running out of memory through their results; no
// exception leaves them. This program's operator new refuses while
// g_refuse is set, which on POSIX reaches the stand-in's own containers
// (Windows' functions do not use it and simply succeed).
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "platform/win32.h"
#include "support/tempfiles.h"

namespace {
bool g_refuse = false;
}  // namespace

void* operator new(std::size_t n) {
  void* block = g_refuse ? nullptr : std::malloc(n != 0 ? n : 1);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

// Runs call with every operator new refused; false when it threw.
template <typename Call>
bool Refused(Call call) {
  g_refuse = true;
  try {
    call();
  } catch (...) {
    g_refuse = false;
    return false;
  }
  g_refuse = false;
  return true;
}

TEST(PlatformMemory, CallsFailInsteadOfThrowing) {
  TempDir dir;
  std::string from = dir.File("a.txt"), to = dir.File("b.txt");
  ASSERT_TRUE(WriteText(from, "x"));
  HMODULE module = nullptr;
  DWORD size = 1;
  HANDLE find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA data;
  BOOL moved = TRUE;
  FILE* file = nullptr;
  HGLOBAL global = nullptr;
  EXPECT_TRUE(Refused([&] { module = LoadLibraryA("ORBADA32"); }));
  EXPECT_TRUE(Refused([&] { size = GetFileVersionInfoSizeA(from.c_str(), nullptr); }));
  EXPECT_TRUE(Refused([&] { find = FindFirstFileA(from.c_str(), &data); }));
  EXPECT_TRUE(Refused([&] { moved = MoveFileExA(from.c_str(), to.c_str(), 0); }));
  EXPECT_TRUE(Refused([&] { file = _fsopen(from.c_str(), "rb", _SH_DENYNO); }));
  EXPECT_TRUE(Refused([&] { global = GlobalAlloc(GMEM_MOVEABLE, 8); }));
#if !defined(_WIN32)
  EXPECT_TRUE(module == nullptr && size == 0 && find == INVALID_HANDLE_VALUE && !moved &&
              file == nullptr && global == nullptr);
  EXPECT_EQ("x", ReadText(from)) << "nothing moved";
#endif
  if (module != nullptr) FreeLibrary(module);
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  if (file != nullptr) std::fclose(file);
  if (global != nullptr) GlobalFree(global);
}

}  // namespace
