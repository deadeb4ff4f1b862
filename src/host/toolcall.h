// Tool calls into the client with the library's tool-call context.
#ifndef ORBCMN_HOST_TOOLCALL_H_
#define ORBCMN_HOST_TOOLCALL_H_

#include <stdint.h>

#include <initializer_list>

// Calls `tool` with `selector` and the given arguments (in order), passing
// 1 and the address of the tool-call context as the client expects. At
// most five arguments (the most any call takes); more make no call and give 0.
intptr_t OrbToolCall(int tool, int selector, std::initializer_list<intptr_t> args = {});

#endif  // ORBCMN_HOST_TOOLCALL_H_
