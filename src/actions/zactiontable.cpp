// ZActionTable: the list of actions, and recognition of normalised bytes.
#include "orbcmn/zactiontable.h"

#include <cstdint>

#include "actions/shares.h"
#include "lib/alloc.h"
#include "lib/plugin.h"

ORBCMN_DEFINE_ALLOC(ZActionTable)

namespace {

// The first area offered to the normaliser.
constexpr int32_t kFirstArea = 0x1000;

}  // namespace

ZActionTable::ZActionTable() {}

ZActionTable::ZActionTable(const ZActionTable& other) {
  ZActionShares::Assign(descriptions_, other.descriptions_);
}

ZActionTable& ZActionTable::operator=(const ZActionTable& other) {
  ZActionShares::Assign(descriptions_, other.descriptions_);
  return *this;
}

ZActionTable::~ZActionTable() { ZActionShares::Release(descriptions_); }

ZActionDescription* ZActionTable::AddDescription(ZString& name, unsigned int flags) {
  ZActionDescription* description = orb::MakeWhole<ZActionDescription>(name, flags);
  if (description == nullptr || !ZActionShares::Append(descriptions_, description)) return nullptr;
  return description;
}

ZActionDescription* ZActionTable::Find(const ZString& name) {
  for (ZActionDescription* description : descriptions_) {
    if (description->GetName() == name) return description;
  }
  return nullptr;
}

bool ZActionTable::GetActionNames(ZListString& names) {
  names.erase(names.begin(), names.end());
  for (ZActionDescription* description : descriptions_) {
    int before = names.size();
    names.push_back(ZActionShares::Name(*description));
    if (names.size() != before) continue;
    names.erase(names.begin(), names.end());  // memory ran out: no part of a list
    return false;
  }
  return true;
}

ZActionDescription* ZActionTable::Recognize(unsigned char* bytes, int length, unsigned int* options,
                                            ZVectorString& args) {
  AdaNormalizeAtomStreamFn normalize = g_orbPlugin.normalize;
  if (normalize == nullptr || options == nullptr || length < 0) return nullptr;
  if (bytes == nullptr && length > 0) return nullptr;

  int32_t capacity = kFirstArea;
  unsigned char* area = static_cast<unsigned char*>(orb::Alloc(capacity));
  if (area == nullptr) return nullptr;
  int32_t size = capacity;
  while (normalize(bytes, length, area, &size) == ADA_AREA_TOO_SMALL) {
    orb::Free(area);
    // A normaliser that asks for no more room would be asked for ever.
    if (size <= capacity) return nullptr;
    capacity = size;
    area = static_cast<unsigned char*>(orb::Alloc(capacity));
    if (area == nullptr) return nullptr;
  }
  // Only bytes inside the area are taken, whatever size is reported.
  if (size < 0) size = 0;
  if (size > capacity) size = capacity;
  unsigned long refusals = orb::Refusals();
  ZBuffer normalised(reinterpret_cast<const char*>(area), static_cast<unsigned int>(size));
  orb::Free(area);
  if (orb::Refusals() != refusals) return nullptr;

  *options = 0;
  for (ZActionDescription* description : descriptions_) {
    bool recognised = description->Recognize(normalised, options, args);
    // A trial that ran out of memory may have decided on cut texts.
    if (orb::Refusals() != refusals) return nullptr;
    if (recognised) return description;
  }
  return nullptr;
}

ZActionDescription* ZActionTable::GetDefaultDescription(unsigned int* options,
                                                        ZVectorString& args) {
  if (descriptions_.size() == 0 || options == nullptr) return nullptr;
  ZActionDescription* first = *descriptions_.begin();
  args.clear();
  for (int i = 0; i < first->GetNumArgs(); ++i) args.push_back(ZString());
  *options = 0;
  return first;
}
