// The entries of the optional atom assembler plug-in ORBADA32, as the
// library calls them. Sizes are 32-bit values passed by address.
#ifndef ORBCMN_PLUGIN_H_
#define ORBCMN_PLUGIN_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Results of the entries. The library relies on ADA_OK from the
// converters and on ADA_AREA_TOO_SMALL from the normaliser; it passes any
// other converter result on as the conversion's failure.
enum AdaResult {
  ADA_OK = 0,
  ADA_BAD_ARGUMENT = 1,     // a null pointer or negative count where one is needed
  ADA_UNKNOWN_KIND = 2,     // a conversion kind the plug-in does not know
  ADA_AREA_TOO_SMALL = 4,   // nothing written; the size holds the size needed
  ADA_BAD_TEXT = 5,         // the text is not in the form of the kind
  ADA_OUT_OF_RANGE = 6,     // the value does not fit the kind
  ADA_BAD_BYTES = 7,        // the byte count is not one the kind reads
  ADA_NOT_ATOM_STREAM = 8,  // the stream could not be parsed: copied unchanged
};

// Conversion kinds the library passes to the converters.
enum AdaKind {
  ADA_KIND_HEX_BYTES = 1,  // ZActionArgument::AdaKind1
  ADA_KIND_UNSIGNED = 2,   // ZActionArgument::Number
  ADA_KIND_SIGNED = 5,     // ZActionArgument::AdaKind5
};

// The areas the library offers the converters: text of at most 63
// characters and a zero byte; encoded values of at most 16 bytes.
#define ADA_TEXT_AREA 64
#define ADA_BYTE_AREA 16

// Normalises `count` bytes of an atom stream into `out`, whose size is
// `*size`. ADA_AREA_TOO_SMALL: the area is too small and `*size` holds the size
// needed. Any other result: the normalised bytes are the first `*size`
// bytes of `out`.
typedef int32_t (*AdaNormalizeAtomStreamFn)(const unsigned char* bytes, int32_t count,
                                            unsigned char* out, int32_t* size);
// Turns `count` encoded bytes into text of conversion `kind` in the
// ADA_TEXT_AREA-byte area `text` (`*size` holds its size). ADA_OK: the
// text is zero-terminated.
typedef int32_t (*AdaDisassembleArgumentFn)(int32_t kind, const unsigned char* bytes, int32_t count,
                                            int32_t zero, char* text, int32_t* size);
// Turns the zero-terminated `text` into the encoded bytes of conversion
// `kind` in the ADA_BYTE_AREA-byte `area` (`*size` holds its size).
// ADA_OK: `*size` holds the number of bytes written.
typedef int32_t (*AdaAssembleArgumentFn)(int32_t kind, const char* text, int32_t zero,
                                         unsigned char* area, int32_t* size);

#ifdef __cplusplus
}
#endif

#endif  // ORBCMN_PLUGIN_H_
