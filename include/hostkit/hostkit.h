// Host services library: the client's tagged allocator, tool calls, directory
// checks and local database, with the hooks through which an embedding
// application (or a test) plays the client.
#ifndef HOSTKIT_HOSTKIT_H_
#define HOSTKIT_HOSTKIT_H_

#include <stdint.h>

#if defined(_WIN32) && defined(HOSTKIT_BUILDING)
#define HOSTKIT_API
#elif defined(_WIN32)
#define HOSTKIT_API __declspec(dllimport)
#else
#define HOSTKIT_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Allocates `size` bytes under `tag`; flags 1 zero-fills. Null on failure.
HOSTKIT_API void* HostKit_Alloc(const char* tag, unsigned size, unsigned flags);
// Resizes `block` to `size` bytes keeping its contents (flags 1 zero-fills
// the added bytes); a null block allocates. Null on failure, the old block
// then stays valid. A block the allocator does not know is reported on
// stderr and null is returned (best effort, as for HostKit_Free).
HOSTKIT_API void* HostKit_Realloc(const char* tag, void* block, unsigned size, unsigned flags);
// Frees `block`. Null does nothing. A block freed twice or never allocated
// here is reported on stderr and left alone.
//
// The reports are best effort. Every block carries a sealed 16-byte header
// in front of it, and a release checks that seal, so that it touches no
// memory but the block's own. A pointer that is not 8-aligned or lies in
// the first 64 KiB is always reported; any other is judged by the 16 bytes
// in front of it, which must be readable (true of heap and stack memory;
// under AddressSanitizer, poisoned bytes, as in front of a stack variable
// or in a freed block, count as foreign). A block freed twice is reported
// as long as its memory has not been handed out again by a later
// allocation; once it has, the second release frees the new block.
HOSTKIT_API void HostKit_Free(const char* tag, void* block);

// Calls client tool `tool` with `selector` and `argc` values; the handler
// gets them as an array. Without a handler the result is 0. On Windows the
// values follow `argc` as the client's own HOSTKIT.DLL takes them: one
// 32-bit value each on 32-bit Windows, one pointer-sized value each on
// 64-bit Windows. Elsewhere `argv` holds them.
#if defined(_WIN32)
HOSTKIT_API intptr_t HostKit_ToolCall(int one, int tool, int selector, void* context, int argc,
                                      ...);
#else
HOSTKIT_API intptr_t HostKit_ToolCall(int one, int tool, int selector, void* context, int argc,
                                      const intptr_t* argv);
#endif
// Directory check: non-zero when `path` may go on to HostKit_MakePath.
// Default: every path without a space.
HOSTKIT_API int HostKit_CheckPath(const char* path);
// Makes the directory `path` with its parents; non-zero when it exists after.
HOSTKIT_API int HostKit_MakePath(const char* path);
// Local database: non-zero when record `id` exists. Default: no record.
HOSTKIT_API int IDB_Exists(int one, unsigned long id);
// Download on demand of record `id`. Default: 0.
HOSTKIT_API int IDB_DodRequest(unsigned long id, int zero);

typedef intptr_t (*HostKitToolHandler)(void* user, int tool, int selector, void* context, int argc,
                                       const intptr_t* argv);
typedef int (*HostKitPathHandler)(void* user, const char* path);
typedef int (*HostKitExistsHandler)(void* user, int one, unsigned long id);
typedef int (*HostKitDodHandler)(void* user, unsigned long id, int zero);

// Hooks; a null handler restores the default behaviour.
HOSTKIT_API void HostKit_SetToolHandler(HostKitToolHandler handler, void* user);
HOSTKIT_API void HostKit_SetPathHandlers(HostKitPathHandler check, HostKitPathHandler make,
                                         void* user);
HOSTKIT_API void HostKit_SetDatabaseHandlers(HostKitExistsHandler exists,
                                             HostKitDodHandler dodRequest, void* user);

// Number of blocks allocated under `tag` and not yet freed; null: all tags.
HOSTKIT_API long HostKit_LiveBlocks(const char* tag);
// Size in bytes of a live block; 0 for a block the allocator does not hold
// (judged as HostKit_Free judges it).
HOSTKIT_API unsigned HostKit_BlockSize(const void* block);
// Number of bad frees and reallocs (double or foreign blocks) seen so far.
HOSTKIT_API long HostKit_BadReleases(void);

// Observer of allocator requests, for tests: `entry` is 106 (alloc), 107
// (realloc) or 108 (free); `block` is the result (106, 107) or the block
// freed (108); `size` is the size asked for (0 for 108). Every call is
// seen, a free of null included; frees of unknown blocks are not. The
// observer runs while the allocator holds its lock, so it must not call
// back into this library.
typedef void (*HostKitAllocObserver)(void* user, int entry, const char* tag, void* block,
                                     unsigned size);
HOSTKIT_API void HostKit_SetAllocObserver(HostKitAllocObserver observer, void* user);

// Decides, for tests, whether an allocate (entry 106) or reallocate (107)
// request fails. serial counts the 106/107 requests seen since the handler
// was set, from 1. Non-zero: the request fails (null result; a realloc's old
// block stays valid). A realloc of null is a 107 request; one of a block the
// allocator does not know fails without asking. The handler runs while the
// allocator holds its lock, so it must not call back into this library.
typedef int (*HostKitFailHandler)(void* user, int entry, const char* tag, unsigned size,
                                  unsigned long serial);
HOSTKIT_API void HostKit_SetFailHandler(HostKitFailHandler handler,
                                        void* user);  // null: never fail

#ifdef __cplusplus
}
#endif

#endif  // HOSTKIT_HOSTKIT_H_
