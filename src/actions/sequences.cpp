// The fixed atoms of action byte sequences and the byte helpers that read
// and write them.
#include "actions/sequences.h"

#include <cstring>

namespace orb {

const ActionSequence kActionSequences[kActionSequenceCount] = {
    {3, {0x00, 0x01, 0x00}}, {4, {0x00, 0x01, 0x01, 0x00}}, {4, {0x00, 0x11, 0x01, 0x00}},
    {3, {0x00, 0x11, 0x00}}, {3, {0x0E, 0x22, 0x00}},       {3, {0x0E, 0x21, 0x00}},
    {3, {0x00, 0x02, 0x00}},
};

void AppendSequence(ZBuffer& out, ActionSequenceId id) {
  const ActionSequence& seq = kActionSequences[id];
  out.Append(reinterpret_cast<const char*>(seq.bytes), seq.length);
}

bool TakeSequence(ZBuffer& buffer, ActionSequenceId id) {
  const ActionSequence& seq = kActionSequences[id];
  if (!StartsWith(buffer, seq.bytes, seq.length)) return false;
  DropFront(buffer, seq.length);
  return true;
}

bool StartsWith(const ZBuffer& buffer, const unsigned char* p, unsigned int n) {
  if (n == 0) return true;
  if (buffer.GetLength() < n) return false;
  return std::memcmp(buffer.GetBytePtr(), p, n) == 0;
}

void DropFront(ZBuffer& buffer, unsigned int n) {
  if (n == 0 || buffer.IsEmpty()) return;
  // Remove with a count running past the end removes to the end.
  buffer.Remove(1, n);
}

}  // namespace orb
