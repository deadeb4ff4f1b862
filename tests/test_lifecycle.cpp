// The library frame: plug-in loading and release, the build string, the
// allocation operators, the message-box routine with its tool calls, and the
// plain functions exported by name.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "hostkit/hostkit.h"
#include "lib/diag.h"
#include "orbcmn/orbcmn.h"
#include "platform/win32.h"
#include "plugins/module_path.h"

namespace {

// Every test leaves the plug-in state unloaded, as the library starts.
class Lifecycle : public testing::Test {
 protected:
  void TearDown() override { CommonTerminate(); }

  static void ExpectUnloaded() {
    const OrbPluginState* state = CommonPluginState();
    EXPECT_EQ(nullptr, state->module);
    EXPECT_EQ(nullptr, state->normalize);
    EXPECT_EQ(nullptr, state->assemble);
    EXPECT_EQ(nullptr, state->disassemble);
  }
};

}  // namespace

TEST_F(Lifecycle, TerminateWithoutInitialize) {
  ExpectUnloaded();
  EXPECT_EQ(0, CommonTerminate());
  ExpectUnloaded();
  EXPECT_STREQ("ORBCMN Build 14", CommonGetVersion());
  EXPECT_EQ(CommonGetVersion(), CommonGetVersion());
}

TEST_F(Lifecycle, AbsentPlugin) {
  ScopedModulePath path(TestPluginDir("empty").c_str());
  EXPECT_EQ(0, CommonInitialize());
  ExpectUnloaded();
  EXPECT_STREQ("ORBCMN Build 14", CommonGetVersion());
  EXPECT_EQ(0, CommonTerminate());
  ExpectUnloaded();
}

TEST_F(Lifecycle, RealPluginBesideTheLibrary) {
  ScopedModulePath unset(nullptr);
  EXPECT_EQ(0, CommonInitialize());
  const OrbPluginState* state = CommonPluginState();
  ASSERT_NE(nullptr, state->module);
  char file[4096];
  ASSERT_GT(GetModuleFileNameA(static_cast<HMODULE>(state->module), file, sizeof file), 0u);
  EXPECT_EQ(std::string(ORB_BINARY_DIR) + "/lib/liborbada32.so", file);
  ASSERT_NE(nullptr, state->normalize);
  ASSERT_NE(nullptr, state->assemble);
  ASSERT_NE(nullptr, state->disassemble);
  // The entries answer as the library calls them.
  unsigned char bytes[16];
  int32_t size = 16;
  EXPECT_EQ(0, state->assemble(2, "40", 0, bytes, &size));
  EXPECT_EQ(4, size);
  EXPECT_EQ(0, CommonTerminate());
  ExpectUnloaded();
}

TEST_F(Lifecycle, PartialPluginLeavesMissingEntriesNull) {
  ScopedModulePath path(TestPluginDir("partial").c_str());
  EXPECT_EQ(0, CommonInitialize());
  const OrbPluginState* state = CommonPluginState();
  ASSERT_NE(nullptr, state->module);
  EXPECT_EQ("partial", TestPluginName(static_cast<HMODULE>(state->module)));
  ASSERT_NE(nullptr, state->normalize);
  EXPECT_EQ(nullptr, state->assemble);
  EXPECT_EQ(nullptr, state->disassemble);
  const unsigned char stream[] = {0x01, 0x05, 0x00};
  unsigned char out[8];
  int32_t size = sizeof out;
  EXPECT_EQ(0, state->normalize(stream, 3, out, &size));
  EXPECT_EQ(3, size);
  EXPECT_EQ(0, CommonTerminate());
  ExpectUnloaded();

  // A module with none of the entries is held all the same.
  ScopedModulePath::Set(TestPluginDir("plain").c_str());
  EXPECT_EQ(0, CommonInitialize());
  EXPECT_NE(nullptr, state->module);
  EXPECT_EQ(nullptr, state->normalize);
  EXPECT_EQ(nullptr, state->assemble);
  EXPECT_EQ(nullptr, state->disassemble);
  EXPECT_EQ(0, CommonTerminate());
  ExpectUnloaded();
}

TEST_F(Lifecycle, SecondInitializeOverwritesTheState) {
  ScopedModulePath path(TestPluginDir("partial").c_str());
  EXPECT_EQ(0, CommonInitialize());
  HMODULE first = static_cast<HMODULE>(CommonPluginState()->module);
  ASSERT_NE(nullptr, first);

  ScopedModulePath::Set(TestPluginDir("failing").c_str());
  EXPECT_EQ(0, CommonInitialize());
  const OrbPluginState* state = CommonPluginState();
  ASSERT_NE(nullptr, state->module);
  EXPECT_NE(first, state->module);
  EXPECT_EQ("failing", TestPluginName(static_cast<HMODULE>(state->module)));
  EXPECT_NE(nullptr, state->assemble);
  EXPECT_NE(nullptr, state->disassemble);
  EXPECT_EQ(0, CommonTerminate());
  ExpectUnloaded();
  // Only the held handle was freed: the first module is still loaded.
  EXPECT_EQ("partial", TestPluginName(first));
  EXPECT_TRUE(FreeLibrary(first));

  // Now absent: a further initialise clears what a previous one set.
  ScopedModulePath::Set(TestPluginDir("partial").c_str());
  EXPECT_EQ(0, CommonInitialize());
  first = static_cast<HMODULE>(CommonPluginState()->module);
  ScopedModulePath::Set(TestPluginDir("empty").c_str());
  EXPECT_EQ(0, CommonInitialize());
  ExpectUnloaded();
  EXPECT_TRUE(FreeLibrary(first));
}

namespace {

struct AllocEvent {
  int entry;
  std::string tag;
  void* block;
  unsigned size;
};

// Records the host allocator's requests while alive.
class AllocRecorder {
 public:
  AllocRecorder() { HostKit_SetAllocObserver(&Record, this); }
  ~AllocRecorder() { HostKit_SetAllocObserver(nullptr, nullptr); }
  AllocRecorder(const AllocRecorder&) = delete;
  AllocRecorder& operator=(const AllocRecorder&) = delete;

  // The first request of `entry` for `block`; null when there was none.
  const AllocEvent* Find(int entry, const void* block) const {
    for (const AllocEvent& e : events) {
      if (e.entry == entry && e.block == block) return &e;
    }
    return nullptr;
  }

  std::vector<AllocEvent> events;

 private:
  static void Record(void* user, int entry, const char* tag, void* block, unsigned size) {
    static_cast<AllocRecorder*>(user)->events.push_back({entry, tag ? tag : "", block, size});
  }
};

}  // namespace

TEST(LifecycleAllocation, ClassOperatorsUseNewop) {
  AllocRecorder recorder;
  ZString* text = new ZString("abc");
  ASSERT_NE(nullptr, text);
  const AllocEvent* made = recorder.Find(106, text);
  ASSERT_NE(nullptr, made);
  EXPECT_EQ("newop", made->tag);
  EXPECT_EQ(sizeof(ZString), made->size);
  delete text;
  const AllocEvent* freed = recorder.Find(108, text);
  ASSERT_NE(nullptr, freed);
  EXPECT_EQ("newop", freed->tag);

  // Arrays: one block for the three objects (and the count the runtime
  // keeps in front of them), released by delete[].
  size_t before = recorder.events.size();
  ZString* texts = new ZString[3];
  ASSERT_NE(nullptr, texts);
  void* array = nullptr;
  for (size_t i = before; i < recorder.events.size(); i++) {
    const AllocEvent& e = recorder.events[i];
    if (e.entry == 106 && e.size >= 3 * sizeof(ZString)) array = e.block;
  }
  ASSERT_NE(nullptr, array);
  EXPECT_EQ("newop", recorder.Find(106, array)->tag);
  delete[] texts;
  freed = recorder.Find(108, array);
  ASSERT_NE(nullptr, freed);
  EXPECT_EQ("newop", freed->tag);
}

TEST(LifecycleAllocation, NullReleaseAndOversizeMakeNoHostCall) {
  AllocRecorder recorder;
  ZString::operator delete(nullptr);
  ZString::operator delete[](nullptr);
  volatile size_t huge = size_t{1} << 32;
  EXPECT_EQ(nullptr, ZString::operator new(huge));
  EXPECT_EQ(nullptr, ZString::operator new[](huge + 7));
  EXPECT_TRUE(recorder.events.empty());
}

TEST(LifecycleAllocation, LibraryInternalObjectsUseNewop) {
  // A string list allocates its sentinel node with the library's own
  // global operator new, which the test program does not share.
  AllocRecorder recorder;
  long before = HostKit_LiveBlocks("newop");
  {
    ZListString list;
    EXPECT_GT(HostKit_LiveBlocks("newop"), before);
  }
  EXPECT_EQ(before, HostKit_LiveBlocks("newop"));
  ASSERT_FALSE(recorder.events.empty());
  for (const AllocEvent& e : recorder.events) {
    if (e.entry == 106) {
      EXPECT_EQ("newop", e.tag);
      EXPECT_NE(nullptr, recorder.Find(108, e.block));
    }
  }
}

namespace {

struct ToolCall {
  int tool;
  int selector;
  void* context;
  std::vector<intptr_t> args;
};

struct BoxShown {
  HWND owner;
  std::string text;
  std::string caption;
  UINT style;
  size_t callsBefore;  // tool calls made before the box
};

// Plays the client and the user: records tool calls and boxes. While a box
// is up another window comes to the top, as a real box would.
class ClientRecorder {
 public:
  ClientRecorder() {
    HostKit_SetToolHandler(&OnToolCall, this);
    OrbWin_SetMessageBoxHook(&OnBox, this);
    previousActive_ = GetActiveWindow();
  }
  ~ClientRecorder() {
    HostKit_SetToolHandler(nullptr, nullptr);
    OrbWin_SetMessageBoxHook(nullptr, nullptr);
    SetActiveWindow(previousActive_);
    HostKit_Context()[1] = 0;
  }
  ClientRecorder(const ClientRecorder&) = delete;
  ClientRecorder& operator=(const ClientRecorder&) = delete;

  void ExpectBracketedBox() const {
    ASSERT_EQ(3u, calls.size());
    const int expected[3][3] = {{35, 9, 0}, {0, 2, -1}, {35, 9, 1}};
    for (size_t i = 0; i < 3; i++) {
      SCOPED_TRACE(i);
      EXPECT_EQ(expected[i][0], calls[i].tool);
      EXPECT_EQ(expected[i][1], calls[i].selector);
      EXPECT_EQ(HostKit_Context(), calls[i].context);
      if (expected[i][2] < 0) {
        EXPECT_TRUE(calls[i].args.empty());
      } else {
        EXPECT_EQ(std::vector<intptr_t>{expected[i][2]}, calls[i].args);
      }
    }
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(2u, boxes[0].callsBefore);
  }

  std::vector<ToolCall> calls;
  std::vector<BoxShown> boxes;
  int answer = IDYES;

 private:
  static intptr_t OnToolCall(void* user, int tool, int selector, void* context, int argc,
                             const intptr_t* argv) {
    std::vector<intptr_t> args(argv, argv + argc);
    static_cast<ClientRecorder*>(user)->calls.push_back({tool, selector, context, args});
    return 77;
  }
  static int OnBox(void* user, HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    auto* self = static_cast<ClientRecorder*>(user);
    self->boxes.push_back({owner, text, caption, type, self->calls.size()});
    BringWindowToTop(reinterpret_cast<HWND>(uintptr_t{0x5150}));
    return self->answer;
  }

  HWND previousActive_;
};

}  // namespace

TEST(LifecycleDiag, BoxWithoutOwnerWhileContextIsZero) {
  ClientRecorder client;
  HostKit_Context()[1] = 0;
  SetActiveWindow(nullptr);
  EXPECT_EQ(IDYES, DiagMessageBox("Cannot make the folder", "Paths", MB_ICONHAND | MB_OK));
  client.ExpectBracketedBox();
  ASSERT_EQ(1u, client.boxes.size());
  EXPECT_EQ(nullptr, client.boxes[0].owner);
  EXPECT_EQ("Cannot make the folder", client.boxes[0].text);
  EXPECT_EQ("Paths", client.boxes[0].caption);
  EXPECT_EQ(0x10u, client.boxes[0].style);
  // No window was active: none is brought back.
  EXPECT_EQ(reinterpret_cast<HWND>(uintptr_t{0x5150}), OrbWin_TopWindow());
}

TEST(LifecycleDiag, OwnerFromHostRecordAndActiveWindowBack) {
  ClientRecorder client;
  client.answer = IDCANCEL;
  // The host record: its 32-bit word at byte offset 32 is the owner.
  unsigned char record[40];
  std::memset(record, 0xEE, sizeof record);
  const uint32_t owner = 0x00012340;
  std::memcpy(record + 32, &owner, sizeof owner);
  HostKit_Context()[1] = reinterpret_cast<intptr_t>(record);
  HWND active = reinterpret_cast<HWND>(uintptr_t{0x00012350});
  SetActiveWindow(active);

  EXPECT_EQ(IDCANCEL, DiagMessageBox("text", "caption", MB_OKCANCEL));
  client.ExpectBracketedBox();
  ASSERT_EQ(1u, client.boxes.size());
  EXPECT_EQ(reinterpret_cast<HWND>(uintptr_t{owner}), client.boxes[0].owner);
  EXPECT_EQ(MB_OKCANCEL, client.boxes[0].style);
  EXPECT_EQ(active, OrbWin_TopWindow());
  EXPECT_EQ(0, HostKit_Context()[0]);  // the library never writes the context
}

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

}  // namespace

// Tools and the client resolve these by their plain, unmangled names.
TEST(LifecycleExports, PlainFunctionsByUnmangledName) {
  LoadedLibrary orbcmn("liborbcmn32.so");
  LoadedLibrary hostkit("libhostkit.so");
  ASSERT_NE(orbcmn.handle(), nullptr);
  ASSERT_NE(hostkit.handle(), nullptr);
  const struct {
    const LoadedLibrary& library;
    const char* name;
    void* address;
  } exports[] = {{orbcmn, "CommonInitialize", Address(&CommonInitialize)},
                 {orbcmn, "CommonTerminate", Address(&CommonTerminate)},
                 {orbcmn, "CommonGetVersion", Address(&CommonGetVersion)},
                 {hostkit, "HostKit_Alloc", Address(&HostKit_Alloc)},
                 {hostkit, "HostKit_Realloc", Address(&HostKit_Realloc)},
                 {hostkit, "HostKit_Free", Address(&HostKit_Free)},
                 {hostkit, "HostKit_ToolCall", Address(&HostKit_ToolCall)},
                 {hostkit, "HostKit_CheckPath", Address(&HostKit_CheckPath)},
                 {hostkit, "HostKit_MakePath", Address(&HostKit_MakePath)},
                 {hostkit, "IDB_Exists", Address(&IDB_Exists)},
                 {hostkit, "IDB_DodRequest", Address(&IDB_DodRequest)},
                 {hostkit, "HostKit_Context", Address(&HostKit_Context)}};
  for (const auto& e : exports) EXPECT_EQ(e.library.Symbol(e.name), e.address) << e.name;
}

TEST(LifecycleExports, GlobalAllocationOperatorsStayInside) {
  // Looking the operators up through the library finds the runtime's (in a
  // library it depends on), never the library's own: a process that loads
  // it keeps its own allocator.
  LoadedLibrary orbcmn("liborbcmn32.so");
  ASSERT_NE(orbcmn.handle(), nullptr);
  for (const char* name : {"_Znwm", "_Znam", "_ZdlPv", "_ZdaPv", "_ZdlPvm", "_ZdaPvm"}) {
    void* found = orbcmn.Symbol(name);
    if (found == nullptr) continue;
    Dl_info info;
    ASSERT_NE(dladdr(found, &info), 0) << name;
    ASSERT_NE(info.dli_fname, nullptr) << name;
    EXPECT_EQ(std::strstr(info.dli_fname, "liborbcmn32"), nullptr) << name << " " << info.dli_fname;
  }
}
