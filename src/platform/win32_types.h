// The Win32 base types, with the sizes of 32-bit Windows where values are
// stored or compared, and pointer-sized handles.
#ifndef ORBWIN_WIN32_TYPES_H_
#define ORBWIN_WIN32_TYPES_H_

#include <stdint.h>

#if defined(_WIN32)
#define ORBWIN_API __declspec(dllimport)
#else
#define ORBWIN_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#define ORBWIN_C extern "C" ORBWIN_API
#else
#define ORBWIN_C ORBWIN_API
#endif

#define WINAPI
#define CALLBACK

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef char CHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef DWORD* LPDWORD;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef void* HANDLE;

// Window handles carry 32 significant bits, as on Windows, so that a 32-bit
// word of a client record can name a window.
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;

typedef intptr_t(WINAPI* FARPROC)();

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#define MAX_PATH 260

#endif  // ORBWIN_WIN32_TYPES_H_
