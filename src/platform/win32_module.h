// Modules and kernel basics: loading libraries and resolving their entries.
#ifndef ORBWIN_WIN32_MODULE_H_
#define ORBWIN_WIN32_MODULE_H_

#include "win32_types.h"

// Loads the module `name`. A name with a directory part is opened as it is.
// "\\" separates directories, in names and in ORB_MODULE_PATH, as "/" does.
// A bare name N names a module already loaded whose file is one of the
// candidates below (without regard to case) wherever it lies, as on
// Windows; otherwise it is looked for, in each directory searched, as the
// files N,
// libn.so and n.so (n = N in lower case). With ORB_MODULE_PATH set
// (colon-separated, read at each call) only its directories are searched;
// otherwise the directory of liborbcmn32.so, then the dynamic linker's own
// search. Null when nothing loads.
ORBWIN_C HMODULE WINAPI LoadLibraryA(LPCSTR name);
// Address of the entry `name` of `module`; null when it has none. Only the
// module's own entries count, not those of the libraries it depends on.
ORBWIN_C FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name);
// Releases a module loaded by LoadLibraryA. FALSE for a null module.
ORBWIN_C BOOL WINAPI FreeLibrary(HMODULE module);
// Copies the file name of `module` (null: the executable) into `buffer`,
// zero-terminated; returns its length. A name of `size` characters or more
// is cut to `size` - 1 characters and the result is `size`. 0 on failure.
ORBWIN_C DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
// Thread notifications do not exist here; always TRUE.
ORBWIN_C BOOL WINAPI DisableThreadLibraryCalls(HMODULE module);
// Milliseconds since an arbitrary start, wrapping at 32 bits.
ORBWIN_C DWORD WINAPI GetTickCount(void);

#endif  // ORBWIN_WIN32_MODULE_H_
