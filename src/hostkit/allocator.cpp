// The tagged allocator. Every block carries a header in front of it with
// its size, its tag and a seal, so that an allocation or a release touches
// only the block's own memory; a release whose header is not sealed is
// reported instead of corrupting the heap (best effort: see hostkit.h).
// Live blocks are counted per tag so that callers can prove that nothing
// leaks.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "hostkit/hostkit.h"

#if defined(__SANITIZE_ADDRESS__)
#define HOSTKIT_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HOSTKIT_ASAN 1
#endif
#endif
#ifdef HOSTKIT_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace {

// The allocator's lock. Its critical sections are a few dozen instructions,
// so uncontended it costs one atomic exchange; a waiter yields the processor.
class SpinLock {
 public:
  void lock() {
    while (locked_.exchange(true, std::memory_order_acquire)) {
      while (locked_.load(std::memory_order_relaxed)) std::this_thread::yield();
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

// What lies in front of every block. 16 bytes, so the block keeps the
// alignment malloc gives.
struct Header {
  uint32_t size;
  uint32_t tag;   // index into Allocator::tags_
  uint32_t seal;  // Seal(header, block) while the block is live
  uint32_t unused;
};
static_assert(sizeof(Header) == 16, "the header keeps malloc's alignment");

uint32_t Seal(const Header& h, const void* block) {
  uint64_t a = reinterpret_cast<uintptr_t>(block);
  return 0x5EA1B10Cu ^ h.size ^ (h.tag * 0x9E3779B9u) ^ static_cast<uint32_t>(a ^ (a >> 32));
}

Header* HeaderOf(void* block) { return static_cast<Header*>(block) - 1; }
void* BlockOf(Header* h) { return h + 1; }

// True when block may be one of ours: the bytes in front of it can be read
// (under AddressSanitizer: are not poisoned, as they are in front of a
// stack variable or in a freed block) and hold a sealed header. Malloc's
// blocks are 8-aligned and never lie in the first 64 KiB.
bool Sealed(const void* block, Header* out) {
  uintptr_t at = reinterpret_cast<uintptr_t>(block);
  if (at % 8 != 0 || at < 0x10000 + sizeof(Header)) return false;
  const void* h = static_cast<const Header*>(block) - 1;
#ifdef HOSTKIT_ASAN
  if (__asan_region_is_poisoned(const_cast<void*>(h), sizeof(Header)) != nullptr) return false;
#endif
  std::memcpy(out, h, sizeof(Header));
  return out->seal == Seal(*out, block);
}

class Allocator {
 public:
  // entry is 106, or 107 for a resize of null.
  void* Alloc(const char* tag, unsigned size, unsigned flags, int entry = 106) {
    std::lock_guard<SpinLock> lock(mu_);
    void* block = nullptr;
    unsigned index = Fails(entry, tag, size) ? kNoTag : TagIndex(tag);
    size_t total = Total(size);
    if (index != kNoTag && total != 0) {
      void* raw = (flags & 1) ? std::calloc(total, 1) : std::malloc(total);
      if (raw != nullptr) block = Start(static_cast<Header*>(raw), size, index);
    }
    Observe(entry, tag, block, size);
    return block;
  }

  void* Realloc(const char* tag, void* block, unsigned size, unsigned flags) {
    if (block == nullptr) return Alloc(tag, size, flags, 107);
    std::lock_guard<SpinLock> lock(mu_);
    Header old;
    if (!Sealed(block, &old)) {
      Report("realloc", tag, block);
      Observe(107, tag, nullptr, size);
      return nullptr;
    }
    // The tag is resolved first: once realloc has moved the block, nothing
    // may fail.
    unsigned index = TagIndex(tag);
    size_t total = Total(size);
    Header* moved = nullptr;
    if (index != kNoTag && total != 0 && !Fails(107, tag, size)) {
      moved = static_cast<Header*>(std::realloc(HeaderOf(block), total));
    }
    if (moved == nullptr) {
      Observe(107, tag, nullptr, size);
      return nullptr;
    }
    if ((flags & 1) && size > old.size) {
      std::memset(reinterpret_cast<char*>(BlockOf(moved)) + old.size, 0, size - old.size);
    }
    // The block now counts under the resizing tag.
    tags_[old.tag].live--;
    void* result = Start(moved, size, index);
    Observe(107, tag, result, size);
    return result;
  }

  void Free(const char* tag, void* block) {
    std::lock_guard<SpinLock> lock(mu_);
    if (block == nullptr) {
      Observe(108, tag, nullptr, 0);  // a request all the same, though nothing is freed
      return;
    }
    Header h;
    if (!Sealed(block, &h)) {
      Report("free", tag, block);
      return;
    }
    tags_[h.tag].live--;
    HeaderOf(block)->seal = 0;  // a second release finds it unsealed
    Observe(108, tag, block, 0);
    std::free(HeaderOf(block));
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
    Header h;
    return Sealed(block, &h) ? h.size : 0;
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
  // Bytes to ask malloc for: the header and at least one byte, so that a
  // zero-size request still yields a distinct block. 0 when too large.
  static size_t Total(unsigned size) {
    uint64_t total = uint64_t{sizeof(Header)} + (size ? size : 1);
    return total > SIZE_MAX ? 0 : static_cast<size_t>(total);
  }

  // Writes the header of a new or moved block, counts it under its tag and
  // gives the block.
  void* Start(Header* h, unsigned size, unsigned tag) {
    h->size = size;
    h->tag = tag;
    h->unused = 0;
    h->seal = Seal(*h, BlockOf(h));
    tags_[tag].live++;
    return BlockOf(h);
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
