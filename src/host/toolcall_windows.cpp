// Tool calls on Windows: the client's entry takes the values after the
// count, one argument each.
#include "host/toolcall.h"
#include "hostkit/hostkit.h"

intptr_t OrbToolCall(int tool, int selector, std::initializer_list<intptr_t> args) {
  const intptr_t* a = args.begin();
  void* context = OrbToolContext();
  switch (args.size()) {
    case 0:
      return HostKit_ToolCall(1, tool, selector, context, 0);
    case 1:
      return HostKit_ToolCall(1, tool, selector, context, 1, a[0]);
    case 2:
      return HostKit_ToolCall(1, tool, selector, context, 2, a[0], a[1]);
    case 3:
      return HostKit_ToolCall(1, tool, selector, context, 3, a[0], a[1], a[2]);
    case 4:
      return HostKit_ToolCall(1, tool, selector, context, 4, a[0], a[1], a[2], a[3]);
    case 5:
      return HostKit_ToolCall(1, tool, selector, context, 5, a[0], a[1], a[2], a[3], a[4]);
    default:
      return 0;
  }
}
