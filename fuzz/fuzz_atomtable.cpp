// ZAtomTable::Load on hostile bytes: no crash, leak or sanitizer report, and
// whatever loads saves to bytes that load back and save the same.
#include "fuzz_table.h"
#include "orbcmn/zatomtable.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // As a tool does before loading.
  ZMetaClass::Attach();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  FuzzTableRoundTrip<ZAtomTable>(data, size);
  return 0;
}
