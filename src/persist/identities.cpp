// The streamer's identity table: entries in order of registration, found
// through an open-addressing table with linear probing.
#include "persist/identities.h"

#include <cstring>

#include "lib/alloc.h"

namespace {
// The first table sizes, and the most slots in use per 4 slots.
const std::uint32_t kFirstSlots = 4096;
const std::uint32_t kFirstEntries = 2048;
const std::uint32_t kFillPerFour = 3;
}  // namespace

ZStreamer::Identities::~Identities() {
  orb::Free(slots_);
  orb::Free(entries_);
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
    if (slot->entry == 0 || (slot->key == key && matches(entries_[slot->entry - 1]))) return slot;
  }
}

std::uint32_t ZStreamer::Identities::Number(void* object, bool* added) {
  *added = false;
  if (!MakeRoom()) return 0;
  std::uint32_t key = AddressKey(object);
  Slot* slot = Probe(key, [object](const Entry& e) { return e.object == object; });
  if (slot->entry != 0) return slot->entry;
  *added = true;
  Insert(slot, key, Entry{object, nullptr});
  return count_;
}

const ZStreamer::Identities::Entry* ZStreamer::Identities::Lookup(std::uint32_t id, void* object,
                                                                  const void* kind, bool* added) {
  *added = false;
  if (!MakeRoom()) return nullptr;
  Slot* slot = Probe(id, [](const Entry&) { return true; });
  if (slot->entry != 0 && entries_[slot->entry - 1].object != nullptr) {
    return &entries_[slot->entry - 1];
  }
  *added = true;
  return Insert(slot, id, Entry{object, kind});
}

// A forgotten identifier's slot is taken over by its new entry.
const ZStreamer::Identities::Entry* ZStreamer::Identities::Insert(Slot* slot, std::uint32_t key,
                                                                  Entry entry) {
  if (slot->entry == 0) used_++;
  entries_[count_] = entry;
  slot->key = key;
  slot->entry = ++count_;
  return &entries_[count_ - 1];
}

void ZStreamer::Identities::ForgetFrom(std::uint32_t mark) {
  for (std::uint32_t i = mark; i < count_; i++) entries_[i].object = nullptr;
}

bool ZStreamer::Identities::MakeRoom() {
  if (count_ == capacity_ && !GrowEntries()) return false;
  std::uint64_t slots = slots_ == nullptr ? 0 : std::uint64_t{mask_} + 1;
  return (std::uint64_t{used_} + 1) * 4 <= slots * kFillPerFour || GrowSlots();
}

bool ZStreamer::Identities::GrowEntries() {
  std::uint64_t capacity = capacity_ == 0 ? kFirstEntries : std::uint64_t{capacity_} * 2;
  if (capacity > UINT32_MAX) return false;
  Entry* entries = static_cast<Entry*>(orb::Alloc(capacity * sizeof(Entry)));
  if (entries == nullptr) return false;
  if (count_ != 0) std::memcpy(entries, entries_, count_ * sizeof(Entry));
  orb::Free(entries_);
  entries_ = entries;
  capacity_ = static_cast<std::uint32_t>(capacity);
  return true;
}

// Doubles the slots and puts every live entry's key in again; forgotten
// entries are left out.
bool ZStreamer::Identities::GrowSlots() {
  std::uint64_t size = slots_ == nullptr ? kFirstSlots : (std::uint64_t{mask_} + 1) * 2;
  if (size > (std::uint64_t{1} << 31)) return false;
  Slot* slots = static_cast<Slot*>(orb::Alloc(size * sizeof(Slot)));
  if (slots == nullptr) return false;
  std::memset(slots, 0, size * sizeof(Slot));
  Slot* old = slots_;
  std::uint32_t oldSize = old == nullptr ? 0 : mask_ + 1;
  slots_ = slots;
  mask_ = static_cast<std::uint32_t>(size - 1);
  for (shift_ = 0; (std::uint64_t{1} << shift_) < size;) shift_++;
  used_ = 0;
  for (std::uint32_t i = 0; i < oldSize; i++) {
    if (old[i].entry == 0 || entries_[old[i].entry - 1].object == nullptr) continue;
    std::uint32_t j = Home(old[i].key);
    while (slots_[j].entry != 0) j = (j + 1) & mask_;
    slots_[j] = old[i];
    used_++;
  }
  orb::Free(old);
  return true;
}
