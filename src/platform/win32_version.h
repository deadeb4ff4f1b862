// Version resources. A module's version block is registered by the module
// itself (liborbcmn32 registers its own when it loads; an application or a
// test registers the blocks of its modules), under the module's file name.
// The block is laid out in the single-byte form: a VS_VERSIONINFO header
// (length, value length 52, "VS_VERSION_INFO" and its terminator, padded to
// 4 bytes) followed by VS_FIXEDFILEINFO, so dwFileVersionMS lies at byte
// offset 28. All words are least significant byte first.
#ifndef ORBWIN_WIN32_VERSION_H_
#define ORBWIN_WIN32_VERSION_H_

#include "win32_types.h"

typedef struct tagVS_FIXEDFILEINFO {
  DWORD dwSignature;
  DWORD dwStrucVersion;
  DWORD dwFileVersionMS;
  DWORD dwFileVersionLS;
  DWORD dwProductVersionMS;
  DWORD dwProductVersionLS;
  DWORD dwFileFlagsMask;
  DWORD dwFileFlags;
  DWORD dwFileOS;
  DWORD dwFileType;
  DWORD dwFileSubtype;
  DWORD dwFileDateMS;
  DWORD dwFileDateLS;
} VS_FIXEDFILEINFO;

#define VS_FFI_SIGNATURE 0xFEEF04BDu
#define VS_FFI_STRUCVERSION 0x00010000u
#define VOS__WINDOWS32 0x00000004u
#define VFT_APP 0x00000001u
#define VFT_DLL 0x00000002u

// Size of the version block of `file`, 0 when the file has none. `handle`,
// when not null, is set to 0.
ORBWIN_C DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR file, LPDWORD handle);
// Copies the version block of `file` into `data`, at most `size` bytes.
// FALSE when the file has no block or `data` is null.
ORBWIN_C BOOL WINAPI GetFileVersionInfoA(LPCSTR file, DWORD handle, DWORD size, LPVOID data);
// Reads from a block: "\" gives its VS_FIXEDFILEINFO. FALSE for any other
// path or a block that does not hold one.
ORBWIN_C BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* value, UINT* size);

// Registers (or replaces) the version block of module file `file`, built
// from `info` (signature and structure version are filled in). The file is
// matched by its real path when it exists, else by the name as given, with
// "\" read as "/". FALSE for null arguments.
ORBWIN_C BOOL OrbWin_RegisterVersionInfo(LPCSTR file, const VS_FIXEDFILEINFO* info);
// Forgets the block of `file`; FALSE when none is registered.
ORBWIN_C BOOL OrbWin_UnregisterVersionInfo(LPCSTR file);

#endif  // ORBWIN_WIN32_VERSION_H_
