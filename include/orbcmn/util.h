// Utility functions on NUL-terminated single-byte strings, on blocks of the
// host allocator, and on long strings in profile (INI) files.
// docs/formats.md describes how a long string is kept in a profile file.
//
// Blocks returned here belong to the caller, who releases them with
// HostKit_Free (any tag) or Util_ReplaceMem.
#ifndef ORBCMN_UTIL_H_
#define ORBCMN_UTIL_H_

#include "orbcmn/export.h"

// 1 when every character of `text` is a digit (alphanumeric and not a
// letter); 1 for null or an empty string; 0 at the first other character.
ORBCMN_C int AllDigits(const char* text);

// Removes trailing spaces (0x20 only; tabs and line ends stay) in place and
// returns `text`. A string of spaces becomes empty; null is returned as
// null. The length is a 16-bit count: the function serves strings shorter
// than 65536 characters (longer ones are trimmed from their length modulo
// 65536).
ORBCMN_C char* lstrrtrim(char* text);
// Removes leading spaces (0x20 only) in place by moving the rest of the
// string, terminator included, to the start; returns `text` (null: null).
ORBCMN_C char* lstrltrim(char* text);
// lstrltrim, then lstrrtrim.
ORBCMN_C char* lstrtrim(char* text);

// Decimal text of the 32-bit value of `value`, with a leading "-" when
// negative, in one static 16-byte buffer of the library: each call
// overwrites the text of the previous one.
ORBCMN_C char* fltoa(long value);

// Frees `old` when not null (tag "06109D"); then returns a new block
// (tag "ORB000") holding a copy of `text` with its terminator, or null when
// `text` is null or empty or the allocation fails. Usual call:
// p = UtilAllocAndCopyString(newText, p); p = UtilAllocAndCopyString(p, p)
// makes a fresh copy of p and frees the old block after copying (a text
// lying elsewhere inside `old` is not allowed). The length is a 16-bit count:
// of a text of 65536 characters or more only the first (length modulo
// 65536) characters are copied.
ORBCMN_C char* UtilAllocAndCopyString(const char* text, void* old);
// Frees `old` when not null (tag "06109E"); then returns a new block
// (tag "ORB000") holding a copy of the `size` bytes at `source`, or null
// when `source` is null or the allocation fails. As above, `source` may be
// `old` itself (it is then freed after copying) but not lie elsewhere in it.
ORBCMN_C void* UtilAllocAndCopyMem(const void* source, unsigned long size, void* old);
// Stores `block` in `*slot`, first freeing the block held there (tag
// "06109F") when it is not null and not `block` itself. A null slot does
// nothing.
ORBCMN_C void Util_ReplaceMem(void** slot, void* block);

// Appends `source` converted to Windows line ends: every 0x7F byte, and
// every line feed not preceded by a carriage return, becomes CR LF. With a
// null `destination` a new zero-filled block is made (tag "mip034");
// otherwise `destination` is grown (tag "mip033") and the text goes after
// its own. Returns the new or grown block, or null when the allocation
// fails (then nothing is written and `destination` stays valid). A null
// source counts as empty; the source must not lie in `destination`, which
// may move. The source length is a 16-bit count: of a source
// of 65536 characters or more only the first (length modulo 65536) bytes
// are taken.
ORBCMN_C char* OrbHost_Replace7FsAndCopyStr(char* destination, const char* source);

// Reads a string of any length stored by WritePrivateProfileLongString.
// Sets `*block` to null (an earlier block there is not freed), reads the
// length key as a number (default 0) and, when it is not 0, allocates
// length + 1 bytes (tag "ORB003") into `*block` and reads the value key
// into it with an empty default. Returns the characters read; 0 when the
// length key is missing or 0 or the allocation fails (then `*block` stays
// null); a length above 0x7FFFFFFF (a negative number in the file) fails as
// an allocation would. When a block was allocated it belongs to the caller even if 0 is
// returned. A null `block` returns 0.
ORBCMN_C int GetPrivateProfileLongString(const char* file, const char* section,
                                         const char* lengthKey, const char* valueKey, char** block);
// Stores `text` under two keys of `section`: `lengthKey` gets its length in
// decimal, then, only when that succeeded, `valueKey` gets the text. A null
// text counts as empty. Non-zero when both keys were written. When the
// value cannot be written the length key gets its old value back (or is
// removed when it was missing), so the two keys change together; 0 then.
// Profile reads drop blanks around a value and a pair of enclosing quotes,
// so such a text does not read back unchanged.
ORBCMN_C int WritePrivateProfileLongString(const char* file, const char* section,
                                           const char* lengthKey, const char* valueKey,
                                           const char* text);

#endif  // ORBCMN_UTIL_H_
