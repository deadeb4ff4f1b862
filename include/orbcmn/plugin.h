// The entries of the optional atom assembler plug-in ORBADA32, as the
// library calls them. Sizes are 32-bit values passed by address.
#ifndef ORBCMN_PLUGIN_H_
#define ORBCMN_PLUGIN_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Normalises `count` bytes of an atom stream into `out`, whose size is
// `*size`. Result 4: the area is too small and `*size` holds the size
// needed. Any other result: the normalised bytes are the first `*size`
// bytes of `out`.
typedef int32_t (*AdaNormalizeAtomStreamFn)(const unsigned char* bytes, int32_t count,
                                            unsigned char* out, int32_t* size);
// Turns `count` encoded bytes into text of conversion `kind` in the 64-byte
// area `text` (`*size` holds 64). Result 0: the text is zero-terminated.
typedef int32_t (*AdaDisassembleArgumentFn)(int32_t kind, const unsigned char* bytes, int32_t count,
                                            int32_t zero, char* text, int32_t* size);
// Turns the zero-terminated `text` into the encoded bytes of conversion
// `kind` in the 16-byte `area` (`*size` holds 16). Result 0: `*size` holds
// the number of bytes written.
typedef int32_t (*AdaAssembleArgumentFn)(int32_t kind, const char* text, int32_t zero,
                                         unsigned char* area, int32_t* size);

#ifdef __cplusplus
}
#endif

#endif  // ORBCMN_PLUGIN_H_
