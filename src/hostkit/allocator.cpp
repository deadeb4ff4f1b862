// The tagged allocator. Every live block is known by address, so a block
// freed twice, or one that never came from here, is reported instead of
// corrupting the heap; live blocks are counted per tag so that callers can
// prove that nothing leaks.
#include <sched.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "hostkit/hostkit.h"

namespace {

// The allocator's lock. Its critical sections are a few dozen instructions,
// so uncontended it costs one atomic exchange; a waiter yields the processor.
class SpinLock {
 public:
  void lock() {
    while (locked_.exchange(true, std::memory_order_acquire)) {
      while (locked_.load(std::memory_order_relaxed)) sched_yield();
    }
  }
  void unlock() { locked_.store(false, std::memory_order_release); }

 private:
  std::atomic<bool> locked_{false};
};

struct TagCount {
  std::string name;
  long live = 0;
};

// The live blocks by address: an open-addressing table with linear probing,
// kept at most half full. Every allocation and release looks a block up, so
// this lookup must cost no more than a few probes and no allocation of its
// own.
class BlockTable {
 public:
  struct Slot {
    const void* block;  // null: free slot
    unsigned size;
    unsigned tag;  // index into Allocator::tags_
  };

  // The slot holding block, or null.
  Slot* Find(const void* block) {
    if (count_ == 0) return nullptr;
    for (size_t i = Home(block);; i = (i + 1) & mask_) {
      if (slots_[i].block == block) return &slots_[i];
      if (slots_[i].block == nullptr) return nullptr;
    }
  }

  // Adds a block that is not in the table. False when the table cannot grow.
  bool Insert(const void* block, unsigned size, unsigned tag) {
    if (2 * (count_ + 1) > slots_.size() && !Grow()) return false;
    size_t i = Home(block);
    while (slots_[i].block != nullptr) i = (i + 1) & mask_;
    slots_[i] = Slot{block, size, tag};
    count_++;
    return true;
  }

  // Removes the entry in slot. Later entries of the same probe run move
  // back into the hole, so lookups never need tombstones.
  void Erase(Slot* slot) {
    size_t hole = static_cast<size_t>(slot - slots_.data());
    for (size_t i = (hole + 1) & mask_; slots_[i].block != nullptr; i = (i + 1) & mask_) {
      size_t home = Home(slots_[i].block);
      // The entry may fill the hole when its home does not lie cyclically
      // in (hole, i].
      if (((i - home) & mask_) >= ((i - hole) & mask_)) {
        slots_[hole] = slots_[i];
        hole = i;
      }
    }
    slots_[hole].block = nullptr;
    count_--;
  }

 private:
  size_t Home(const void* block) const {
    // Fibonacci hashing of the address; the low bits are alignment.
    uint64_t h = (reinterpret_cast<uintptr_t>(block) >> 4) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(h >> shift_);
  }

  bool Grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    size_t size = old.empty() ? 1024 : 2 * old.size();
    try {
      slots_.assign(size, Slot{nullptr, 0, 0});
    } catch (const std::bad_alloc&) {
      slots_.swap(old);
      return false;
    }
    mask_ = size - 1;
    shift_ = 64;
    for (size_t s = size; s > 1; s >>= 1) shift_--;
    for (const Slot& slot : old) {
      if (slot.block == nullptr) continue;
      size_t i = Home(slot.block);
      while (slots_[i].block != nullptr) i = (i + 1) & mask_;
      slots_[i] = slot;
    }
    return true;
  }

  std::vector<Slot> slots_;
  size_t count_ = 0;
  size_t mask_ = 0;
  unsigned shift_ = 64;
};

class Allocator {
 public:
  // entry is 106, or 107 for a resize of null.
  void* Alloc(const char* tag, unsigned size, unsigned flags, int entry = 106) {
    std::lock_guard<SpinLock> lock(mu_);
    void* block = nullptr;
    if (!Fails(entry, tag, size)) {
      // A zero-size request still yields a distinct block.
      block = (flags & 1) ? std::calloc(size ? size : 1, 1) : std::malloc(size ? size : 1);
    }
    if (block != nullptr && !Track(block, size, tag)) {
      std::free(block);
      block = nullptr;
    }
    Observe(entry, tag, block, size);
    return block;
  }

  void* Realloc(const char* tag, void* block, unsigned size, unsigned flags) {
    if (block == nullptr) return Alloc(tag, size, flags, 107);
    std::lock_guard<SpinLock> lock(mu_);
    BlockTable::Slot* slot = blocks_.Find(block);
    if (slot == nullptr) {
      Report("realloc", tag, block);
      Observe(107, tag, nullptr, size);
      return nullptr;
    }
    // The tag is resolved first: once realloc has moved the block, nothing
    // may fail before the table knows the new address.
    unsigned old_size = slot->size;
    unsigned index = TagIndex(tag);
    void* moved = nullptr;
    if (index != kNoTag && !Fails(107, tag, size)) moved = std::realloc(block, size ? size : 1);
    if (moved == nullptr) {
      Observe(107, tag, nullptr, size);
      return nullptr;
    }
    if ((flags & 1) && size > old_size) {
      std::memset(static_cast<char*>(moved) + old_size, 0, size - old_size);
    }
    // The block now counts under the resizing tag.
    tags_[slot->tag].live--;
    tags_[index].live++;
    if (moved == block) {
      slot->size = size;
      slot->tag = index;
    } else {
      blocks_.Erase(slot);
      // The old entry's slot is free again, so the table need not grow.
      blocks_.Insert(moved, size, index);
    }
    Observe(107, tag, moved, size);
    return moved;
  }

  void Free(const char* tag, void* block) {
    std::lock_guard<SpinLock> lock(mu_);
    if (block == nullptr) {
      Observe(108, tag, nullptr, 0);  // a request all the same, though nothing is freed
      return;
    }
    BlockTable::Slot* slot = blocks_.Find(block);
    if (slot == nullptr) {
      Report("free", tag, block);
      return;
    }
    tags_[slot->tag].live--;
    blocks_.Erase(slot);
    Observe(108, tag, block, 0);
    std::free(block);
  }

  long Live(const char* tag) {
    std::lock_guard<SpinLock> lock(mu_);
    long total = 0;
    for (const TagCount& t : tags_) {
      if (tag == nullptr || t.name == tag) total += t.live;
    }
    return total;
  }

  unsigned Size(const void* block) {
    std::lock_guard<SpinLock> lock(mu_);
    const BlockTable::Slot* slot = blocks_.Find(block);
    return slot == nullptr ? 0 : slot->size;
  }

  long BadReleases() {
    std::lock_guard<SpinLock> lock(mu_);
    return bad_;
  }

  void SetObserver(HostKitAllocObserver observer, void* user) {
    std::lock_guard<SpinLock> lock(mu_);
    observer_ = observer;
    observer_user_ = user;
  }

  void SetFailHandler(HostKitFailHandler handler, void* user) {
    std::lock_guard<SpinLock> lock(mu_);
    fail_ = handler;
    fail_user_ = user;
    serial_ = 0;
  }

 private:
  // Records a new block; false when the table cannot take it.
  bool Track(void* block, unsigned size, const char* tag) {
    unsigned index = TagIndex(tag);
    if (index == kNoTag || !blocks_.Insert(block, size, index)) return false;
    tags_[index].live++;
    return true;
  }

  // Tags are short literals: look them up by address in a small cache
  // first (checking the text, since an address may be reused for another
  // text), by text after. kNoTag when a new tag cannot be recorded.
  unsigned TagIndex(const char* tag) {
    const char* name = tag ? tag : "";
    TagCache& cached = tag_cache_[(reinterpret_cast<uintptr_t>(name) >> 3) % kTagCache];
    if (cached.address == name && std::strcmp(tags_[cached.index].name.c_str(), name) == 0) {
      return cached.index;
    }
    unsigned index = 0;
    while (index < tags_.size() && tags_[index].name != name) index++;
    if (index == tags_.size()) {
      try {
        tags_.push_back(TagCount{name, 0});
      } catch (const std::bad_alloc&) {
        return kNoTag;
      }
    }
    cached = TagCache{name, index};
    return index;
  }

  // Asks the test's fail handler whether this request fails.
  bool Fails(int entry, const char* tag, unsigned size) {
    return fail_ != nullptr && fail_(fail_user_, entry, tag, size, ++serial_) != 0;
  }

  void Observe(int entry, const char* tag, void* block, unsigned size) {
    if (observer_ != nullptr) observer_(observer_user_, entry, tag, block, size);
  }

  void Report(const char* what, const char* tag, const void* block) {
    bad_++;
    std::fprintf(stderr, "hostkit: %s of unknown or already freed block %p (tag \"%s\")\n", what,
                 block, tag ? tag : "");
  }

  struct TagCache {
    const char* address;
    unsigned index;
  };
  static constexpr size_t kTagCache = 32;
  static constexpr unsigned kNoTag = ~0u;

  SpinLock mu_;
  BlockTable blocks_;
  std::vector<TagCount> tags_;
  TagCache tag_cache_[kTagCache] = {};
  long bad_ = 0;
  HostKitAllocObserver observer_ = nullptr;
  void* observer_user_ = nullptr;
  HostKitFailHandler fail_ = nullptr;
  void* fail_user_ = nullptr;
  unsigned long serial_ = 0;
};

// Never destroyed: blocks may be freed by static destructors of other modules.
Allocator& TheAllocator() {
  static Allocator* allocator = new Allocator;
  return *allocator;
}

}  // namespace

extern "C" {

void* HostKit_Alloc(const char* tag, unsigned size, unsigned flags) {
  return TheAllocator().Alloc(tag, size, flags);
}

void* HostKit_Realloc(const char* tag, void* block, unsigned size, unsigned flags) {
  return TheAllocator().Realloc(tag, block, size, flags);
}

void HostKit_Free(const char* tag, void* block) { TheAllocator().Free(tag, block); }

long HostKit_LiveBlocks(const char* tag) { return TheAllocator().Live(tag); }

unsigned HostKit_BlockSize(const void* block) { return TheAllocator().Size(block); }

long HostKit_BadReleases(void) { return TheAllocator().BadReleases(); }

void HostKit_SetAllocObserver(HostKitAllocObserver observer, void* user) {
  TheAllocator().SetObserver(observer, user);
}

void HostKit_SetFailHandler(HostKitFailHandler handler, void* user) {
  TheAllocator().SetFailHandler(handler, user);
}

}  // extern "C"
