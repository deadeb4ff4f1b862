#include "host/toolcall.h"
#include "hostkit/hostkit.h"

intptr_t OrbToolCall(int tool, int selector, std::initializer_list<intptr_t> args) {
  return HostKit_ToolCall(1, tool, selector, OrbToolContext(), static_cast<int>(args.size()),
                          args.size() ? args.begin() : nullptr);
}
