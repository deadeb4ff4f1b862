// Version text, about box, centring and trimmed dialog fields.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "orbcmn/utilversion.h"
#include "platform/win32.h"
#include "support/alloclog.h"

namespace {

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
  EXPECT_EQ(buffer, UtilGetAndTrimField(dialog, 10, buffer, sizeof buffer));
  EXPECT_STREQ("a b", buffer);
  EXPECT_STREQ("a", UtilGetAndTrimField(dialog, 10, buffer, 4)) << "'  a' read, then trimmed";
  std::strcpy(buffer, " kept  ");
  EXPECT_STREQ("kept", UtilGetAndTrimField(dialog, 10, buffer, 0)) << "nothing read, still trimmed";
  EXPECT_EQ(nullptr, UtilGetAndTrimField(dialog, 10, nullptr, 4));
  DestroyWindow(dialog);
  OwnResources(false);
}

}  // namespace
