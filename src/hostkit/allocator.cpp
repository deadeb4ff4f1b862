// The tagged allocator. Every live block is known by address, so a block
// freed twice, or one that never came from here, is reported instead of
// corrupting the heap; live blocks are counted per tag so that callers can
// prove that nothing leaks.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "hostkit/hostkit.h"

namespace {

struct BlockInfo {
  unsigned size;
  unsigned tag;  // index into Allocator::tags
};

struct TagCount {
  std::string name;
  long live = 0;
};

class Allocator {
 public:
  void* Alloc(const char* tag, unsigned size, unsigned flags) {
    // A zero-size request still yields a distinct block.
    void* block = (flags & 1) ? std::calloc(size ? size : 1, 1) : std::malloc(size ? size : 1);
    std::lock_guard<std::mutex> lock(mu_);
    if (block != nullptr) Track(block, size, tag);
    Observe(106, tag, block, size);
    return block;
  }

  void* Realloc(const char* tag, void* block, unsigned size, unsigned flags) {
    if (block == nullptr) return Alloc(tag, size, flags);
    std::lock_guard<std::mutex> lock(mu_);
    auto it = blocks_.find(block);
    if (it == blocks_.end()) {
      Report("realloc", tag, block);
      Observe(107, tag, nullptr, size);
      return nullptr;
    }
    unsigned old_size = it->second.size;
    unsigned old_tag = it->second.tag;
    void* moved = std::realloc(block, size ? size : 1);
    if (moved == nullptr) {
      Observe(107, tag, nullptr, size);
      return nullptr;
    }
    if ((flags & 1) && size > old_size) {
      std::memset(static_cast<char*>(moved) + old_size, 0, size - old_size);
    }
    blocks_.erase(it);
    tags_[old_tag].live--;
    Track(moved, size, tag);
    Observe(107, tag, moved, size);
    return moved;
  }

  void Free(const char* tag, void* block) {
    std::lock_guard<std::mutex> lock(mu_);
    if (block == nullptr) {
      Observe(108, tag, nullptr, 0);  // a request all the same, though nothing is freed
      return;
    }
    auto it = blocks_.find(block);
    if (it == blocks_.end()) {
      Report("free", tag, block);
      return;
    }
    tags_[it->second.tag].live--;
    blocks_.erase(it);
    Observe(108, tag, block, 0);
    std::free(block);
  }

  long Live(const char* tag) {
    std::lock_guard<std::mutex> lock(mu_);
    long total = 0;
    for (const TagCount& t : tags_) {
      if (tag == nullptr || t.name == tag) total += t.live;
    }
    return total;
  }

  unsigned Size(const void* block) {
    std::lock_guard<std::mutex> lock(mu_);
    auto it = blocks_.find(block);
    return it == blocks_.end() ? 0 : it->second.size;
  }

  long BadReleases() {
    std::lock_guard<std::mutex> lock(mu_);
    return bad_;
  }

  void SetObserver(HostKitAllocObserver observer, void* user) {
    std::lock_guard<std::mutex> lock(mu_);
    observer_ = observer;
    observer_user_ = user;
  }

 private:
  void Track(void* block, unsigned size, const char* tag) {
    unsigned index = TagIndex(tag);
    blocks_[block] = BlockInfo{size, index};
    tags_[index].live++;
  }

  // Tags are short literals: look them up by address first, by text after.
  unsigned TagIndex(const char* tag) {
    const char* name = tag ? tag : "";
    auto cached = by_address_.find(name);
    if (cached != by_address_.end() && tags_[cached->second].name == name) return cached->second;
    unsigned index = 0;
    while (index < tags_.size() && tags_[index].name != name) index++;
    if (index == tags_.size()) tags_.push_back(TagCount{name, 0});
    by_address_[name] = index;
    return index;
  }

  void Observe(int entry, const char* tag, void* block, unsigned size) {
    if (observer_ != nullptr) observer_(observer_user_, entry, tag, block, size);
  }

  void Report(const char* what, const char* tag, const void* block) {
    bad_++;
    std::fprintf(stderr, "hostkit: %s of unknown or already freed block %p (tag \"%s\")\n", what,
                 block, tag ? tag : "");
  }

  std::mutex mu_;
  std::unordered_map<const void*, BlockInfo> blocks_;
  std::vector<TagCount> tags_;
  std::unordered_map<const char*, unsigned> by_address_;
  long bad_ = 0;
  HostKitAllocObserver observer_ = nullptr;
  void* observer_user_ = nullptr;
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

}  // extern "C"
