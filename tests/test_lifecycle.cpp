// The library frame: plug-in loading and release, the build string, the
// allocation operators and the message-box routine with its tool calls.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "host/toolcall.h"
#include "hostkit/hostkit.h"
#include "lib/diag.h"
#include "orbcmn/orbcmn.h"
#include "platform/win32.h"
#include "plugins/module_path.h"
#include "support/alloclog.h"

namespace {

// Which plug-in entries are held: module, normalise, assemble, disassemble ('-' when null).
std::string Entries() {
  const OrbPluginState* s = CommonPluginState();
  return std::string(s->module ? "m" : "-") + (s->normalize ? "n" : "-") +
         (s->assemble ? "a" : "-") + (s->disassemble ? "d" : "-");
}

// Initialises with the module search limited to test plug-in folder `dir`:
// the entries held and the held module's name.
std::string Init(const char* dir) {
  ScopedModulePath::Set(TestPluginDir(dir).c_str());
  EXPECT_EQ(0, CommonInitialize());
  return Entries() + " " + TestPluginName(static_cast<HMODULE>(CommonPluginState()->module));
}

}  // namespace

TEST(Lifecycle, PartialAndAbsentPlugins) {
  EXPECT_EQ(0, CommonTerminate()) << "without initialise";
  EXPECT_STREQ("ORBCMN Build 14", CommonGetVersion());
  ScopedModulePath path(nullptr);
  // (The real plug-in, found beside the library, is loaded by its own tests.)
  // A second initialise overwrites the state without freeing the first
  // module; terminating frees only the held handle. While the first is
  // loaded, the name finds it again, wherever the search looks.
  EXPECT_EQ("mn-- partial", Init("partial"));
  HMODULE first = static_cast<HMODULE>(CommonPluginState()->module);
  EXPECT_EQ("mn-- partial", Init("failing"));
  EXPECT_EQ(0, CommonTerminate());
  EXPECT_EQ("----", Entries());
  EXPECT_EQ("partial", TestPluginName(first));
  EXPECT_TRUE(FreeLibrary(first));

  // A module with none of the entries is held all the same; an initialise
  // that finds nothing clears it.
  EXPECT_EQ("m--- plain", Init("plain"));
  EXPECT_EQ(0, CommonTerminate());
  EXPECT_EQ("---- ", Init("empty"));
}

// The library's own version block: on Windows its resource
// (src/lib/orbcmn32.rc.in), on POSIX the block it registers as it loads.
TEST(Lifecycle, TheLibrarysOwnVersionBlock) {
  DWORD size = GetFileVersionInfoSizeA(ORB_TEST_LIBRARY, nullptr);
  std::vector<unsigned char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(ORB_TEST_LIBRARY, 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &length));
  EXPECT_EQ(14u << 16, fixed->dwFileVersionMS);
  EXPECT_EQ(VOS__WINDOWS32, fixed->dwFileOS);
#if !defined(_WIN32)
  // The single-byte layout: lengths, key, then thirteen 32-bit words from
  // the signature and structure version to the file date.
  const char whole[] =
      "\x48\0\x34\0VS_VERSION_INFO\0\xBD\x04\xEF\xFE\0\0\x01\0\0\0\x0E\0\0\0\0\0"
      "\0\0\x0E\0\0\0\0\0\0\0\0\0\0\0\0\0\x04\0\0\0\x02\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0";
  EXPECT_EQ(std::string(whole, sizeof whole - 1), std::string(block.begin(), block.end()));
#endif
}

// Objects cross the module boundary, so the class operators, single and
// array, go to the host allocator under "newop"; null and oversize requests
// make no host call. The library's own global operator new uses the same
// tag; a process that loads the library keeps its own allocator, or this
// program's allocations would be logged here too.
TEST(LifecycleAllocation, HostBlocksUnderNewop) {
  AllocLog log;
  delete new ZString("abc");
  delete[] new ZString[3];
  { ZListString list; }  // its sentinel node comes from the library's global operator
  std::string newop;
  for (const std::string& call : log.calls) {
    if (call.find(" newop ") != std::string::npos) newop += call.substr(0, 4);
  }
  EXPECT_EQ("106 108 106 108 106 108 ", newop);
  log.Take();
  ZString::operator delete(nullptr);
  ZString::operator delete[](nullptr);
  // Sizes past 32 bits, where size_t has them, never reach the host.
  if (SIZE_MAX > UINT32_MAX) {
    volatile size_t huge = static_cast<size_t>(uint64_t{1} << 32);
    EXPECT_EQ(nullptr, ZString::operator new(huge));
    EXPECT_EQ(nullptr, ZString::operator new[](huge + 7));
  }
  EXPECT_EQ("", log.Take());
}

namespace {

// Real windows; on Windows the top one is the first child of the desktop.
HWND Popup() {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
}
const HWND kOther = Popup();
const HWND kActive = Popup();
#if defined(_WIN32)
HWND TopWindow() { return GetTopWindow(nullptr); }
#else
HWND TopWindow() { return OrbWin_TopWindow(); }
#endif
std::string g_calls;
int g_answer;

// The client: records tool calls as "tool.selector(args);".
intptr_t OnToolCall(void*, int tool, int selector, void* context, int argc, const intptr_t* argv) {
  EXPECT_EQ(OrbToolContext(), context);
  std::string call = std::to_string(tool) + "." + std::to_string(selector) + "(";
  for (int i = 0; i < argc; i++) call += (i ? "," : "") + std::to_string(argv[i]);
  g_calls += call + ");";
  return 77;
}

// The user: records each box as "box owner text|caption style;" among the
// calls. While a box is up another window comes to the top, as with a real box.
int OnBox(void*, HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  char head[32];
  std::snprintf(head, sizeof head, "box %#lx ", static_cast<unsigned long>(uintptr_t(owner)));
  g_calls += head + std::string(text) + "|" + caption + " " + std::to_string(type) + ";";
  BringWindowToTop(kOther);
  return g_answer;
}

}  // namespace

TEST(LifecycleDiag, BoxBracketedByClientCallsWithOwnerFromHostRecord) {
  HostKit_SetToolHandler(&OnToolCall, nullptr);
  DiagSetMessageBoxHook(&OnBox, nullptr);
  SetActiveWindow(nullptr);
  g_answer = IDYES;
  EXPECT_EQ(IDYES, DiagMessageBox("Cannot make the folder", "Paths", MB_ICONHAND | MB_OK));
  EXPECT_EQ("35.9(0);0.2();box 0 Cannot make the folder|Paths 16;35.9(1);",
            std::exchange(g_calls, ""));
  EXPECT_EQ(kOther, TopWindow()) << "no window was active: none is brought back";

  // The host record: its 32-bit word at byte offset 32 is the owner.
  g_answer = IDCANCEL;
  std::vector<uint32_t> record(10, 0xEEEEEEEEu);
  record[8] = 0x00012340;
  OrbToolContext()[1] = reinterpret_cast<intptr_t>(record.data());
  SetActiveWindow(kActive);
  EXPECT_EQ(IDCANCEL, DiagMessageBox("text", "caption", MB_OKCANCEL));
  EXPECT_EQ("35.9(0);0.2();box 0x12340 text|caption 1;35.9(1);", g_calls);
  EXPECT_EQ(kActive, TopWindow()) << "the active window is brought back";
  EXPECT_EQ(0, OrbToolContext()[0]) << "the library never writes the context";
  OrbToolContext()[1] = 0;
  SetActiveWindow(nullptr);
  DiagSetMessageBoxHook(nullptr, nullptr);
#if !defined(_WIN32)
  // Without a hook the box is the system's: the stand-in's prints on
  // standard error.
  testing::internal::CaptureStderr();
  EXPECT_EQ(IDOK, DiagMessageBox("text", "caption", MB_OK));
  EXPECT_EQ("[caption] text\n", testing::internal::GetCapturedStderr());
#endif
  HostKit_SetToolHandler(nullptr, nullptr);
}
