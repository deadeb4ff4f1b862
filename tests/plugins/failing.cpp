// A plug-in whose every entry answers 9. The normaliser first insists on an
// area of at least 8,192 bytes (result 4), then fills the area (the stream,
// then zeros) and reports a size the area cannot hold: -1 for an empty
// stream, else twice the area. The one-byte stream EE it answers with 4 and
// the size it was given, however large. The converters write nothing.
#include <string.h>

#include "plugins/plugin_export.h"

ORB_TEST_EXPORT int32_t AdaNormalizeAtomStream(const unsigned char* bytes, int32_t count,
                                               unsigned char* out, int32_t* size) {
  int32_t wanted = count > 8192 ? count : 8192;
  if (*size < wanted || (count == 1 && bytes[0] == 0xEE)) {
    if (*size < wanted) *size = wanted;
    return 4;
  }
  memset(out, 0, static_cast<size_t>(*size));
  if (count > 0) memcpy(out, bytes, static_cast<size_t>(count));
  *size = count == 0 ? -1 : 2 * *size;
  return 9;
}

ORB_TEST_EXPORT int32_t AdaAssembleArgument(int32_t, const char*, int32_t, unsigned char*,
                                            int32_t*) {
  return 9;
}

ORB_TEST_EXPORT int32_t AdaDisassembleArgument(int32_t, const unsigned char*, int32_t, int32_t,
                                               char*, int32_t*) {
  return 9;
}
