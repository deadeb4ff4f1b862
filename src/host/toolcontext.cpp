// The tool-call context: the library's own record, so that the library
// runs against any host services library, the client's included.
#include "host/toolcall.h"

namespace {
intptr_t g_context[2] = {0, 0};
}  // namespace

intptr_t* OrbToolContext(void) { return g_context; }
