// Module loading: the search of a bare name through ORB_MODULE_PATH, the
// candidate file names, "\" in paths, entries and file names of loaded modules.
#if !defined(_WIN32)
#include <dlfcn.h>
#endif
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "plugins/module_path.h"
#include "support/tempfiles.h"
#include "support/wine.h"

namespace {

// Name of the plug-in that LoadLibraryA(`name`) finds with ORB_MODULE_PATH
// set to `path`; "-" when nothing loads. The module is released again.
std::string Found(const std::string& path, const char* name = "ORBADA32") {
  ScopedModulePath scoped(path.c_str());
  HMODULE module = LoadLibraryA(name);
  if (module == nullptr) return "-";
  std::string found = TestPluginName(module);
  EXPECT_TRUE(FreeLibrary(module));
  return found;
}

std::string Backslashed(std::string path) {
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

}  // namespace

TEST(PlatformModule, SearchOrderAndCandidateNames) {
#if defined(_WIN32)
  // Windows adds ".DLL" to a bare name: a file of the bare name is passed over.
  EXPECT_EQ("dll", Found(TestPluginDir("names")));
  EXPECT_EQ("dll", Found(TestPluginDir("names"), "orbada32"));
#else
  // In one directory: N, then libn.so, then n.so, the last two in lower case.
  EXPECT_EQ("exact", Found(TestPluginDir("names")));
  EXPECT_EQ("lib", Found(TestPluginDir("names"), "orbada32"));  // no file "orbada32"
#endif
  EXPECT_EQ("plain", Found(TestPluginDir("plain"), "OrbAda32"));
  EXPECT_EQ("-", Found(""));
  EXPECT_EQ("plain", Found(Backslashed(TestPluginDir("plain"))));
  // A file of the name that is no module is passed over.
  TempDir dir;
  ASSERT_TRUE(WriteBytes(dir.File("ORBADA32"), {'n', 'o', '\n'}));
#if !defined(_WIN32)
  // Only the ORB_MODULE_PATH directories count, in their order, empty entries skipped.
  EXPECT_EQ("partial", Found("::" + TestPluginDir("partial") + ":" + TestPluginDir("plain") + ":"));
  EXPECT_EQ("plain", Found(dir.path() + ":" + TestPluginDir("plain")));
#endif
  EXPECT_EQ(nullptr, LoadLibraryA(dir.File("ORBADA32").c_str()));

  // A name with a directory part is not searched for.
  ScopedModulePath path(TestPluginDir("plain").c_str());
  EXPECT_EQ(nullptr, LoadLibraryA("sub\\ORBADA32"));
}

// File names are cut to the buffer: size - 1 characters, a zero, and the
// size as result. (The whole name is read in the library start-up tests.)
TEST(PlatformModule, EntriesFileNamesAndRelease) {
  ScopedModulePath path(TestPluginDir("partial").c_str());
  HMODULE module = LoadLibraryA("ORBADA32");
  ASSERT_NE(nullptr, module);
  EXPECT_NE(nullptr, GetProcAddress(module, "AdaNormalizeAtomStream"));
  EXPECT_EQ(nullptr, GetProcAddress(module, "AdaAssembleArgument"));
  char whole[MAX_PATH], small[7] = "xxxxxx";
  std::string expected(whole, GetModuleFileNameA(module, whole, sizeof whole));
  ASSERT_GT(expected.size(), 5u);
  EXPECT_EQ(5u, GetModuleFileNameA(module, small, 5));
  // Wine fills all five bytes and ends them with no zero, as Windows XP
  // did; Windows since Vista writes four and a zero.
  std::string want = expected.substr(0, 5) + "x";
  if (!UnderWine()) want[4] = '\0';
  EXPECT_EQ(want, std::string(small, 6));
  EXPECT_EQ(0u, GetModuleFileNameA(module, small, 0));

  // The libraries a module depends on lend it no entries: the real plug-in
  // calls memmove from the C library but does not export it.
  HMODULE real = LoadLibraryA(Backslashed(ORB_TEST_REAL_PLUGIN).c_str());
  ASSERT_NE(nullptr, real);
#if !defined(_WIN32)
  ASSERT_NE(nullptr, dlsym(real, "memmove"));
#endif
  EXPECT_EQ(nullptr, GetProcAddress(real, "memmove"));
  EXPECT_NE(nullptr, GetProcAddress(real, "AdaDisassembleArgument"));
  EXPECT_TRUE(FreeLibrary(real));

  // Loading again counts: the module stays until released as often.
  HMODULE again = LoadLibraryA("ORBADA32");
  EXPECT_EQ(module, again);
  EXPECT_TRUE(FreeLibrary(again));
  EXPECT_EQ("partial", TestPluginName(module));
  EXPECT_TRUE(FreeLibrary(module));
}
