// Action recognition through the plug-in's normaliser. The input first
// describes a small action table (descriptions, arguments of every type,
// codes with fixed and slot fragments, conditions; slot indexes may name
// arguments that do not exist), then gives the bytes to recognise, held in
// a heap block of exactly their size. Recognition reads nothing outside
// them, returns the first description that matches with one text per
// argument and only option bits it can report, and on failure leaves the
// texts alone. Generation from every description with texts taken from
// the input changes its output only on success and never its texts.
#include <memory>

#include "fuzz_support.h"
#include "fuzz_text_util.h"
#include "orbcmn/zactiontable.h"

namespace {

ZString TakeString(FuzzInput& in, size_t most) {
  size_t taken;
  const uint8_t* p = in.Take(in.Byte() % (most + 1), &taken);
  return ZString(reinterpret_cast<const char*>(p), static_cast<unsigned int>(taken));
}

void BuildCode(FuzzInput& in, ZActionDescription* d) {
  ZActionCode* code = d->AddCode(in.Byte() % 5);
  FUZZ_CHECK(code != nullptr);
  for (int f = in.Byte() % 5; f > 0; f--) {
    uint8_t kind = in.Byte();
    if (kind % 4 == 1) {
      code->AddFragment(ZActionFragment::ArgumentSlot, static_cast<int8_t>(in.Byte()) % 6);
    } else {
      ZActionFragment::EType type =
          kind % 4 == 2 ? ZActionFragment::DataBytes : ZActionFragment::StreamBytes;
      ZString bytes = TakeString(in, 4);
      code->AddFragment(type, bytes);
    }
  }
  for (int c = in.Byte() % 3; c > 0; c--) {
    int number = in.Byte() % 4;
    static const int kOps[] = {3, 5, 6, 9};
    ZActionCondition::EOperation op =
        static_cast<ZActionCondition::EOperation>(kOps[in.Byte() % 4]);
    ZActionCondition::ECombine combine = static_cast<ZActionCondition::ECombine>(in.Byte() % 4);
    if (op == ZActionCondition::SameInitial) {
      code->AddCondition(number, op, combine, TakeString(in, 2));
    } else {
      code->AddCondition(number, op, combine, static_cast<long>(static_cast<int8_t>(in.Byte())));
    }
  }
}

void BuildTable(FuzzInput& in, ZActionTable& table) {
  for (int n = in.Byte() % 4 + 1; n > 0; n--) {
    ZString name("action");
    name += static_cast<char>('0' + n);
    ZActionDescription* d = table.AddDescription(name, in.Byte());
    FUZZ_CHECK(d != nullptr);
    int args = in.Byte() % 4;
    for (int a = 1; a <= args; a++) {
      ZString argName("arg");
      ZActionArgument::EType type = static_cast<ZActionArgument::EType>(in.Byte() % 7);
      int size = in.Byte() % 6;
      int shift = static_cast<int8_t>(in.Byte()) % 40;
      d->AddArgument(static_cast<unsigned int>(a), type, argName, size, shift);
    }
    for (int c = in.Byte() % 3 + 1; c > 0; c--) BuildCode(in, d);
  }
}

// The normalised form of the bytes, as recognition sees it.
ZBuffer Normalised(const uint8_t* bytes, size_t n) {
  AdaNormalizeAtomStreamFn normalize = FuzzPlugin()->normalize;
  int32_t size = static_cast<int32_t>(n);
  std::unique_ptr<unsigned char[]> area(new unsigned char[n + 1]);
  int32_t result = normalize(bytes, size, area.get(), &size);
  FUZZ_CHECK(result != 4 && size >= 0 && static_cast<size_t>(size) <= n);
  ZBuffer out;
  out.Append(reinterpret_cast<const char*>(area.get()), static_cast<unsigned int>(size));
  return out;
}

void CheckRecognize(ZActionTable& table, const uint8_t* data, size_t n) {
  std::unique_ptr<unsigned char[]> bytes(new unsigned char[n == 0 ? 1 : n]);
  memcpy(bytes.get(), data, n);
  unsigned int options = 0xDEAD;
  ZVectorString args;
  args.push_back(ZString("untouched"));
  ZActionDescription* found = table.Recognize(bytes.get(), static_cast<int>(n), &options, args);
  FUZZ_CHECK(memcmp(bytes.get(), data, n) == 0);
  if (found == nullptr) {
    FUZZ_CHECK(options == 0);
    FUZZ_CHECK(args.size() == 1 && Str(args[0]) == "untouched");
    return;
  }
  FUZZ_CHECK(args.size() == found->GetNumArgs());
  FUZZ_CHECK(
      (options & ~(OptionMagic | OptionPop | OptionMarker22 | OptionMarker21 | OptionWaitOn)) == 0);
  FUZZ_CHECK((options & (OptionMarker22 | OptionMarker21)) != (OptionMarker22 | OptionMarker21));

  // Every description before the one found fails on the same bytes.
  ZBuffer normalised = Normalised(data, n);
  const ZListActionDescriptionP& all = table.GetDescriptions();
  for (ZListActionDescriptionP::ZIterator it = all.begin(); *it != found; ++it) {
    unsigned int o = 0;
    ZVectorString a;
    FUZZ_CHECK(!(*it)->Recognize(normalised, &o, a));
    FUZZ_CHECK(o == 0 && a.size() == 0);
  }
  unsigned int o = 0;
  ZVectorString a;
  FUZZ_CHECK(found->Recognize(normalised, &o, a));
  FUZZ_CHECK(o == options && a.size() == args.size());
  for (int i = 0; i < a.size(); i++) FUZZ_CHECK(Str(a[i]) == Str(args[i]));
}

void CheckGenerate(ZActionTable& table, FuzzInput& in) {
  ZVectorString texts;
  for (int i = in.Byte() % 5; i > 0; i--) texts.push_back(TakeString(in, 6));
  unsigned int options = in.Byte();
  const ZListActionDescriptionP& all = table.GetDescriptions();
  for (ZListActionDescriptionP::ZIterator it = all.begin(); it != all.end(); ++it) {
    ZVectorString before(texts);
    ZBuffer out("keep", 4);
    int result = (*it)->Generate(options, texts, out);
    FUZZ_CHECK(texts.size() == before.size());
    for (int i = 0; i < texts.size(); i++) FUZZ_CHECK(Str(texts[i]) == Str(before[i]));
    if (result != 0) {
      FUZZ_CHECK(Str(out) == "keep");
      continue;
    }
    // A generated sequence starts with a start header and ends with the
    // end mark.
    std::string bytes = Str(out);
    FUZZ_CHECK(bytes.size() >= 6);
    FUZZ_CHECK(bytes.compare(bytes.size() - 3, 3, std::string("\x00\x02\x00", 3)) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 8192) return 0;
  FuzzPlugin();
  FuzzLeakCheck leaks;
  FuzzInput in(data, size);
  ZActionTable table;
  BuildTable(in, table);
  size_t taken;
  const uint8_t* generation = in.Take(in.Byte() % 48, &taken);
  FuzzInput texts(generation, taken);
  const uint8_t* bytes = in.Rest(&taken);
  CheckRecognize(table, bytes, taken);
  CheckGenerate(table, texts);
  return 0;
}
