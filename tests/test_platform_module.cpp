// Module loading: the search of a bare name through ORB_MODULE_PATH, the
// candidate file names, "\" in paths, and the entries of loaded modules.
#if !defined(_WIN32)
#include <dlfcn.h>
#endif
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "plugins/module_path.h"
#include "support/tempfiles.h"

namespace {

// Name of the plug-in that LoadLibraryA("ORBADA32") finds with ORB_MODULE_PATH
// set to `path`; "-" when nothing loads. The module is released again.
std::string Found(const std::string& path) {
  ScopedModulePath scoped(path.c_str());
  HMODULE module = LoadLibraryA("ORBADA32");
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
#else
  // In one directory the file N comes before libn.so and n.so.
  EXPECT_EQ("exact", Found(TestPluginDir("names")));
  // Only the ORB_MODULE_PATH directories count, in their order, empty entries
  // skipped; a file of the name that is no module is passed over.
  TempDir dir;
  ASSERT_TRUE(WriteBytes(dir.File("ORBADA32"), {'n', 'o', '\n'}));
  EXPECT_EQ("partial", Found("::" + TestPluginDir("partial") + ":" + TestPluginDir("plain") + ":"));
  EXPECT_EQ("plain", Found(dir.path() + ":" + TestPluginDir("plain")));
#endif
  EXPECT_EQ("-", Found(""));
  EXPECT_EQ("plain", Found(Backslashed(TestPluginDir("plain"))));
}

// The libraries a module depends on lend it no entries: the real plug-in
// calls memmove from the C library but does not export it.
TEST(PlatformModule, DependenciesLendNoEntries) {
  HMODULE real = LoadLibraryA(Backslashed(ORB_TEST_REAL_PLUGIN).c_str());
  ASSERT_NE(nullptr, real);
#if !defined(_WIN32)
  ASSERT_NE(nullptr, dlsym(real, "memmove"));
#endif
  EXPECT_EQ(nullptr, GetProcAddress(real, "memmove"));
  EXPECT_TRUE(FreeLibrary(real));
}
