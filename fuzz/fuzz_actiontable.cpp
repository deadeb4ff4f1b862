// ZActionTable::Load on hostile bytes: no crash, leak or sanitizer report,
// and whatever loads saves to bytes that load back and save the same. A
// loaded table may hold what the building operations never make (any
// fragment and argument type, sizes up to 65,535, any shift, variants
// above 3, slots naming missing arguments), so it is also put to work:
// recognising the input's own bytes and generating every action.
#include "fuzz_support.h"
#include "fuzz_table.h"
#include "orbcmn/zactiontable.h"

namespace {

void Use(ZActionTable* table, const uint8_t* data, size_t size) {
  unsigned int options = 0;
  ZVectorString args;
  std::unique_ptr<unsigned char[]> bytes(new unsigned char[size == 0 ? 1 : size]);
  memcpy(bytes.get(), data, size);
  ZActionDescription* found = table->Recognize(bytes.get(), static_cast<int>(size), &options, args);
  if (found != nullptr) FUZZ_CHECK(args.size() == found->GetNumArgs());

  static const char* const kTexts[] = {"40", "AB", "0A FF 12", "-5", " x "};
  ZVectorString texts;
  for (const char* t : kTexts) texts.push_back(ZString(t));
  const ZListActionDescriptionP& all = table->GetDescriptions();
  for (ZListActionDescriptionP::ZIterator it = all.begin(); it != all.end(); ++it) {
    for (unsigned int o = 0; o < 4; o++) {
      ZBuffer out;
      (*it)->Generate(o | OptionWaitOn, texts, out);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // As a tool does before loading; recognition needs the plug-in.
  ZMetaClass::Attach();
  FuzzPlugin();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  FuzzTableRoundTrip<ZActionTable>(data, size, Use);
  return 0;
}
