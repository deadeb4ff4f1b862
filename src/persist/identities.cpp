// The streamer's identity table: entries in order of registration, found
// through an open-addressing table with linear probing.
#include "persist/identities.h"

#include "lib/alloc.h"

namespace {
// The first table sizes, and the most slots in use per 4 slots.
const std::uint32_t kFirstSlots = 4096;
const std::uint32_t kFirstEntries = 2048;
const std::uint32_t kFillPerFour = 3;
}  // namespace

ZStreamer::Identities::~Identities() {
  orb::Free(slots_);
  orb::Free(objects_);
  orb::Free(kinds_);
}

// Objects lie at least 8 bytes apart; the high half of a 64-bit address is
// folded in.
std::uint32_t ZStreamer::Identities::AddressKey(void* object) {
  std::uint64_t a = reinterpret_cast<std::uintptr_t>(object);
  return static_cast<std::uint32_t>((a >> 3) ^ (a >> 35));
}

// Keys below the slot count stay in their place (identifiers 1, 2, 3 ...);
// the bits above fold in, so that keys far apart spread.
std::uint32_t ZStreamer::Identities::Home(std::uint32_t key) const {
  return (key ^ (shift_ < 32 ? key >> shift_ : 0)) & mask_;
}

template <class Matches>
ZStreamer::Identities::Slot* ZStreamer::Identities::Probe(std::uint32_t key,
                                                          Matches matches) const {
  for (std::uint32_t i = Home(key);; i = (i + 1) & mask_) {
    Slot* slot = &slots_[i];
    if (slot->entry == 0 || (slot->key == key && matches(slot->entry - 1))) return slot;
  }
}

std::uint32_t ZStreamer::Identities::Number(void* object, bool* added) {
  *added = false;
  if (!MakeRoom(false)) return 0;
  std::uint32_t key = AddressKey(object);
  Slot* slot = Probe(key, [this, object](std::uint32_t i) { return objects_[i] == object; });
  if (slot->entry != 0) return slot->entry;
  *added = true;
  Insert(slot, key, object, nullptr);
  return count_;
}

bool ZStreamer::Identities::Lookup(std::uint32_t id, void** object, const void** kind,
                                   bool* added) {
  *added = false;
  if (!MakeRoom(true)) return false;
  Slot* slot = Probe(id, [](std::uint32_t) { return true; });
  if (slot->entry != 0 && objects_[slot->entry - 1] != nullptr) {
    *object = objects_[slot->entry - 1];
    *kind = kinds_[slot->entry - 1];
    return true;
  }
  *added = true;
  Insert(slot, id, *object, *kind);
  return true;
}

// A forgotten identifier's slot is taken over by its new entry.
void ZStreamer::Identities::Insert(Slot* slot, std::uint32_t key, void* object, const void* kind) {
  if (slot->entry == 0) used_++;
  objects_[count_] = object;
  if (kinds_ != nullptr) kinds_[count_] = kind;
  slot->key = key;
  slot->entry = ++count_;
}

void ZStreamer::Identities::ForgetFrom(std::uint32_t mark) {
  for (std::uint32_t i = mark; i < count_; i++) objects_[i] = nullptr;
}

bool ZStreamer::Identities::MakeRoom(bool withKind) {
  if ((count_ == capacity_ || (withKind && kinds_ == nullptr)) && !GrowEntries(withKind)) {
    return false;
  }
  std::uint64_t slots = slots_ == nullptr ? 0 : std::uint64_t{mask_} + 1;
  return (std::uint64_t{used_} + 1) * 4 <= slots * kFillPerFour || GrowSlots();
}

// Grown in place where the system can: a large table is moved by the
// system's page mapping, not copied.
bool ZStreamer::Identities::GrowEntries(bool withKind) {
  std::uint64_t capacity = capacity_;
  if (count_ == capacity_) capacity = capacity_ == 0 ? kFirstEntries : capacity * 2;
  if (capacity > UINT32_MAX) return false;
  void** objects = static_cast<void**>(orb::Realloc(objects_, capacity * sizeof(void*)));
  if (objects == nullptr) return false;
  objects_ = objects;
  if (withKind) {
    const void** kinds =
        static_cast<const void**>(orb::Realloc(kinds_, capacity * sizeof(const void*)));
    if (kinds == nullptr) return false;
    kinds_ = kinds;
  }
  capacity_ = static_cast<std::uint32_t>(capacity);
  return true;
}

// Doubles the slots and puts every key in again. Forgotten entries keep
// their slots: a later entry under the same identifier takes them over.
bool ZStreamer::Identities::GrowSlots() {
  std::uint64_t size = slots_ == nullptr ? kFirstSlots : (std::uint64_t{mask_} + 1) * 2;
  if (size > (std::uint64_t{1} << 31)) return false;
  Slot* slots = static_cast<Slot*>(orb::AllocZeroed(size * sizeof(Slot)));
  if (slots == nullptr) return false;
  Slot* old = slots_;
  std::uint32_t oldSize = old == nullptr ? 0 : mask_ + 1;
  slots_ = slots;
  mask_ = static_cast<std::uint32_t>(size - 1);
  for (shift_ = 0; (std::uint64_t{1} << shift_) < size;) shift_++;
  for (std::uint32_t i = 0; i < oldSize; i++) {
    if (old[i].entry == 0) continue;
    std::uint32_t j = Home(old[i].key);
    while (slots_[j].entry != 0) j = (j + 1) & mask_;
    slots_[j] = old[i];
  }
  orb::Free(old);
  return true;
}
