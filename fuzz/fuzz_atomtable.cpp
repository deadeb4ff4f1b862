// ZAtomTable::Load on hostile bytes: no crash, leak or sanitizer report,
// and whatever loads saves to bytes that load back and save the same. A
// loaded table may hold enumerations of any size and operation, so every
// atom is then looked up by name and numbers and every enumeration turns
// values into text and the text back.
#include "fuzz_support.h"
#include "fuzz_table.h"
#include "orbcmn/zatomtable.h"

namespace {

void UseEnum(const ZEnum* e, const uint8_t* data, size_t size) {
  uint32_t probes[] = {0, 1, 0x80000000u, 0xFFFFFFFFu, 0x12345678u, 0};
  if (size >= 4) memcpy(&probes[5], data + size - 4, 4);
  for (uint32_t v : probes) {
    ZString text = e->Lookup(static_cast<unsigned long>(v));
    bool ok = false;
    unsigned long back = e->Lookup(text, &ok);
    FUZZ_CHECK(back <= 0xFFFFFFFFul);
    if (!ok) FUZZ_CHECK(back == 0);
  }
}

void Use(ZAtomTable* table, const uint8_t* data, size_t size) {
  for (ZClass* c = table->GetFirstClass(); c != nullptr; c = c->Next()) {
    for (ZProtocol* p = c->GetFirstProtocol(); p != nullptr; p = p->Next()) {
      for (ZAtom* a = p->GetFirstAtom(); a != nullptr; a = a->Next()) {
        // Numbers may repeat in a file: lookups find the first holder.
        const ZAtom* byNumbers = table->GetAtom(c->GetClass(), p->GetProtocol(), a->GetAtom());
        FUZZ_CHECK(byNumbers == nullptr || byNumbers->GetAtom() == a->GetAtom());
        const ZAtom* byName = table->GetAtom(a->GetName());
        FUZZ_CHECK(byName != nullptr && byName->GetName() == a->GetName());
        for (int i = 0; i <= a->GetNumArgRecords() + 1; i++) a->GetType(i);
        for (const ZEnum* e = a->GetEnum(0); e != nullptr; e = e->Next()) UseEnum(e, data, size);
        for (int i = 1; i <= a->GetNumArgRecords(); i++) {
          if (a->GetEnum(i) != nullptr) UseEnum(a->GetEnum(i), data, size);
        }
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // As a tool does before loading.
  ZMetaClass::Attach();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  FuzzTableRoundTrip<ZAtomTable>(data, size, Use);
  return 0;
}
