// The utilities: trimming, digits, number text and the caller-owned blocks
// with their allocation tags; directory parts, appending files, emptying a
// directory and the host's directory check with its messages; long strings
// in profile files, kept as a length key and a value key; version text,
// about box, centring and trimmed dialog fields.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "hostkit/hostkit.h"
#include "lib/diag.h"
#include "orbcmn/util.h"
#include "orbcmn/utilpath.h"
#include "orbcmn/utilversion.h"
#include "platform/win32.h"
#include "support/alloclog.h"
#include "support/tempfiles.h"

namespace fs = std::filesystem;

namespace {

TEST(UtilString, DigitsTrimmingOfSpacesOnlyAndNumberText) {
  const std::pair<const char*, int> digits[] = {
      {nullptr, 1}, {"", 1}, {"0123456789", 1}, {"12a", 0}, {"1\xE9", 0},  // a Windows-1252 letter
      {"1\xB2", 1},  // Windows counts superscript two as a digit
  };
  for (const auto& c : digits) EXPECT_EQ(c.second, AllDigits(c.first)) << c.first;

  const std::tuple<char* (*)(char*), const char*, const char*> trims[] = {
      {lstrrtrim, "   ", ""},     {lstrrtrim, "\t a\r\n ", "\t a\r\n"},
      {lstrrtrim, "", ""},        {lstrltrim, "  a ", "a "},
      {lstrltrim, " \ta", "\ta"}, {lstrtrim, "   x y   ", "x y"},
  };
  for (const auto& [trim, in, out] : trims) {
    std::string s = in;
    EXPECT_EQ(&s[0], trim(&s[0]));
    EXPECT_STREQ(out, s.c_str()) << "'" << in << "'";
    EXPECT_EQ(nullptr, trim(nullptr));
  }
  // 65540 characters: the count wraps to 4, so trimming starts there.
  std::string text = "ab  " + std::string(65536, 'x');
  lstrrtrim(&text[0]);
  EXPECT_STREQ("ab", text.c_str());

  // Number texts share one buffer; only the 32-bit value counts.
  char* first = fltoa(static_cast<long>(0xFFFFFFFFul));
  EXPECT_STREQ("-1", first);
  EXPECT_EQ(first, fltoa(-2147483647L - 1));
  EXPECT_STREQ("-2147483648", first);
}

// Copying onto an old block frees it, but after the copy when the source is
// that block itself; an empty or missing source gives no block. Each
// function frees under its own tag. Lengths count in 16 bits: 65541
// characters copy as 5.
TEST(UtilMemory, AllocAndCopyTagsAndFreesTheOldBlockAfterTheCopy) {
  AllocLog log;
  char* hello = UtilAllocAndCopyString((std::string(65536, 'y') + "hello").c_str(), nullptr);
  EXPECT_STREQ("yyyyy", hello);
  char* bye = UtilAllocAndCopyString("bye", hello);
  char* same = UtilAllocAndCopyString(bye, bye);
  void* mem = UtilAllocAndCopyMem(same, 4, same);
  EXPECT_STREQ("bye", static_cast<char*>(mem));
  void* zeros = UtilAllocAndCopyMem("a\0b", 3, nullptr);
  EXPECT_EQ(0, std::memcmp("a\0b", zeros, 3));
  EXPECT_EQ(nullptr, UtilAllocAndCopyString("", static_cast<char*>(mem)));
  EXPECT_EQ(nullptr, UtilAllocAndCopyMem(nullptr, 10, zeros));
  EXPECT_EQ(nullptr, UtilAllocAndCopyString(nullptr, nullptr));
  EXPECT_EQ((std::vector<void*>{hello, hello, bye, same, bye, mem, same, zeros, mem, zeros}),
            log.blocks);
  EXPECT_EQ(
      "106 ORB000 6, 108 06109D 0, 106 ORB000 4, 106 ORB000 4, 108 06109D 0, 106 ORB000 4, "
      "108 06109E 0, 106 ORB000 3, 108 06109D 0, 108 06109E 0",
      log.Take());

  // A slot frees what it held unless it is given the same block again.
  void* slot = nullptr;
  void* a = UtilAllocAndCopyMem("a", 1, nullptr);
  void* b = UtilAllocAndCopyMem("b", 1, nullptr);
  for (void* block : {a, a, b, static_cast<void*>(nullptr)}) Util_ReplaceMem(&slot, block);
  EXPECT_EQ(nullptr, slot);
  Util_ReplaceMem(nullptr, nullptr);
  EXPECT_EQ((std::vector<void*>{a, b, a, b}), log.blocks);
  EXPECT_EQ("106 ORB000 1, 106 ORB000 1, 108 06109F 0, 108 06109F 0", log.Take());

  // Line feeds (not those after a carriage return) and 0x7F become CR LF,
  // into a new block, then a grown one; a null source adds nothing.
  char* p = OrbHost_Replace7FsAndCopyStr(nullptr, "a\177b\nc\r\n\r");
  p = OrbHost_Replace7FsAndCopyStr(p, "\n");  // a line feed first in the source
  p = OrbHost_Replace7FsAndCopyStr(p, nullptr);
  EXPECT_STREQ("a\r\nb\r\nc\r\n\r\r\n", p);
  HostKit_Free("test", p);
  EXPECT_EQ("106 mip034 11, 107 mip033 13, 107 mip033 13, 108 test 0", log.Take());
  // A text cut short in a larger block: what follows its end is no terminator.
  p = static_cast<char*>(HostKit_Alloc("test", 10, 0));
  std::memcpy(p, "abc\0efghi", 10);
  p = OrbHost_Replace7FsAndCopyStr(p, "xy");
  EXPECT_STREQ("abcxy", p);
  HostKit_Free("test", p);
}

TEST(UtilPath, PathFromFileNameAndInstancePath) {
  // clang-format off
  const char* cases[][2] = {{"D:\\DIR\\FILE.TXT", "D:\\DIR"}, {"D:\\DIR\\", "D:\\DIR"}, {"", ""},
                            {"FILE.TXT", ""}, {"\\FILE.TXT", ""}, {"/tmp/dir/file", "/tmp/dir"},
                            {nullptr, "sentinel"}};  // null leaves the buffer alone
  // clang-format on
  for (const auto& c : cases) {
    char out[300] = "sentinel";
    GetPathFromFileName(c[0], out);
    EXPECT_STREQ(c[1], out) << &c - cases;
  }
  char same[] = "A\\B\\C";
  GetPathFromFileName(same, same);
  EXPECT_STREQ("A\\B", same);

  // A module's path is its directory: here the program's.
  char out[MAX_PATH + 1];
  GetInstancePath(nullptr, out);
  EXPECT_EQ(fs::canonical(std::string(ORB_BINARY_DIR) + "/bin"), fs::canonical(out));
}

TEST(UtilPath, AppendFileAndDeleteAllFiles) {
  TempDir dir;
  FILE* out = std::fopen(dir.File("out.bin").c_str(), "wb");
  EXPECT_EQ(0, AppendFile(out, dir.File("missing").c_str()));
  Bytes big(5000);  // three pieces
  for (size_t i = 0; i < big.size(); i++) big[i] = static_cast<unsigned char>(i * 7);
  ASSERT_TRUE(WriteBytes(dir.File("big"), big));
  std::string windowsPath = dir.path() + "\\big";
  EXPECT_EQ(1, AppendFile(out, windowsPath.c_str()));
  EXPECT_EQ(0, AppendFile(nullptr, windowsPath.c_str()));
  std::fclose(out);
  EXPECT_EQ(big, ReadBytes(dir.File("out.bin")));

  // Plain files go; subdirectories, even empty ones, stay and are not entered.
  fs::create_directories(dir.File("sub.dir"));
  fs::create_directories(dir.File("empty.dir"));
  ASSERT_TRUE(WriteBytes(dir.File("sub.dir/inner"), {'3'}));
  DeleteAllFiles(dir.path().c_str());
  EXPECT_EQ(2, std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
  EXPECT_TRUE(fs::exists(dir.File("sub.dir/inner")));
  DeleteAllFiles(std::string(300, 'x').c_str());  // over-long: does nothing
  DeleteAllFiles(nullptr);
}

// The user at message boxes and the client at the directory check, logged
// in order; the client answers as told.
std::string g_log;
int g_answers[2];

void Log(const std::string& entry) { g_log += (g_log.empty() ? "" : ", ") + entry; }

int Host(const char* what, const char* path, int which) {
  Log(what + std::string(path));
  return g_answers[which];
}

// The first form refuses spaces itself and says why, cutting the label;
// the second (show -1) leaves spaces to the host and shows nothing. Each
// case: the check's and make's answers, label, path, show, result and log.
TEST(UtilPath, CheckAndMakePathMessagesAndHostCallsInOrder) {
  DiagSetMessageBoxHook(
      [](void*, HWND, LPCSTR text, LPCSTR caption, UINT type) {
        Log(std::string(caption) + ": " + text + " " + std::to_string(type));
        return IDOK;
      },
      nullptr);
  HostKit_SetPathHandlers([](void*, const char* path) { return Host("check ", path, 0); },
                          [](void*, const char* path) { return Host("make ", path, 1); }, nullptr);
  const std::string longPath(400, 'p');
  const std::tuple<int, int, const char*, const char*, int, int, std::string> cases[] = {
      {1, 1, "download", "D:\\MY DIR", 1, 0, "Tool: Directory names cannot contain spaces 16"},
      {1, 1, "download", "D:\\MY DIR", 0, 0, ""},
      {1, 1, "download", "D:\\DIR", 1, 1, "check D:\\DIR, make D:\\DIR"},
      {0, 1, "download area, long name", "D:\\DL", 1, 0,
       "check D:\\DL, Tool: Could not create download area, long  directory D:\\DL 16"},
      {1, 0, "x", "D:\\DL", 0, 0, "check D:\\DL, make D:\\DL"},
      // A path too long for the message buffer is cut at 311 characters.
      {1, 0, nullptr, longPath.c_str(), 1, 0,
       "check " + longPath + ", make " + longPath + ", Tool: Could not create  directory " +
           std::string(311 - 28, 'p') + " 16"},
      {1, 1, nullptr, "D:\\A B", -1, 2, "check D:\\A B, make D:\\A B"},
      {1, 0, nullptr, "D:\\A", -1, 1, "check D:\\A, make D:\\A"},
      {0, 1, nullptr, "D:\\C", -1, 1, "check D:\\C"},
  };
  for (const auto& [check, make, label, path, show, result, log] : cases) {
    g_log.clear();
    g_answers[0] = check;
    g_answers[1] = make;
    EXPECT_EQ(result,
              show < 0 ? CheckAndMakePath2(path) : CheckAndMakePath("Tool", label, path, show));
    EXPECT_EQ(log, g_log) << path;
  }
  DiagSetMessageBoxHook(nullptr, nullptr);
  HostKit_SetPathHandlers(nullptr, nullptr, nullptr);

  // Without a client the host makes directories with their parents, "\\"
  // separating them too, and refuses names with spaces.
  TempDir dir;
  EXPECT_EQ(1, CheckAndMakePath("Tool", "work", (dir.path() + "\\a\\b").c_str(), 1));
  EXPECT_TRUE(fs::is_directory(dir.File("a/b")));
  EXPECT_EQ(2, CheckAndMakePath2(dir.File("a/b").c_str()));
  EXPECT_EQ(1, CheckAndMakePath2(dir.File("c d").c_str()));
  EXPECT_FALSE(fs::exists(dir.File("c d")));
}

// Reads the long string of section Data, keys Len and `valueKey`.
int Get(const std::string& file, char** block, const char* valueKey = "Text") {
  return GetPrivateProfileLongString(file.c_str(), "Data", "Len", valueKey, block);
}

int Put(const std::string& file, const char* text) {
  return WritePrivateProfileLongString(file.c_str(), "Data", "Len", "Text", text);
}

// A text reads back into a block of its length plus one; the length key
// decides what is read.
TEST(LongString, RoundTripAndTheLengthKeyRules) {
  TempDir dir;
  const std::string file = dir.File("tool.ini");
  const std::string text(300, 'a');
  ASSERT_NE(0, Put(file, text.c_str()));
  AllocLog log;
  char* block = nullptr;
  EXPECT_EQ(300, Get(file, &block));
  EXPECT_EQ("106 ORB003 301", log.Take());
  EXPECT_EQ(text, block != nullptr ? block : "");
  HostKit_Free("test", block);

  EXPECT_EQ(0, Get(file, nullptr));
  // A missing, zero or damaged length never yields a block too small for
  // its text; an earlier pointer in the slot is dropped.
  char dummy;
  for (const char* damaged : {static_cast<const char*>(nullptr), "0", "-1", "0x80000000"}) {
    ASSERT_TRUE(WritePrivateProfileStringA("Data", "Len", damaged, file.c_str()));
    block = &dummy;
    EXPECT_EQ(0, Get(file, &block)) << (damaged ? damaged : "missing");
    EXPECT_EQ(nullptr, block);
  }

  // A longer value is cut; a missing one reads empty, the block still
  // going to the caller.
  ASSERT_TRUE(WritePrivateProfileStringA("Data", "Len", "4", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Data", "Text", "abcdefgh", file.c_str()));
  char* cut[2] = {};
  EXPECT_EQ(4, Get(file, &cut[0]));
  EXPECT_EQ(0, Get(file, &cut[1], "Other"));
  EXPECT_STREQ("abcd", cut[0]);
  EXPECT_STREQ("", cut[1]);
  for (char* b : cut) HostKit_Free("test", b);

  const std::string missing = dir.File("no/such.ini");
  EXPECT_EQ(0, Put(missing, "abc"));
  EXPECT_FALSE(fs::exists(missing));
}

#ifndef _WIN32
// A file that may not grow past 100 bytes (a full disk): the length key
// fits, the 300-character value does not, and the pair stays as it was,
// a missing pair too.
TEST(LongString, AValueThatCannotBeWrittenLeavesThePairAsItWas) {
  TempDir dir;
  const std::string file = dir.File("full.ini"), other = dir.File("none.ini");
  ASSERT_NE(0, Put(file, "old value"));
  const Bytes before = ReadBytes(file);
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  const struct rlimit small = {100, saved.rlim_max};
  void (*handler)(int) = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const std::string text(300, 'x');
  const int wrote = Put(file, text.c_str()), wroteOther = Put(other, text.c_str());
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, handler);
  EXPECT_EQ(0, wrote);
  EXPECT_EQ(before, ReadBytes(file));
  EXPECT_EQ(0, wroteOther);
  char* block = nullptr;
  EXPECT_EQ(0, Get(other, &block));
  EXPECT_EQ(nullptr, block) << "no length key left behind";
}
#endif

#if defined(_WIN32)
// The test program carries file version 4.12 and the dialog templates as
// resources (support/windows.rc); HOSTKIT.DLL carries no version.
void OwnResources(bool) {}
HINSTANCE NoVersionModule() { return GetModuleHandleA("HOSTKIT.DLL"); }
// The plain test plug-in carries file version 7.3 (plugins/version.rc).
HMODULE SevenThreeModule() {
  std::string file = ORB_TEST_PLUGIN_DIR "/plain/orbada32.dll";
  for (char& c : file) c = c == '/' ? '\\' : c;
  return LoadLibraryA(file.c_str());
}
#else
// Registers, or unregisters, what a Windows program carries as resources:
// file version 4.12 for the test program itself, the module
// of windows created with a null instance, and the dialog templates.
void OwnResources(bool on) {
  static const ORBWIN_DLGITEM about[] = {{"STATIC", "no version", 200, 0, 10, 10, 100, 12}};
  static const ORBWIN_DLGTEMPLATE aboutBox = {WS_POPUP, "About", 0, 0, 120, 60, 1, about};
  static const ORBWIN_DLGITEM field = {"EDIT", "  a b  ", 10, 0, 0, 0, 10, 10};
  static const ORBWIN_DLGTEMPLATE form = {WS_POPUP, "", 0, 0, 100, 100, 1, &field};
  VS_FIXEDFILEINFO info = {};
  info.dwFileVersionMS = 0x0004000C;
  char file[MAX_PATH + 1];
  GetModuleFileNameA(nullptr, file, sizeof file);
  EXPECT_TRUE(on ? OrbWin_RegisterVersionInfo(file, &info) &&
                       OrbWin_RegisterDialogTemplate(nullptr, "ABOUTBOX", &aboutBox) &&
                       OrbWin_RegisterDialogTemplate(nullptr, "FIELDS", &form)
                 : OrbWin_UnregisterVersionInfo(file) &&
                       OrbWin_UnregisterDialogTemplate(nullptr, "ABOUTBOX") &&
                       OrbWin_UnregisterDialogTemplate(nullptr, "FIELDS"));
}
// Until then, the test program has no version.
HINSTANCE NoVersionModule() { return nullptr; }
// The plain test plug-in, given file version 7.3 as on Windows.
HMODULE SevenThreeModule() {
  HMODULE module = LoadLibraryA(ORB_TEST_PLUGIN_DIR "/plain/orbada32.so");
  char file[MAX_PATH + 1];
  VS_FIXEDFILEINFO info = {};
  info.dwFileVersionMS = 0x00070003;
  EXPECT_TRUE(GetModuleFileNameA(module, file, sizeof file) &&
              OrbWin_RegisterVersionInfo(file, &info));
  return module;
}
#endif

std::string Text(HWND window) {
  char text[64];
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// "left,top widthxheight" of the window on the screen.
std::string Place(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

HWND Popup(int x, int y, int cx, int cy, HINSTANCE instance = nullptr) {
  return CreateWindowExA(0, "STATIC", "unchanged", WS_POPUP, x, y, cx, cy, nullptr, nullptr,
                         instance, nullptr);
}

TEST(UtilVersion, VersionTextOfTheWindowsModule) {
  HWND w = Popup(0, 0, 10, 10, NoVersionModule());
  UtilSetVersion(w);
  EXPECT_EQ("unchanged", Text(w)) << "a module without version block";
  DestroyWindow(w);
  // The library registers its own version block.
  HMODULE library = LoadLibraryA("ORBCMN32");
  w = Popup(0, 0, 10, 10, library);
  AllocLog log;
  UtilSetVersion(w);
  EXPECT_EQ("Version 14.0", Text(w));
  char file[MAX_PATH + 1];
  GetModuleFileNameA(library, file, sizeof file);
  const DWORD size = GetFileVersionInfoSizeA(file, nullptr);
  EXPECT_EQ("106 ORB002 " + std::to_string(size) + ", 108 UtilSetVersion 0", log.Take());
  DestroyWindow(w);
  FreeLibrary(library);
  HMODULE seven = SevenThreeModule();  // every bit of the minor counts
  w = Popup(0, 0, 10, 10, seven);
  UtilSetVersion(w);
  EXPECT_EQ("Version 7.3", Text(w));
  DestroyWindow(w);
  FreeLibrary(seven);
}

TEST(UtilVersion, CentringTruncatesAndUsesParentCoordinatesForChildren) {
  // A smaller reference puts the window up and to the left of its corner;
  // (10 - 31) / 2 truncates toward zero.
  HWND small = Popup(100, 100, 20, 10);
  HWND window = Popup(0, 0, 50, 31);
  SetActiveWindow(nullptr);
  UtilCenterWnd(small, window);
  UtilCenterWnd(nullptr, window);  // nothing to centre on: unchanged
  EXPECT_EQ("85,90 50x31", Place(window));
  EXPECT_EQ(nullptr, GetActiveWindow()) << "not activated";
  // A child is moved in its parent's client coordinates.
  HWND parent = Popup(1000, 500, 300, 300);
  HWND child =
      CreateWindowExA(0, "STATIC", "", WS_CHILD, 5, 5, 50, 40, parent, nullptr, nullptr, nullptr);
  UtilCenterWnd(window, child);
  EXPECT_EQ("85,86 50x40", Place(child));
  for (HWND w : {window, small, parent}) DestroyWindow(w);
}

// The user at the about box: on each idle moment post the next scripted
// command; on the first, note what the dialog shows and whether its centre
// is its owner's.
std::string g_seen;
std::vector<WPARAM> g_commands;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_ENTERIDLE) return DefWindowProcA(window, message, wParam, lParam);
  HWND dialog = reinterpret_cast<HWND>(lParam);
  if (g_seen.empty()) {
    char text[32];
    GetDlgItemTextA(dialog, 200, text, sizeof text);
    RECT o, d;
    const bool centred = GetWindowRect(window, &o) && GetWindowRect(dialog, &d) &&
                         std::abs(o.left + o.right - d.left - d.right) <= 1 &&
                         std::abs(o.top + o.bottom - d.top - d.bottom) <= 1;
    g_seen = std::string(text) + (centred ? " centred" : " off-centre");
  }
  if (!g_commands.empty()) {  // 0 closes the dialog
    PostMessageA(dialog, g_commands.front() == 0 ? WM_CLOSE : WM_COMMAND, g_commands.front(), 0);
    g_commands.erase(g_commands.begin());
  }
  return 0;
}

TEST(Dialogs, AboutBoxShowsTheVersionCentredAndFieldsReadTrimmed) {
  WNDCLASSA cls = {};
  cls.lpfnWndProc = OwnerProc;
  cls.lpszClassName = "AboutOwner";
  ASSERT_NE(0, RegisterClassA(&cls));
  OwnResources(true);
  HWND owner = CreateWindowExA(0, "AboutOwner", "", WS_POPUP, 200, 100, 400, 300, nullptr, nullptr,
                               nullptr, nullptr);
  // The dialog ends with the whole wParam of IDOK or IDCANCEL only, and
  // closing it cancels it; it is centred with or without a version control,
  // which shows the first digit of the minor only.
  const std::tuple<int, std::vector<WPARAM>, intptr_t> cases[] = {
      {200, {IDOK}, IDOK},
      {0, {IDOK}, IDOK},
      {200, {MAKEWPARAM(IDCANCEL, 5)}, MAKEWPARAM(IDCANCEL, 5)},
      {200, {3, 0, IDOK}, IDCANCEL}};
  for (const auto& [id, commands, result] : cases) {
    g_seen.clear();
    g_commands = commands;
    EXPECT_EQ(result, UtilAboutBox(nullptr, owner, "AboutBox", id));
    EXPECT_EQ(id != 0 ? "Version 4.1 centred" : "no version centred", g_seen);
  }
  DestroyWindow(owner);
  UnregisterClassA("AboutOwner", nullptr);

  // A dialog field is read trimmed, into as much of the buffer as it is told.
  HWND dialog = CreateDialogParamA(nullptr, "FIELDS", nullptr, nullptr, 0);
  ASSERT_NE(nullptr, dialog);
  char buffer[16];
  EXPECT_EQ(buffer, UtilGetAndTrimField(dialog, 10, buffer, 4));
  EXPECT_STREQ("a", buffer) << "'  a' read, then trimmed";
  std::strcpy(buffer, " kept  ");
  EXPECT_STREQ("kept", UtilGetAndTrimField(dialog, 10, buffer, 0)) << "nothing read, still trimmed";
  EXPECT_EQ(nullptr, UtilGetAndTrimField(dialog, 10, nullptr, 4));
  DestroyWindow(dialog);
  OwnResources(false);
}

}  // namespace
