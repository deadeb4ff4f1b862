// The library frame: plug-in loading and release, the build string, the
// allocation operators, the message-box routine with its tool calls, and the
// plain functions exported by name.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
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

  static void ExpectEntries(bool module, bool normalize, bool assemble, bool disassemble) {
    const OrbPluginState* state = CommonPluginState();
    EXPECT_EQ(module, state->module != nullptr);
    EXPECT_EQ(normalize, state->normalize != nullptr);
    EXPECT_EQ(assemble, state->assemble != nullptr);
    EXPECT_EQ(disassemble, state->disassemble != nullptr);
  }
  static void ExpectUnloaded() { ExpectEntries(false, false, false, false); }
  static HMODULE Module() { return static_cast<HMODULE>(CommonPluginState()->module); }
};

}  // namespace

TEST_F(Lifecycle, AbsentPluginAndTerminateWithoutInitialize) {
  EXPECT_EQ(0, CommonTerminate());
  ExpectUnloaded();
  EXPECT_STREQ("ORBCMN Build 14", CommonGetVersion());
  ScopedModulePath path(TestPluginDir("empty").c_str());
  EXPECT_EQ(0, CommonInitialize());
  ExpectUnloaded();
}

TEST_F(Lifecycle, RealPluginBesideTheLibrary) {
  ScopedModulePath unset(nullptr);
  EXPECT_EQ(0, CommonInitialize());
  ExpectEntries(true, true, true, true);
  char file[4096];
  ASSERT_GT(GetModuleFileNameA(Module(), file, sizeof file), 0u);
  EXPECT_EQ(std::string(ORB_BINARY_DIR) + "/lib/liborbada32.so", file);
  EXPECT_EQ(0, CommonTerminate());
  ExpectUnloaded();
}

TEST_F(Lifecycle, PartialPluginsAndASecondInitialize) {
  ScopedModulePath path(TestPluginDir("partial").c_str());
  EXPECT_EQ(0, CommonInitialize());
  HMODULE first = Module();
  EXPECT_EQ("partial", TestPluginName(first));
  ExpectEntries(true, true, false, false);
  // A second initialise overwrites the state without freeing the first
  // module; terminating frees only the held handle.
  ScopedModulePath::Set(TestPluginDir("failing").c_str());
  EXPECT_EQ(0, CommonInitialize());
  EXPECT_EQ("failing", TestPluginName(Module()));
  ExpectEntries(true, true, true, true);
  EXPECT_EQ(0, CommonTerminate());
  ExpectUnloaded();
  EXPECT_EQ("partial", TestPluginName(first));
  EXPECT_TRUE(FreeLibrary(first));

  // A module with none of the entries is held all the same; an initialise
  // that finds nothing clears it.
  ScopedModulePath::Set(TestPluginDir("plain").c_str());
  EXPECT_EQ(0, CommonInitialize());
  ExpectEntries(true, false, false, false);
  first = Module();
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
std::vector<AllocEvent> g_allocs;

// Records the host allocator's requests while alive.
struct AllocRecorder {
  AllocRecorder() {
    g_allocs.clear();
    HostKit_SetAllocObserver(
        [](void*, int entry, const char* tag, void* block, unsigned size) {
          g_allocs.push_back({entry, tag ? tag : "", block, size});
        },
        nullptr);
  }
  ~AllocRecorder() { HostKit_SetAllocObserver(nullptr, nullptr); }
};

// The tag of the first request of `entry` for `block`; "-" when none.
std::string TagOf(int entry, const void* block) {
  for (const AllocEvent& e : g_allocs) {
    if (e.entry == entry && e.block == block) return e.tag;
  }
  return "-";
}

}  // namespace

// Objects cross the module boundary, so the class operators, single and
// array, go to the host allocator under "newop"; null and oversize requests
// make no host call. The library's own global operator new, which the test
// program does not share, uses the same tag.
TEST(LifecycleAllocation, HostBlocksUnderNewop) {
  AllocRecorder recorder;
  ZString* text = new ZString("abc");
  EXPECT_EQ("newop", TagOf(106, text));
  EXPECT_EQ(sizeof(ZString), g_allocs.at(0).size);
  delete text;
  EXPECT_EQ("newop", TagOf(108, text));

  g_allocs.clear();
  ZString* texts = new ZString[3];
  void* array = nullptr;
  for (const AllocEvent& e : g_allocs) {
    if (e.entry == 106 && e.size >= 3 * sizeof(ZString)) array = e.block;
  }
  ASSERT_NE(nullptr, array);
  EXPECT_EQ("newop", TagOf(106, array));
  delete[] texts;
  EXPECT_EQ("newop", TagOf(108, array));

  g_allocs.clear();
  ZString::operator delete(nullptr);
  ZString::operator delete[](nullptr);
  volatile size_t huge = size_t{1} << 32;
  EXPECT_EQ(nullptr, ZString::operator new(huge));
  EXPECT_EQ(nullptr, ZString::operator new[](huge + 7));
  EXPECT_TRUE(g_allocs.empty());

  long before = HostKit_LiveBlocks("newop");
  {
    ZListString list;  // its sentinel node comes from the global operator
    EXPECT_GT(HostKit_LiveBlocks("newop"), before);
  }
  EXPECT_EQ(before, HostKit_LiveBlocks("newop"));
}

namespace {

const HWND kOther = reinterpret_cast<HWND>(uintptr_t{0x5150});
std::vector<std::string> g_calls;
int g_answer;

// The client: records tool calls as "tool.selector(args)".
intptr_t OnToolCall(void*, int tool, int selector, void* context, int argc, const intptr_t* argv) {
  EXPECT_EQ(HostKit_Context(), context);
  std::string call = std::to_string(tool) + "." + std::to_string(selector) + "(";
  for (int i = 0; i < argc; i++) call += (i ? "," : "") + std::to_string(argv[i]);
  g_calls.push_back(call + ")");
  return 77;
}

// The user: records each box as "box owner text|caption style" among the
// calls. While a box is up another window comes to the top, as with a real box.
int OnBox(void*, HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  char head[32];
  std::snprintf(head, sizeof head, "box %#lx ", static_cast<unsigned long>(uintptr_t(owner)));
  g_calls.push_back(head + std::string(text) + "|" + caption + " " + std::to_string(type));
  BringWindowToTop(kOther);
  return g_answer;
}

}  // namespace

TEST(LifecycleDiag, BoxBracketedByClientCallsWithOwnerFromHostRecord) {
  HostKit_SetToolHandler(&OnToolCall, nullptr);
  OrbWin_SetMessageBoxHook(&OnBox, nullptr);
  HostKit_Context()[1] = 0;
  SetActiveWindow(nullptr);
  g_answer = IDYES;
  EXPECT_EQ(IDYES, DiagMessageBox("Cannot make the folder", "Paths", MB_ICONHAND | MB_OK));
  EXPECT_EQ((std::vector<std::string>{"35.9(0)", "0.2()", "box 0 Cannot make the folder|Paths 16",
                                      "35.9(1)"}),
            g_calls);
  EXPECT_EQ(kOther, OrbWin_TopWindow()) << "no window was active: none is brought back";

  // The host record: its 32-bit word at byte offset 32 is the owner.
  g_calls.clear();
  g_answer = IDCANCEL;
  unsigned char record[40];
  std::memset(record, 0xEE, sizeof record);
  const uint32_t owner = 0x00012340;
  std::memcpy(record + 32, &owner, sizeof owner);
  HostKit_Context()[1] = reinterpret_cast<intptr_t>(record);
  HWND active = reinterpret_cast<HWND>(uintptr_t{0x00012350});
  SetActiveWindow(active);
  EXPECT_EQ(IDCANCEL, DiagMessageBox("text", "caption", MB_OKCANCEL));
  EXPECT_EQ((std::vector<std::string>{"35.9(0)", "0.2()", "box 0x12340 text|caption 1", "35.9(1)"}),
            g_calls);
  EXPECT_EQ(active, OrbWin_TopWindow());
  EXPECT_EQ(0, HostKit_Context()[0]);  // the library never writes the context

  HostKit_SetToolHandler(nullptr, nullptr);
  OrbWin_SetMessageBoxHook(nullptr, nullptr);
  HostKit_Context()[1] = 0;
  SetActiveWindow(nullptr);
}

template <typename Fn>
void* Address(Fn* fn) {
  return reinterpret_cast<void*>(fn);
}

// Tools and the client resolve these by their plain, unmangled names.
TEST(LifecycleExports, PlainFunctionsByUnmangledName) {
  const std::pair<const char*, void*> exports[] = {
      {"CommonInitialize", Address(&CommonInitialize)},
      {"CommonTerminate", Address(&CommonTerminate)},
      {"CommonGetVersion", Address(&CommonGetVersion)},
      {"HostKit_Alloc", Address(&HostKit_Alloc)},
      {"HostKit_Realloc", Address(&HostKit_Realloc)},
      {"HostKit_Free", Address(&HostKit_Free)},
      {"HostKit_ToolCall", Address(&HostKit_ToolCall)},
      {"HostKit_CheckPath", Address(&HostKit_CheckPath)},
      {"HostKit_MakePath", Address(&HostKit_MakePath)},
      {"IDB_Exists", Address(&IDB_Exists)},
      {"IDB_DodRequest", Address(&IDB_DodRequest)},
      {"HostKit_Context", Address(&HostKit_Context)}};
  for (const auto& e : exports) EXPECT_EQ(dlsym(RTLD_DEFAULT, e.first), e.second) << e.first;

  // Looking the global allocation operators up through the library finds
  // the runtime's, never the library's own: a process that loads it keeps
  // its own allocator.
  std::unique_ptr<void, int (*)(void*)> orbcmn(
      dlopen(ORB_BINARY_DIR "/lib/liborbcmn32.so", RTLD_NOW | RTLD_NOLOAD), dlclose);
  ASSERT_NE(nullptr, orbcmn);
  for (const char* name : {"_Znwm", "_Znam", "_ZdlPv", "_ZdaPv", "_ZdlPvm", "_ZdaPvm"}) {
    void* found = dlsym(orbcmn.get(), name);
    if (found == nullptr) continue;
    Dl_info info;
    ASSERT_NE(dladdr(found, &info), 0) << name;
    ASSERT_NE(info.dli_fname, nullptr) << name;
    EXPECT_EQ(std::strstr(info.dli_fname, "liborbcmn32"), nullptr) << name << " " << info.dli_fname;
  }
}
