// Module loading: the search of a bare name through ORB_MODULE_PATH or the
// library's own directory, the candidate file names, "\" in paths, entries
// and file names of loaded modules.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/win32.h"
#include "plugins/module_path.h"

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
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace

TEST(PlatformModule, CandidateNamesInOrder) {
  // In one directory: N, then libn.so, then n.so.
  EXPECT_EQ("exact", Found(TestPluginDir("names")));
  EXPECT_EQ("lib", Found(TestPluginDir("names"), "orbada32"));  // no file "orbada32"
  EXPECT_EQ("lib", Found(TestPluginDir("libplain")));
  EXPECT_EQ("plain", Found(TestPluginDir("plain")));
  // The libn.so and n.so forms take the name in lower case.
  EXPECT_EQ("plain", Found(TestPluginDir("plain"), "OrbAda32"));
  EXPECT_EQ("-", Found(TestPluginDir("plain"), "ORBADA"));
}

TEST(PlatformModule, ModulePathIsSearchedFirstAndAlone) {
  {
    // Without ORB_MODULE_PATH the real plug-in beside the library loads.
    ScopedModulePath unset(nullptr);
    HMODULE module = LoadLibraryA("ORBADA32");
    ASSERT_NE(nullptr, module);
    EXPECT_NE(nullptr, GetProcAddress(module, "AdaAssembleArgument"));
    EXPECT_TRUE(FreeLibrary(module));
  }
  // With it, only its directories count, in their order.
  EXPECT_EQ("-", Found(TestPluginDir("empty")));
  EXPECT_EQ("-", Found(""));
  EXPECT_EQ("plain", Found(TestPluginDir("empty") + ":" + TestPluginDir("plain") + ":" +
                           TestPluginDir("partial")));
  EXPECT_EQ("partial", Found("::" + TestPluginDir("partial") + ":" + TestPluginDir("plain") + ":"));
  EXPECT_EQ("-", Found(TestPluginDir("empty") + ":/no/such/directory"));
}

TEST(PlatformModule, FileThatIsNoModuleIsPassedOver) {
  std::string dir = std::string(ORB_BINARY_DIR) + "/module_test_XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(&dir[0]));
  std::string junk = dir + "/ORBADA32";
  FILE* f = std::fopen(junk.c_str(), "w");
  ASSERT_NE(nullptr, f);
  std::fputs("not a module\n", f);
  std::fclose(f);
  EXPECT_EQ("plain", Found(dir + ":" + TestPluginDir("plain")));
  EXPECT_EQ(nullptr, LoadLibraryA(junk.c_str()));
  unlink(junk.c_str());
  rmdir(dir.c_str());
}

TEST(PlatformModule, BackslashesSeparateDirectories) {
  EXPECT_EQ("plain", Found(Backslashed(TestPluginDir("plain"))));
  std::string file = Backslashed(TestPluginDir("partial") + "/liborbada32.so");
  HMODULE module = LoadLibraryA(file.c_str());
  ASSERT_NE(nullptr, module);
  EXPECT_EQ("partial", TestPluginName(module));
  EXPECT_TRUE(FreeLibrary(module));
  // A name with a directory part is not searched for.
  ScopedModulePath path(TestPluginDir("plain").c_str());
  EXPECT_EQ(nullptr, LoadLibraryA("sub\\ORBADA32"));
  EXPECT_EQ(nullptr, LoadLibraryA(""));
  EXPECT_EQ(nullptr, LoadLibraryA(nullptr));
}

TEST(PlatformModule, EntriesAndRelease) {
  ScopedModulePath path(TestPluginDir("partial").c_str());
  HMODULE module = LoadLibraryA("ORBADA32");
  ASSERT_NE(nullptr, module);
  EXPECT_NE(nullptr, GetProcAddress(module, "AdaNormalizeAtomStream"));
  EXPECT_EQ(nullptr, GetProcAddress(module, "AdaAssembleArgument"));
  EXPECT_EQ(nullptr, GetProcAddress(module, nullptr));
  // A null module has no entries, not even those of the process.
  EXPECT_EQ(nullptr, GetProcAddress(nullptr, "LoadLibraryA"));
  EXPECT_EQ(nullptr, GetProcAddress(nullptr, "AdaNormalizeAtomStream"));
  {
    // The libraries a module depends on lend it no entries: the real
    // plug-in calls memmove from the C library but does not export it.
    ScopedModulePath unset(nullptr);
    HMODULE real = LoadLibraryA("ORBADA32");
    ASSERT_NE(nullptr, real);
    ASSERT_NE(nullptr, dlsym(real, "memmove"));
    EXPECT_EQ(nullptr, GetProcAddress(real, "memmove"));
    EXPECT_NE(nullptr, GetProcAddress(real, "AdaDisassembleArgument"));
    EXPECT_TRUE(FreeLibrary(real));
  }
  // Loading again counts: the module stays until released as often.
  HMODULE again = LoadLibraryA("ORBADA32");
  EXPECT_EQ(module, again);
  EXPECT_TRUE(FreeLibrary(again));
  EXPECT_EQ("partial", TestPluginName(module));
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST(PlatformModule, FileNames) {
  std::string expected = TestPluginDir("plain") + "/orbada32.so";
  HMODULE module = LoadLibraryA(expected.c_str());
  ASSERT_NE(nullptr, module);
  char name[4096];
  DWORD n = GetModuleFileNameA(module, name, sizeof name);
  EXPECT_EQ(expected.size(), n);
  EXPECT_EQ(expected, name);
  // Cut to the buffer: size - 1 characters, a zero, and the size as result.
  char small[6];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(5u, GetModuleFileNameA(module, small, 5));
  EXPECT_STREQ(expected.substr(0, 4).c_str(), small);
  EXPECT_EQ('x', small[5]);
  EXPECT_EQ(0u, GetModuleFileNameA(module, small, 0));
  EXPECT_TRUE(FreeLibrary(module));
  // A null module names the program.
  n = GetModuleFileNameA(nullptr, name, sizeof name);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(std::string("/test_platform_module"), std::strrchr(name, '/'));
}
