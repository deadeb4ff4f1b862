// A plug-in with the normaliser only. The normaliser copies the stream as
// it is.
#include <string.h>

#include "plugins/plugin_export.h"

ORB_TEST_EXPORT int32_t AdaNormalizeAtomStream(const unsigned char* bytes, int32_t count,
                                               unsigned char* out, int32_t* size) {
  if (count > *size) {
    *size = count;
    return 4;
  }
  if (count > 0) memcpy(out, bytes, static_cast<size_t>(count));
  *size = count;
  return 0;
}
