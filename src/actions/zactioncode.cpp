// ZActionCode: one encoding of an action; matching and building its bytes.
#include "actions/sequences.h"
#include "actions/shares.h"
#include "lib/alloc.h"
#include "orbcmn/zactiontable.h"

ORBCMN_DEFINE_ALLOC(ZActionCode)

namespace {

bool IsFixed(const ZActionFragment* fragment) {
  return fragment->GetType() == ZActionFragment::StreamBytes ||
         fragment->GetType() == ZActionFragment::DataBytes;
}

}  // namespace

ZActionCode::ZActionCode() : variant_(0), holders_(0) {}

ZActionCode::ZActionCode(unsigned int variant)
    : variant_(static_cast<unsigned short>(variant)), holders_(0) {}

ZActionCode::ZActionCode(const ZActionCode& other) : variant_(other.variant_), holders_(0) {
  ZActionShares::Assign(fragments_, other.fragments_);
  ZActionShares::Assign(conditions_, other.conditions_);
}

ZActionCode& ZActionCode::operator=(const ZActionCode& other) {
  if (this == &other) return *this;
  variant_ = other.variant_;
  ZActionShares::Assign(fragments_, other.fragments_);
  ZActionShares::Assign(conditions_, other.conditions_);
  return *this;
}

ZActionCode::~ZActionCode() {
  ZActionShares::Release(fragments_);
  ZActionShares::Release(conditions_);
}

bool ZActionCode::AddFragment(ZActionFragment::EType type, const ZBuffer& bytes) {
  ZActionFragment* fragment = orb::MakeWhole<ZActionFragment>(type, bytes);
  return fragment != nullptr && ZActionShares::Append(fragments_, fragment);
}

bool ZActionCode::AddFragment(ZActionFragment::EType type, int index) {
  ZActionFragment* fragment = new ZActionFragment(type, index);
  return fragment != nullptr && ZActionShares::Append(fragments_, fragment);
}

bool ZActionCode::AddCondition(int number, ZActionCondition::EOperation op,
                               ZActionCondition::ECombine combine, ZString text) {
  ZActionCondition* condition = orb::MakeWhole<ZActionCondition>(number, op, combine, text);
  return condition != nullptr && ZActionShares::Append(conditions_, condition);
}

bool ZActionCode::AddCondition(int number, ZActionCondition::EOperation op,
                               ZActionCondition::ECombine combine, long value) {
  ZActionCondition* condition = new ZActionCondition(number, op, combine, value);
  return condition != nullptr && ZActionShares::Append(conditions_, condition);
}

bool ZActionCode::CheckForMatch(unsigned int options, ZVectorString& args) {
  if ((options & 3) != variant_) return false;
  for (int i = 0; i < args.size(); ++i) {
    bool result = true;
    for (ZActionCondition* condition : conditions_) {
      result = condition->CheckCondition(i + 1, args[i], result);
    }
    if (!result) return false;
  }
  return true;
}

bool ZActionCode::Recognize(ZActionDescription* description, ZBuffer bytes, unsigned int* options,
                            ZVectorString& args) {
  if (description == nullptr || options == nullptr) return false;
  int count = description->GetNumArgs();
  ZVectorString work;
  for (int i = 0; i < count; ++i) work.push_back(ZString());
  if (work.size() != count) return false;

  unsigned int noted = 0;
  if (!orb::TakeSequence(bytes, orb::kStartPlain) &&
      !orb::TakeSequence(bytes, orb::kStartPlainLong)) {
    if (orb::TakeSequence(bytes, orb::kStartWaitOn) ||
        orb::TakeSequence(bytes, orb::kStartWaitOnShort)) {
      noted |= OptionWaitOn;
    }
  }
  if (orb::TakeSequence(bytes, orb::kMarker22)) {
    noted |= OptionMarker22;
  } else if (orb::TakeSequence(bytes, orb::kMarker21)) {
    noted |= OptionMarker21;
  }

  ZBuffer data;
  for (ZActionFragment* fragment : fragments_) {
    int result = fragment->Match(bytes, data);
    if (IsFixed(fragment)) {
      if (result == FragmentRefused) return false;
      continue;
    }
    if (result < 0 || result >= count) return false;
    if (description->GetArgument(result)->Get(data, work[result]) != 0) return false;
  }
  if (!CheckForMatch(variant_, work)) return false;
  *options |= noted | variant_;
  args = work;
  return true;
}

bool ZActionCode::SlotsFit(const ZActionDescription* description, const ZVectorString& args) const {
  int count = description->GetNumArgs();
  for (ZActionFragment* fragment : fragments_) {
    if (IsFixed(fragment)) continue;
    int index = fragment->GetIndex();
    if (index < 0 || index >= count || index >= args.size()) return false;
  }
  return true;
}

int ZActionCode::Generate(ZActionDescription* description, unsigned int options, ZVectorString args,
                          ZBuffer& out) {
  if (description == nullptr || !SlotsFit(description, args)) return -1;
  unsigned long refusals = orb::Refusals();
  ZBuffer output;
  orb::AppendSequence(output, (options & OptionWaitOn) != 0 ? orb::kStartWaitOn : orb::kStartPlain);
  if ((options & OptionMarker21) != 0) {
    orb::AppendSequence(output, orb::kMarker21);
  } else if ((options & OptionMarker22) != 0) {
    orb::AppendSequence(output, orb::kMarker22);
  }

  ZBuffer data;
  for (ZActionFragment* fragment : fragments_) {
    int result = fragment->Add(output, data);
    if (IsFixed(fragment)) {
      if (result == FragmentRefused) return -1;  // a data block too long for its length field
      continue;
    }
    int converted = description->GetArgument(result)->Add(data, args[result]);
    if (converted != 0) return converted;
  }
  if (!data.IsEmpty() && !ZActionFragment::AddArgs(output, data)) return -1;
  orb::AppendSequence(output, orb::kEndMark);
  if (orb::Refusals() != refusals) return -1;  // some piece is missing
  out = output;
  return orb::Refusals() == refusals ? 0 : -1;
}
