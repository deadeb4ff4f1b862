// The identity table of a streamer. A saving streamer numbers the objects
// it meets 1, 2, 3 ... and finds an object's number by its address; a
// loading one finds the object (and its kind) registered under an
// identifier read from the stream.
//
// Entries are kept in order of registration; a hash table of 8-byte slots
// with linear probing leads to them. Keys keep their order in the slots
// where they can (identifiers 1, 2, 3 ... and neighbouring addresses land
// in neighbouring slots), so that a stream of objects made one after the
// other touches memory one slot after the other.
#ifndef ORBCMN_PERSIST_IDENTITIES_H_
#define ORBCMN_PERSIST_IDENTITIES_H_

#include <cstdint>

#include "orbcmn/zstreamer.h"

class ZStreamer::Identities {
 public:
  Identities() = default;
  ~Identities();
  Identities(const Identities&) = delete;
  Identities& operator=(const Identities&) = delete;

  // Saving: the number of object; one not met before gets the next number
  // and *added is set. 0 when out of memory.
  std::uint32_t Number(void* object, bool* added);
  // Loading: the live entry registered under id, as *object and *kind.
  // When there is none (or it was forgotten), the given object and kind
  // are registered under id and *added is set. False when out of memory.
  bool Lookup(std::uint32_t id, void** object, const void** kind, bool* added);

  // Entries made so far.
  std::uint32_t Count() const { return count_; }
  // Forgets the entries made from the mark-th on: their identifiers are
  // unknown again.
  void ForgetFrom(std::uint32_t mark);

 private:
  struct Slot {
    std::uint32_t key;    // the identifier, or the folded address
    std::uint32_t entry;  // 1 + index of the entry; 0: free slot
  };

  static std::uint32_t AddressKey(void* object);
  std::uint32_t Home(std::uint32_t key) const;
  // Makes room for one more entry, with a kind when withKind is set; false
  // when out of memory.
  bool MakeRoom(bool withKind);
  bool GrowEntries(bool withKind);
  bool GrowSlots();
  // The slot of the entry registered under key for which matches(entry
  // index) holds, or the free slot where it would go. There must be a free
  // slot.
  template <class Matches>
  Slot* Probe(std::uint32_t key, Matches matches) const;
  // Appends an entry and points slot (from Probe, after MakeRoom) at it.
  void Insert(Slot* slot, std::uint32_t key, void* object, const void* kind);

  Slot* slots_ = nullptr;
  std::uint32_t mask_ = 0;   // slot count - 1
  std::uint32_t shift_ = 0;  // log2 of the slot count
  std::uint32_t used_ = 0;   // slots in use
  // The entries in order of registration: objects (null once forgotten)
  // and, when loading, their kinds. A saving table keeps no kinds.
  void** objects_ = nullptr;
  const void** kinds_ = nullptr;
  std::uint32_t count_ = 0;
  std::uint32_t capacity_ = 0;
};

#endif  // ORBCMN_PERSIST_IDENTITIES_H_
