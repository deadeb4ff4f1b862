// The fixed atoms of an action's byte sequence, in one table that
// recognition and generation share.
#ifndef ORBCMN_ACTIONS_SEQUENCES_H_
#define ORBCMN_ACTIONS_SEQUENCES_H_

#include "orbcmn/zbuffer.h"

namespace orb {

enum ActionSequenceId {
  kStartPlain,        // 00 01 00: written without OptionWaitOn
  kStartPlainLong,    // 00 01 01 00: recognised only
  kStartWaitOn,       // 00 11 01 00: written with OptionWaitOn
  kStartWaitOnShort,  // 00 11 00: recognised only
  kMarker22,          // 0E 22 00: OptionMarker22
  kMarker21,          // 0E 21 00: OptionMarker21
  kEndMark,           // 00 02 00: written last, not looked for
  kActionSequenceCount
};

struct ActionSequence {
  unsigned char length;
  unsigned char bytes[4];
};

extern const ActionSequence kActionSequences[kActionSequenceCount];

// Appends the sequence to out.
void AppendSequence(ZBuffer& out, ActionSequenceId id);
// When buffer begins with the sequence, removes it and returns true.
bool TakeSequence(ZBuffer& buffer, ActionSequenceId id);

// Byte helpers over ZBuffer's 1-based interface.
// True when buffer begins with the n bytes at p (n may be 0).
bool StartsWith(const ZBuffer& buffer, const unsigned char* p, unsigned int n);
// Removes the first n bytes (all when fewer); nothing for n 0.
void DropFront(ZBuffer& buffer, unsigned int n);

}  // namespace orb

#endif  // ORBCMN_ACTIONS_SEQUENCES_H_
