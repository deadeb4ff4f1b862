// Tool calls into the client with the library's tool-call context.
#ifndef ORBCMN_HOST_TOOLCALL_H_
#define ORBCMN_HOST_TOOLCALL_H_

#include <stdint.h>

#include <initializer_list>

#include "orbcmn/export.h"

// Calls `tool` with `selector` and the given arguments (in order), passing
// 1 and the address of the tool-call context as the client expects. At
// most five arguments (the most any call takes); more make no call and give 0.
intptr_t OrbToolCall(int tool, int selector, std::initializer_list<intptr_t> args = {});

// The tool-call context: two pointer-sized words, zero at load and never
// written by the library; the client fills the second with the address of
// its host record. Its address goes with every tool call. Exported for the
// library's tests, which play the client.
ORBCMN_C intptr_t* OrbToolContext(void);

#endif  // ORBCMN_HOST_TOOLCALL_H_
