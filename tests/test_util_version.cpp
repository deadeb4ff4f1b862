// Version text, about box, centring and trimmed dialog fields.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "orbcmn/utilversion.h"
#include "platform/win32.h"
#include "support/alloclog.h"

namespace {

std::string ExecutableFile() {
  char file[MAX_PATH + 1];
  GetModuleFileNameA(nullptr, file, sizeof file);
  return file;
}

#if defined(_WIN32)
// The test program carries file version 4.12 as a resource
// (support/windows.rc), and so do its dialog templates; HOSTKIT.DLL
// carries no version.
void SetOwnVersion() {}
void UnsetOwnVersion() {}
HINSTANCE NoVersionModule() { return GetModuleHandleA("HOSTKIT.DLL"); }
void RegisterTemplates() {}
void UnregisterTemplates() {}
#else
// Registers file version 4.12 for the test program itself, the module of
// windows created with a null instance.
void SetOwnVersion() {
  VS_FIXEDFILEINFO info = {};
  info.dwFileVersionMS = 0x0004000C;
  ASSERT_TRUE(OrbWin_RegisterVersionInfo(ExecutableFile().c_str(), &info));
}
void UnsetOwnVersion() { EXPECT_TRUE(OrbWin_UnregisterVersionInfo(ExecutableFile().c_str())); }
// Until SetOwnVersion, the test program has no version.
HINSTANCE NoVersionModule() { return nullptr; }

// The templates a Windows program carries as resources.
void RegisterTemplates() {
  static const ORBWIN_DLGITEM about[] = {{"STATIC", "no version", 200, 0, 10, 10, 100, 12}};
  static const ORBWIN_DLGTEMPLATE aboutBox = {WS_POPUP, "About", 0, 0, 120, 60, 1, about};
  static const ORBWIN_DLGITEM fields[] = {
      {"EDIT", "  a b  ", 10, 0, 0, 0, 10, 10},
      {"EDIT", "\t x ", 11, 0, 0, 20, 10, 10},
  };
  static const ORBWIN_DLGTEMPLATE form = {WS_POPUP, "", 0, 0, 100, 100, 2, fields};
  ASSERT_TRUE(OrbWin_RegisterDialogTemplate(nullptr, "ABOUTBOX", &aboutBox));
  ASSERT_TRUE(OrbWin_RegisterDialogTemplate(nullptr, "FIELDS", &form));
}
void UnregisterTemplates() {
  EXPECT_TRUE(OrbWin_UnregisterDialogTemplate(nullptr, "ABOUTBOX"));
  EXPECT_TRUE(OrbWin_UnregisterDialogTemplate(nullptr, "FIELDS"));
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
  w = Popup(0, 0, 10, 10);

  AllocLog log;
  SetOwnVersion();
  UtilSetVersion(w);
  EXPECT_EQ("Version 4.1", Text(w)) << "first digit of the minor only";
  const std::string size =
      std::to_string(GetFileVersionInfoSizeA(ExecutableFile().c_str(), nullptr));
  EXPECT_EQ("106 ORB002 " + size + ", 108 UtilSetVersion 0", log.Take());
  UnsetOwnVersion();
  DestroyWindow(w);

  // The library registers its own version block.
  HMODULE library = LoadLibraryA("ORBCMN32");
  ASSERT_NE(nullptr, library);
  w = Popup(0, 0, 10, 10, library);
  UtilSetVersion(w);
  EXPECT_EQ("Version 14.0", Text(w));
  DestroyWindow(w);
  FreeLibrary(library);
}

TEST(UtilVersion, CentringTruncatesAndUsesParentCoordinatesForChildren) {
  // A smaller reference puts the window up and to the left of its corner;
  // (10 - 31) / 2 truncates toward zero. (The about box shows plain centring.)
  HWND small = Popup(100, 100, 20, 10);
  HWND window = Popup(0, 0, 50, 31);
  SetActiveWindow(nullptr);
  UtilCenterWnd(small, window);
  EXPECT_EQ("85,90 50x31", Place(window));
  EXPECT_EQ(nullptr, GetActiveWindow()) << "not activated";
  UtilCenterWnd(nullptr, window);
  EXPECT_EQ("85,90 50x31", Place(window)) << "nothing to centre on: unchanged";
  // A child is moved in its parent's client coordinates.
  HWND reference = Popup(100, 100, 200, 100);
  HWND parent = Popup(1000, 500, 300, 300);
  HWND child =
      CreateWindowExA(0, "STATIC", "", WS_CHILD, 5, 5, 50, 40, parent, nullptr, nullptr, nullptr);
  UtilCenterWnd(reference, child);
  EXPECT_EQ("175,130 50x40", Place(child));
  for (HWND w : {reference, window, small, parent}) DestroyWindow(w);
}

// "left,top" where `window` is centred over `over`.
std::string CentredOver(HWND over, HWND window) {
  RECT o = {}, w = {};
  GetWindowRect(over, &o);
  GetWindowRect(window, &w);
  return std::to_string(o.left + ((o.right - o.left) - (w.right - w.left)) / 2) + "," +
         std::to_string(o.top + ((o.bottom - o.top) - (w.bottom - w.top)) / 2);
}

// The user at the about box: on each idle moment post the next scripted
// command; on the first, note what the dialog shows and whether it is
// centred over its owner.
struct AboutUser {
  std::string seen;
  std::vector<WPARAM> commands;
  size_t idles;
} g_user;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_ENTERIDLE) return DefWindowProcA(window, message, wParam, lParam);
  HWND dialog = reinterpret_cast<HWND>(lParam);
  if (g_user.idles == 0) {
    char text[32];
    GetDlgItemTextA(dialog, 200, text, sizeof text);
    std::string place = Place(dialog);
    bool centred = place.substr(0, place.find(' ')) == CentredOver(window, dialog);
    g_user.seen = std::string(text) + (centred ? " centred" : " @" + place);
  }
  if (g_user.idles < g_user.commands.size()) {
    PostMessageA(dialog, WM_COMMAND, g_user.commands[g_user.idles], 0);
  }
  g_user.idles++;
  return 0;
}

TEST(AboutBox, ShowsTheVersionCentredAndEndsOnlyOnOkOrCancel) {
  WNDCLASSA cls = {};
  cls.lpfnWndProc = OwnerProc;
  cls.lpszClassName = "AboutOwner";
  ASSERT_NE(0, RegisterClassA(&cls));
  RegisterTemplates();
  HWND owner = CreateWindowExA(0, "AboutOwner", "", WS_POPUP, 200, 100, 400, 300, nullptr, nullptr,
                               nullptr, nullptr);
  SetOwnVersion();
  const WPARAM kCancel5 = MAKEWPARAM(IDCANCEL, 5);
  struct {
    int versionId;
    std::vector<WPARAM> commands;
    intptr_t result;
    const char* text;
  } cases[] = {
      {200, {IDOK}, IDOK, "Version 4.1"},
      {0, {IDOK}, IDOK, "no version"},                                    // still centred
      {200, {kCancel5}, static_cast<intptr_t>(kCancel5), "Version 4.1"},  // the whole wParam
      {200, {3, IDOK}, IDOK, "Version 4.1"},                              // 3 does not end it
  };
  for (const auto& c : cases) {
    g_user = AboutUser{"", c.commands, 0};
    EXPECT_EQ(c.result, UtilAboutBox(nullptr, owner, "AboutBox", c.versionId)) << c.commands[0];
    EXPECT_EQ(c.text + std::string(" centred"), g_user.seen);
  }
  UnsetOwnVersion();
  DestroyWindow(owner);
  UnregisterClassA("AboutOwner", nullptr);
  UnregisterTemplates();
}

TEST(UtilField, ReadsTheControlTextTrimmed) {
  RegisterTemplates();
  HWND dialog = CreateDialogParamA(nullptr, "FIELDS", nullptr, nullptr, 0);
  ASSERT_NE(nullptr, dialog);
  char buffer[16];
  EXPECT_EQ(buffer, UtilGetAndTrimField(dialog, 10, buffer, sizeof buffer));
  EXPECT_STREQ("a b", buffer);
  EXPECT_STREQ("\t x", UtilGetAndTrimField(dialog, 11, buffer, sizeof buffer)) << "spaces only";
  EXPECT_STREQ("a", UtilGetAndTrimField(dialog, 10, buffer, 4)) << "'  a' read, then trimmed";
  EXPECT_STREQ("", UtilGetAndTrimField(dialog, 99, buffer, sizeof buffer));
  std::strcpy(buffer, " kept  ");
  EXPECT_STREQ("kept", UtilGetAndTrimField(dialog, 10, buffer, 0)) << "nothing read, still trimmed";
  EXPECT_EQ(nullptr, UtilGetAndTrimField(dialog, 10, nullptr, 4));
  DestroyWindow(dialog);
  UnregisterTemplates();
}

}  // namespace
