// ZRedBlackTree: unique keys, unsigned order, red-black shape under random
// insertions and erasures (checked against std::map), range erase and the
// life of the shared sentinel.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "hostkit/hostkit.h"
#include "orbcmn/zrbtree.h"

namespace {

void* V(std::uintptr_t n) { return reinterpret_cast<void*>(n); }

struct Visited {
  unsigned long key;
  void* value;
  bool red;
  bool hasLeft;
  bool hasRight;
};

void Record(void* user, unsigned long key, void* value, bool red, bool hasLeft, bool hasRight) {
  static_cast<std::vector<Visited>*>(user)->push_back({key, value, red, hasLeft, hasRight});
}

// Rebuilds the tree from its pre-order visit and checks the search order,
// the colours and the black heights; returns the in-order entries.
class ShapeChecker {
 public:
  explicit ShapeChecker(const ZRedBlackTree& tree) { tree.Inspect(Record, &nodes_); }

  std::map<unsigned long, void*> Check() {
    std::map<unsigned long, void*> entries;
    if (nodes_.empty()) return entries;
    EXPECT_FALSE(nodes_[0].red) << "root must be black";
    Subtree(false, &entries);
    EXPECT_EQ(nodes_.size(), next_) << "visit does not describe one tree";
    return entries;
  }

 private:
  // Returns the black height of the subtree starting at next_.
  int Subtree(bool parentRed, std::map<unsigned long, void*>* entries) {
    if (next_ >= nodes_.size()) {
      ADD_FAILURE() << "visit ended inside the tree";
      return 0;
    }
    const Visited node = nodes_[next_++];
    EXPECT_FALSE(parentRed && node.red) << "red node " << node.key << " under a red parent";
    int left = node.hasLeft ? Subtree(node.red, entries) : 0;
    if (!entries->empty()) {
      EXPECT_LT(entries->rbegin()->first, node.key) << "keys out of order";
    }
    (*entries)[node.key] = node.value;
    int right = node.hasRight ? Subtree(node.red, entries) : 0;
    EXPECT_EQ(left, right) << "black heights differ under " << node.key;
    return left + (node.red ? 0 : 1);
  }

  std::vector<Visited> nodes_;
  std::size_t next_ = 0;
};

void ExpectSameAs(const ZRedBlackTree& tree, const std::map<unsigned long, void*>& model) {
  EXPECT_EQ(model, ShapeChecker(tree).Check());
  ASSERT_EQ(model.size(), tree.size());
  if (model.empty()) {
    EXPECT_TRUE(tree.begin() == tree.end());
  } else {
    EXPECT_TRUE(tree.begin() == tree.find(model.begin()->first));
  }
}

}  // namespace

TEST(ZRedBlackTree, EmptyTree) {
  ZRedBlackTree tree;
  EXPECT_EQ(0u, tree.size());
  EXPECT_TRUE(tree.begin() == tree.end());
  void* value = V(7);
  EXPECT_FALSE(tree.find(1, value));
  EXPECT_EQ(V(7), value);
  EXPECT_TRUE(tree.find(1) == tree.end());
  tree.erase(tree.begin(), tree.end());
  tree.erase(tree.end());
  EXPECT_EQ(0u, tree.size());
  EXPECT_TRUE(tree.insert(1, V(1)));
  EXPECT_EQ(1u, tree.size());
}

TEST(ZRedBlackTree, UniqueKeysInUnsignedOrder) {
  ZRedBlackTree tree;
  EXPECT_TRUE(tree.insert(0xFFFFFFFFUL, V(1)));
  EXPECT_TRUE(tree.insert(0x80000000UL, V(2)));
  EXPECT_TRUE(tree.insert(5, V(3)));
  EXPECT_TRUE(tree.insert(0, V(4)));
  // A present key answers true and keeps its first value.
  EXPECT_TRUE(tree.insert(5, V(99)));
  EXPECT_TRUE(tree.insert(0xFFFFFFFFUL, V(98)));
  EXPECT_EQ(4u, tree.size());
  void* value = nullptr;
  EXPECT_TRUE(tree.find(5, value));
  EXPECT_EQ(V(3), value);
  EXPECT_TRUE(tree.find(0xFFFFFFFFUL, value));
  EXPECT_EQ(V(1), value);
  EXPECT_TRUE(tree.begin() == tree.find(0));
  ExpectSameAs(tree, {{0, V(4)}, {5, V(3)}, {0x80000000UL, V(2)}, {0xFFFFFFFFUL, V(1)}});

  // Keys are 32-bit: a wider key stands for its low 32 bits.
  if (sizeof(unsigned long) > 4) {
    const unsigned long wide = static_cast<unsigned long>(0xFFFFFFFFu) + 6;  // low bits: 5
    EXPECT_TRUE(tree.insert(wide, V(50)));
    EXPECT_EQ(4u, tree.size());
    EXPECT_TRUE(tree.find(wide, value));
    EXPECT_EQ(V(3), value);
  }
}

TEST(ZRedBlackTree, RandomOperationsMatchMapAndKeepShape) {
  std::mt19937 random(12345);
  ZRedBlackTree tree;
  std::map<unsigned long, void*> model;
  // A small key range forces many duplicate inserts and hits on erase.
  std::uniform_int_distribution<unsigned long> key(0, 3000);
  for (int step = 1; step <= 30000; ++step) {
    unsigned long k = key(random);
    if (random() % 3 != 0) {
      EXPECT_TRUE(tree.insert(k, V(step)));
      model.emplace(k, V(step));
    } else {
      ZRedBlackTree::ZIterator it = tree.find(k);
      EXPECT_EQ(model.count(k) == 1, it != tree.end());
      tree.erase(it);
      model.erase(k);
    }
    if (step % 500 == 0) ExpectSameAs(tree, model);
    if (HasFailure()) return;
  }
  for (const auto& entry : model) {
    void* value = nullptr;
    ASSERT_TRUE(tree.find(entry.first, value));
    EXPECT_EQ(entry.second, value);
  }
  // Drain in random order down to empty.
  std::vector<unsigned long> keys;
  for (const auto& entry : model) keys.push_back(entry.first);
  std::shuffle(keys.begin(), keys.end(), random);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    tree.erase(tree.find(keys[i]));
    model.erase(keys[i]);
    if (i % 97 == 0) ExpectSameAs(tree, model);
  }
  ExpectSameAs(tree, model);
  EXPECT_TRUE(tree.begin() == tree.end());
}

TEST(ZRedBlackTree, EraseKeepsOtherIteratorsAndFollowsRanges) {
  ZRedBlackTree tree;
  std::map<unsigned long, void*> model;
  for (unsigned long k = 10; k <= 200; k += 10) {
    tree.insert(k, V(k));
    model[k] = V(k);
  }
  // Erasing nodes with two children moves nodes, so iterators at other
  // entries still find their entries.
  std::vector<ZRedBlackTree::ZIterator> kept;
  for (unsigned long k = 10; k <= 200; k += 20) kept.push_back(tree.find(k));
  for (unsigned long k = 20; k <= 200; k += 40) {
    tree.erase(tree.find(k));
    model.erase(k);
  }
  for (std::size_t i = 0; i < kept.size(); ++i) {
    EXPECT_TRUE(kept[i] == tree.find(10 + 20 * i));
  }
  ExpectSameAs(tree, model);

  // From the middle to a later entry: the last one stays.
  tree.erase(tree.find(50), tree.find(110));
  for (unsigned long k : {50, 70, 80, 90}) model.erase(k);
  ExpectSameAs(tree, model);

  // Equal iterators remove nothing; end() and foreign iterators are ignored.
  tree.erase(tree.find(130), tree.find(130));
  tree.erase(tree.end());
  ZRedBlackTree other;
  other.insert(130, V(1));
  tree.erase(other.find(130));
  tree.erase(other.begin(), other.end());
  EXPECT_EQ(1u, other.size());
  ExpectSameAs(tree, model);

  // From the middle to the end.
  tree.erase(tree.find(150), tree.end());
  for (unsigned long k : {150, 160, 170, 190, 200}) model.erase(k);
  ExpectSameAs(tree, model);

  // From the beginning to the middle.
  tree.erase(tree.begin(), tree.find(110));
  for (unsigned long k : {10, 30, 40}) model.erase(k);
  ExpectSameAs(tree, model);

  // The whole tree at once; it stays usable.
  tree.erase(tree.begin(), tree.end());
  EXPECT_EQ(0u, tree.size());
  EXPECT_TRUE(tree.begin() == tree.end());
  EXPECT_TRUE(tree.insert(3, V(3)));
  EXPECT_TRUE(tree.begin() == tree.find(3));
}

TEST(ZRedBlackTree, SentinelLivesFromFirstTreeToLast) {
  const long base = HostKit_LiveBlocks("newop");
  // The first tree brings the shared sentinel; every tree has its header.
  ZRedBlackTree* first = new ZRedBlackTree;
  EXPECT_EQ(base + 3, HostKit_LiveBlocks("newop"));  // object, header, sentinel
  {
    ZRedBlackTree second;
    EXPECT_EQ(base + 4, HostKit_LiveBlocks("newop"));
    second.insert(1, V(1));
    first->insert(2, V(2));
    delete first;
    EXPECT_EQ(base + 3, HostKit_LiveBlocks("newop"));  // header, sentinel, one node
    // The sentinel stays for the surviving tree, which still works.
    void* value = nullptr;
    EXPECT_TRUE(second.insert(3, V(3)));
    EXPECT_TRUE(second.find(1, value));
    second.erase(second.find(1));
    EXPECT_EQ(1u, second.size());
  }
  EXPECT_EQ(base, HostKit_LiveBlocks("newop"));
  // A tree made after the last one died makes the sentinel again.
  {
    ZRedBlackTree again;
    EXPECT_EQ(base + 2, HostKit_LiveBlocks("newop"));
    EXPECT_TRUE(again.insert(4, V(4)));
    EXPECT_TRUE(again.insert(5, V(5)));
    again.erase(again.begin());
    EXPECT_TRUE(again.begin() == again.find(5));
  }
  EXPECT_EQ(base, HostKit_LiveBlocks("newop"));
}
