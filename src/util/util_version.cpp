// Version text, about box and window centring.
#include <cstdio>
#include <cstring>

#include "hostkit/hostkit.h"
#include "orbcmn/utilversion.h"
#include "platform/win32.h"

namespace {

const DWORD kFileNameSize = 261;
const size_t kTextSize = 32;

// The file name of the module owning `window`; false when unknown.
bool ModuleFile(HWND window, char* file) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  return GetModuleFileNameA(instance, file, kFileNameSize) != 0;
}

// "Version major.m" from the most significant file-version word of a
// version block. The fixed information lies at byte 20 of a single-byte
// block (the word at byte 28) and at byte 40 of the block Windows returns
// for a 32-bit module's resource: VerQueryValueA finds it in both.
bool FormatVersion(const unsigned char* block, char* text) {
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block, "\\", reinterpret_cast<LPVOID*>(&fixed), &length) ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  DWORD word = fixed->dwFileVersionMS;
  char minor[8];
  std::snprintf(minor, sizeof minor, "%u", static_cast<unsigned>(word & 0xFFFF));
  std::snprintf(text, kTextSize, "Version %u.%c", static_cast<unsigned>(word >> 16), minor[0]);
  return true;
}

}  // namespace

void UtilSetVersion(HWND window) {
  char file[kFileNameSize];
  if (!ModuleFile(window, file)) return;
  DWORD handle;
  DWORD size = GetFileVersionInfoSizeA(file, &handle);
  if (size == 0) return;
  unsigned char* block = static_cast<unsigned char*>(HostKit_Alloc("ORB002", size, 0));
  if (block == nullptr) return;
  char text[kTextSize];
  if (GetFileVersionInfoA(file, handle, size, block) && FormatVersion(block, text)) {
    SetWindowTextA(window, text);
  }
  HostKit_Free("UtilSetVersion", block);
}

intptr_t UtilAboutBox(HINSTANCE instance, HWND parent, const char* dialogTemplate,
                      unsigned short versionId) {
  return DialogBoxParamA(instance, dialogTemplate, parent, AboutDlgProc, versionId);
}

intptr_t ORBCMN_CALLBACK AboutDlgProc(HWND dialog, unsigned message, uintptr_t wParam,
                                      OrbLParam lParam) {
  if (message == WM_INITDIALOG) {
    UtilCenterWnd(GetParent(dialog), dialog);
    WORD versionId = LOWORD(lParam);
    char file[kFileNameSize];
    if (versionId == 0 || !ModuleFile(dialog, file)) return 0;
    DWORD handle;
    DWORD size = GetFileVersionInfoSizeA(file, &handle);
    if (size == 0) return 0;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    if (memory == nullptr) return 0;
    unsigned char* block = static_cast<unsigned char*>(GlobalLock(memory));
    char text[kTextSize];
    if (block != nullptr && GetFileVersionInfoA(file, handle, size, block) &&
        FormatVersion(block, text)) {
      SetDlgItemTextA(dialog, versionId, text);
    }
    GlobalUnlock(memory);
    GlobalFree(memory);
  } else if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, static_cast<INT_PTR>(wParam));
  }
  return 0;
}

void UtilCenterWnd(HWND reference, HWND window) {
  RECT r, w;
  if (!GetWindowRect(reference, &r) || !GetWindowRect(window, &w)) return;
  POINT at = {r.left + ((r.right - r.left) - (w.right - w.left)) / 2,
              r.top + ((r.bottom - r.top) - (w.bottom - w.top)) / 2};
  if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) ScreenToClient(GetParent(window), &at);
  SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
