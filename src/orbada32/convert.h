// Text forms of the conversion kinds (described in orbada32.h).
#ifndef ORBADA32_CONVERT_H_
#define ORBADA32_CONVERT_H_

#include <stddef.h>
#include <stdint.h>

namespace ada {

// Encodes `text` by `kind` into `out`, which holds `room` bytes; `*length`
// receives the bytes written, or with ADA_AREA_TOO_SMALL the bytes needed.
int32_t Assemble(int32_t kind, const char* text, unsigned char* out, size_t room, size_t* length);

// Decodes the `n` bytes at `bytes` by `kind` into `text`, which holds
// `room` bytes; `*length` receives the characters written without the
// ending zero, or with ADA_AREA_TOO_SMALL the room needed with it.
int32_t Disassemble(int32_t kind, const unsigned char* bytes, size_t n, char* text, size_t room,
                    size_t* length);

}  // namespace ada

#endif  // ORBADA32_CONVERT_H_
