// The library frame as a module: the plain functions that tools and the
// client resolve by name are exported unmangled with their exact types, and
// the library's own global allocation operators stay inside it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

#include "hostkit/hostkit.h"
#include "orbcmn/orbcmn.h"

namespace {

static_assert(std::is_same<decltype(&CommonInitialize), int (*)(void)>::value, "");
static_assert(std::is_same<decltype(&CommonTerminate), int (*)(void)>::value, "");
static_assert(std::is_same<decltype(&CommonGetVersion), const char* (*)(void)>::value, "");
static_assert(
    std::is_same<decltype(&HostKit_Alloc), void* (*)(const char*, unsigned, unsigned)>::value, "");
static_assert(std::is_same<decltype(&HostKit_Realloc),
                           void* (*)(const char*, void*, unsigned, unsigned)>::value,
              "");
static_assert(std::is_same<decltype(&HostKit_Free), void (*)(const char*, void*)>::value, "");
static_assert(std::is_same<decltype(&HostKit_ToolCall),
                           intptr_t (*)(int, int, int, void*, int, const intptr_t*)>::value,
              "");
static_assert(std::is_same<decltype(&HostKit_CheckPath), int (*)(const char*)>::value, "");
static_assert(std::is_same<decltype(&HostKit_MakePath), int (*)(const char*)>::value, "");
static_assert(std::is_same<decltype(&IDB_Exists), int (*)(int, unsigned long)>::value, "");
static_assert(std::is_same<decltype(&IDB_DodRequest), int (*)(unsigned long, int)>::value, "");

// A library the test program is linked with, by its file in the build.
class LoadedLibrary {
 public:
  explicit LoadedLibrary(const char* name)
      : handle_(dlopen((std::string(ORB_BINARY_DIR) + "/lib/" + name).c_str(),
                       RTLD_NOW | RTLD_NOLOAD)) {}
  ~LoadedLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  void* handle() const { return handle_; }
  void* Symbol(const char* name) const { return dlsym(handle_, name); }

 private:
  void* handle_;
};

template <typename Fn>
void* Address(Fn* fn) {
  return reinterpret_cast<void*>(fn);
}

TEST(ReviewFrameExports, PlainFunctionsByUnmangledName) {
  LoadedLibrary orbcmn("liborbcmn32.so");
  ASSERT_NE(orbcmn.handle(), nullptr);
  EXPECT_EQ(orbcmn.Symbol("CommonInitialize"), Address(&CommonInitialize));
  EXPECT_EQ(orbcmn.Symbol("CommonTerminate"), Address(&CommonTerminate));
  EXPECT_EQ(orbcmn.Symbol("CommonGetVersion"), Address(&CommonGetVersion));

  LoadedLibrary hostkit("libhostkit.so");
  ASSERT_NE(hostkit.handle(), nullptr);
  EXPECT_EQ(hostkit.Symbol("HostKit_Alloc"), Address(&HostKit_Alloc));
  EXPECT_EQ(hostkit.Symbol("HostKit_Realloc"), Address(&HostKit_Realloc));
  EXPECT_EQ(hostkit.Symbol("HostKit_Free"), Address(&HostKit_Free));
  EXPECT_EQ(hostkit.Symbol("HostKit_ToolCall"), Address(&HostKit_ToolCall));
  EXPECT_EQ(hostkit.Symbol("HostKit_CheckPath"), Address(&HostKit_CheckPath));
  EXPECT_EQ(hostkit.Symbol("HostKit_MakePath"), Address(&HostKit_MakePath));
  EXPECT_EQ(hostkit.Symbol("IDB_Exists"), Address(&IDB_Exists));
  EXPECT_EQ(hostkit.Symbol("IDB_DodRequest"), Address(&IDB_DodRequest));
  EXPECT_EQ(hostkit.Symbol("HostKit_Context"), Address(&HostKit_Context));
}

TEST(ReviewFrameExports, GlobalAllocationOperatorsAreNotExported) {
  // Looking the operators up through the library finds the runtime's (in a
  // library it depends on), never the library's own: a process that loads
  // it keeps its own allocator.
  LoadedLibrary orbcmn("liborbcmn32.so");
  ASSERT_NE(orbcmn.handle(), nullptr);
  const char* const names[] = {"_Znwm", "_Znam", "_ZdlPv", "_ZdaPv", "_ZdlPvm", "_ZdaPvm"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    void* found = orbcmn.Symbol(name);
    if (found == nullptr) continue;
    Dl_info info;
    ASSERT_NE(dladdr(found, &info), 0);
    ASSERT_NE(info.dli_fname, nullptr);
    EXPECT_EQ(std::strstr(info.dli_fname, "liborbcmn32"), nullptr) << info.dli_fname;
  }
}

}  // namespace
