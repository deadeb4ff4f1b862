// ORBADA32, the atom assembler plug-in: a module loaded beside the library
// that rewrites atom streams into their canonical form and converts single
// argument values between their encoded bytes and text.
//
// Atom streams. An atom is its protocol (one byte 000ppppp for protocols 0
// to 31, or the two bytes 111pp000 000ppppp for any protocol 0 to 127), its
// atom number (one byte), a length field (one byte 0lllllll for 0 to 127,
// or the two bytes 1lllllll llllllll for 0 to 32,767) and that many data
// bytes. The canonical form writes every protocol and every length field in
// its shortest form and keeps atom numbers, data and the order of atoms as
// they are; data is opaque and never looked into. A stream that is not a
// whole number of such atoms is not rewritten.
//
// Conversion kinds (text is single-byte, zero-terminated; blanks and tabs
// around it are ignored when assembling):
//   1  hexadecimal bytes: "0A FF 12" <-> 0A FF 12. Assembling takes groups
//      of hexadecimal digits (either case) separated by blanks or tabs,
//      each group an even number of digits read as bytes in order ("0AFF"
//      is 0A FF); an empty text is no bytes. Disassembling writes each byte
//      as two upper-case digits, separated by one blank.
//   2  unsigned number: decimal text <-> four bytes, most significant first.
//      Assembling takes 0 to 4294967295, or -2147483648 to -1 as its
//      two's complement (so any 32-bit value printed signed comes back).
//      Disassembling reads 1 to 4 bytes, most significant first (more
//      bytes only when all but the last four are zero), and writes the
//      value unsigned in decimal.
//   5  signed number: decimal text <-> four bytes of two's complement,
//      most significant first. Assembling takes -2147483648 to 2147483647.
//      Disassembling reads 1 to 4 bytes sign-extended (so a value cut to
//      its last one or two bytes by a fixed argument size comes back when
//      it fits them), or more bytes when all but the last four are padding
//      (all 00 or all FF), and writes the value in decimal with a leading
//      '-' when negative.
// Every conversion round-trips: disassembling what assembling wrote gives
// back the text in its written form ("+007" comes back as "7").
//
// Areas. Each entry writes only inside the area it is given, within the
// size it is told, and reads only the bytes or text it is given. When an
// area is too small nothing is written to it, the size is set to the size
// needed and the result is ADA_AREA_TOO_SMALL.
#ifndef ORBADA32_ORBADA32_H_
#define ORBADA32_ORBADA32_H_

#include <stdint.h>

#include "orbcmn/plugin.h"

#if defined(_WIN32)
#define ADA_EXPORT extern "C" __declspec(dllexport)
#else
#define ADA_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Normalises the `count` bytes at `bytes` into the area `out` of `*size`
// bytes. ADA_OK: the canonical stream is the first `*size` bytes of `out`.
// ADA_NOT_ATOM_STREAM: the bytes are no atom stream and were copied as they
// are; `*size` is `count`. ADA_AREA_TOO_SMALL: `*size` now holds the size
// needed. ADA_BAD_ARGUMENT (null `size`, negative `count`, null `bytes`
// with a positive count): `*size` is set to 0 when `size` is not null. A
// null `out` is an area of size 0. The canonical stream is never longer
// than the input.
ADA_EXPORT int32_t AdaNormalizeAtomStream(const unsigned char* bytes, int32_t count,
                                          unsigned char* out, int32_t* size);

// Converts the `count` encoded bytes at `bytes` into the text of
// conversion `kind` in the area `text` of `*size` bytes; `zero` is
// reserved (0). ADA_OK: `text` holds the text ended by a zero byte and
// `*size` its length without the zero byte. Otherwise the text area is not
// written; see AdaResult.
ADA_EXPORT int32_t AdaDisassembleArgument(int32_t kind, const unsigned char* bytes, int32_t count,
                                          int32_t zero, char* text, int32_t* size);

// Converts the zero-terminated `text` into the encoded bytes of conversion
// `kind` in the area `area` of `*size` bytes; `zero` is reserved (0).
// ADA_OK: `*size` holds the number of bytes written. Otherwise the area is
// not written; see AdaResult.
ADA_EXPORT int32_t AdaAssembleArgument(int32_t kind, const char* text, int32_t zero,
                                       unsigned char* area, int32_t* size);

#endif  // ORBADA32_ORBADA32_H_
