// Export and allocation macros shared by every public header of the library.
#ifndef ORBCMN_EXPORT_H_
#define ORBCMN_EXPORT_H_

#include <stdint.h>

#include <cstddef>

#if defined(_WIN32)
#if defined(ORBCMN_BUILDING)
#define ORBCMN_API __declspec(dllexport)
#else
#define ORBCMN_API __declspec(dllimport)
#endif
#else
#define ORBCMN_API __attribute__((visibility("default")))
#endif

// Window and dialog procedures use the Win32 calling convention (stdcall on
// 32-bit Windows); every other exported function uses the C one.
#if defined(_WIN32)
#define ORBCMN_CALLBACK __stdcall
#else
#define ORBCMN_CALLBACK
#endif

// The last argument of a window or dialog procedure (Win32's LPARAM): long
// on 32-bit Windows, a pointer-sized integer everywhere else.
#if defined(_WIN32) && !defined(_WIN64)
typedef long OrbLParam;
#else
typedef intptr_t OrbLParam;
#endif

#ifdef __cplusplus
#define ORBCMN_C extern "C" ORBCMN_API
#else
#define ORBCMN_C ORBCMN_API
#endif

// Every exported class takes its memory from the library's host allocator
// (tag "newop"), whichever module runs `new` or `delete` on it. The
// operators return null instead of throwing; a null result skips the
// constructor. Defined in the class's .cpp file with ORBCMN_DEFINE_ALLOC.
#define ORBCMN_DECLARE_ALLOC                              \
  static void* operator new(std::size_t size) noexcept;   \
  static void* operator new[](std::size_t size) noexcept; \
  static void operator delete(void* block) noexcept;      \
  static void operator delete[](void* block) noexcept;

#endif  // ORBCMN_EXPORT_H_
