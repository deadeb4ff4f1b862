// The bridge to the running client: walking its object tree and selection,
// adding objects, names and paths, download on demand, form calls,
// uploads, file choice, waiting for a state change, button state, and
// whole files in and out of memory.
// docs/formats.md describes the bytes of the upload messages.
//
// Every client request is a tool call with the library's tool-call context
// (HostKit_ToolCall); objects, the root, handles, selection lists and
// callback data are the client's values, carried as intptr_t, 0 meaning
// none. Objects are 32-bit values of the client and are compared by their
// low 32 bits; type codes and child counts are 16-bit, compared by their
// low 16 bits. Everything runs on the calling thread; callbacks run inside
// the walk.
#ifndef ORBCMN_ORBHOST_H_
#define ORBCMN_ORBHOST_H_

#include <stdint.h>

#include "orbcmn/export.h"

// A walk's callback: (object, caller data), returning non-zero to stop
// where the walking function says it looks at the result. A null callback
// visits without stopping.
typedef int (*OrbMuiCallback)(intptr_t object, intptr_t data);

// ---- Object tree ----

// 1 when the object-tree service is up (tool 13/14) and a root object
// exists, else 0.
ORBCMN_C int OrbMUI_Initialized(void);
// Depth first, each object before its children, children in index order,
// 0 children passed over. Returns 1 as soon as the callback returns
// non-zero (nothing more is visited), 1 for object 0 (no callback), else 0.
ORBCMN_C int OrbMUI_WalkTree(intptr_t object, OrbMuiCallback callback, intptr_t data);
// As OrbMUI_WalkTree with children from the last index down to the first.
// A non-zero callback result only skips that object's own children; the
// walk goes on with the remaining siblings. Returns 1 when the object is 0
// or the callback returned non-zero for the starting object, else 0.
ORBCMN_C int OrbMUI_WalkTreeBackwards(intptr_t object, OrbMuiCallback callback, intptr_t data);
// Calls the callback (result ignored) for the object and every descendant
// whose type code is `type`, parents first, children in index order.
// 0 for object 0, else 1.
ORBCMN_C int OrbMUI_WalkType(intptr_t object, int type, OrbMuiCallback callback, intptr_t data);
// Adds to *counter the number of objects of type `type` in the subtree of
// `object` (the caller sets it to 0 first) and returns its value. Object 0
// adds nothing; a null counter counts nothing and gives 0.
ORBCMN_C int OrbMUI_CountType(intptr_t object, int type, int* counter);
// Calls the callback (result ignored) for each entry of the selection of
// `object` whose type is `type`, in list order, and releases the list. 1
// when at least one entry matched, else 0.
ORBCMN_C int OrbMUI_WalkSelectedType(intptr_t object, int type, OrbMuiCallback callback,
                                     intptr_t data);
// The number of entries of the selection of `object` whose type is `type`;
// the list is released.
ORBCMN_C int OrbMUI_CountSelectedType(intptr_t object, int type);
// The object itself when it can hold other objects, else its parent.
ORBCMN_C intptr_t OrbHost_GetSink(intptr_t object);
// The selected object of `object`, or `fallback` when there is none; object
// 0 gives the fallback without asking the client.
ORBCMN_C intptr_t OrbHost_GetSelection(intptr_t object, intptr_t fallback);
// Adds `newObject` to `target` (as a holder when the target can hold
// objects, else next to it) and returns the client's result.
ORBCMN_C intptr_t OrbHostMui_AddObject(intptr_t target, intptr_t newObject);
// Prefixes `path` with the names from the top of the tree down to `object`,
// separated by "\", without the root's own name ("Page\Button"), and
// returns the new block; `path` (a host block, may be null) is freed when
// replaced. The object being the root returns `path` unchanged. A name
// whose block cannot be allocated is left out: the path stays as it was at
// that step and the walk goes on. The walk also stops at an object without
// parent. The caller frees the result with HostKit_Free.
ORBCMN_C char* OrbMUI_GetFullPath(intptr_t object, char* path);
// Writes into `out` a name no child of `parent` has: `base` itself when it
// is free, else base followed by 1, 2, ... (the first one free). `out` must
// hold the base name and five digits. Should every candidate up to 65535 be
// taken, `out` holds base followed by 0. Returns `out`.
ORBCMN_C char* OrbMUI_GetUniqueName(intptr_t parent, const char* base, char* out);

// ---- Transfers ----

// Non-zero when the local database holds record `id` (that answer is
// returned), else the result of a download-on-demand request for it.
ORBCMN_C int OrbHost_DODRequest(unsigned long id);
// With a non-zero flag: tool call 0/0, then a message "f1" carrying `value`
// as a 4-byte item. With flag 0 nothing happens.
ORBCMN_C void OrbHost_CallForm2(long value, int flag);
// Uploads: a "Bf" message with the 12-byte header (a2 most significant
// byte first, a3 and a4 least significant byte first), then one record per
// text (2-byte length most significant byte first, the text, two zero
// bytes) for t5, t6, t7, t8, t1, t9, t10, t11, t12 in that order, each cut
// into "Bg" messages of at most 100 bytes, then an empty "Bh" message. A
// non-zero `flag` first makes tool call 7/3. Null texts go as empty ones;
// a text longer than 65535 bytes is cut to 65535. 1 when sent, 0 when the
// work buffer could not be allocated (nothing is sent then).
ORBCMN_C int OrbUtil_UploadFile(const char* t1, long a2, long a3, long a4, const char* t5,
                                const char* t6, const char* t7, const char* t8, const char* t9,
                                const char* t10, const char* t11, const char* t12, int flag);
// Asks the client to let the user choose a file (`value` is passed on to
// it). 1 with the chosen path copied into `out`, 0 with `out` empty when
// nothing was chosen; a chosen null path gives 1 and an empty `out`. `out`
// must be large enough for the path; a null `out` gives 0 and asks nothing.
ORBCMN_C int OrbHost_GetFile(char* out, long value);
// A host block (count + 1 bytes, the last one 0) holding the first `count`
// bytes of the file `path`; null when count is 0 or not positive, the file
// cannot be opened, the block cannot be allocated or the file is shorter
// than count. The caller frees it with HostKit_Free.
ORBCMN_C void* OrbHost_ReadDataFromFile(const char* path, long count);
// Makes the file `path` hold the `count` bytes of `data` and returns count.
// The bytes go to a new file beside it, are synced to the disk and then
// renamed over it, so a save that fails leaves the old file byte for byte
// as it was: 0 when the new file cannot be made (no such directory, a
// path of 260 characters or more), -1 when writing, syncing or renaming
// failed or count is negative.
ORBCMN_C long OrbHost_WriteDataToFile(const char* path, const void* data, long count);
// Polls the client (tool 1/267 with 32) until its answer differs in its low
// 32 bits from `current`, handling one waiting window message of the
// thread between polls, and returns that answer; 0 when `timeout`
// milliseconds (a 32-bit number, 0: no limit) pass first. It does not
// sleep.
ORBCMN_C intptr_t OrbHost_WaitForWndNotSame(unsigned long timeout, intptr_t current);
// 1 when the client's button object is checked, else 0 (also for object
// 0). The client's record (from tool 3/5) starts with a pointer to the
// state byte; its 32-bit word at byte offset 32 is cleared after reading.
ORBCMN_C int OrbObj_IsBtnChecked(intptr_t object);

#endif  // ORBCMN_ORBHOST_H_
