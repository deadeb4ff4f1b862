// ZRedBlackTree: unique keys in unsigned order, red-black shape under random
// insertions and erasures (against std::map), range erase, shared sentinel.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "hostkit/hostkit.h"
#include "orbcmn/zrbtree.h"

namespace {

using Model = std::map<unsigned long, void*>;

void* V(std::uintptr_t n) { return reinterpret_cast<void*>(n); }

struct Visited {
  unsigned long key;
  void* value;
  bool red, hasLeft, hasRight;
};

// Rebuilds a subtree from the pre-order visit, checking the search order
// and that no red node has a red child; returns the black height.
int Subtree(const std::vector<Visited>& nodes, size_t& next, bool parentRed, Model& entries) {
  const Visited node = nodes.at(next++);  // throws when the visit ends inside the tree
  EXPECT_FALSE(parentRed && node.red) << "red node " << node.key << " under a red parent";
  const int left = node.hasLeft ? Subtree(nodes, next, node.red, entries) : 0;
  EXPECT_TRUE(entries.empty() || entries.rbegin()->first < node.key) << "order at " << node.key;
  entries[node.key] = node.value;
  const int right = node.hasRight ? Subtree(nodes, next, node.red, entries) : 0;
  EXPECT_EQ(left, right) << "black heights differ under " << node.key;
  return left + (node.red ? 0 : 1);
}

void ExpectSameAs(const ZRedBlackTree& tree, const Model& model) {
  std::vector<Visited> nodes;
  tree.Inspect(
      [](void* user, unsigned long key, void* value, bool red, bool hasLeft, bool hasRight) {
        static_cast<std::vector<Visited>*>(user)->push_back({key, value, red, hasLeft, hasRight});
      },
      &nodes);
  Model entries;
  size_t next = 0;
  if (!nodes.empty()) Subtree(nodes, next, nodes[0].red, entries);  // a red root fails too
  EXPECT_EQ(nodes.size(), next) << "visit does not describe one tree";
  EXPECT_TRUE(model == entries && model.size() == tree.size());
  for (const auto& [key, value] : model) {
    void* found = nullptr;
    EXPECT_TRUE(tree.find(key, found) && found == value) << key;
  }
  EXPECT_TRUE(tree.begin() == (model.empty() ? tree.end() : tree.find(model.begin()->first)));
}

}  // namespace

TEST(ZRedBlackTree, RandomOperationsMatchMapAndKeepShape) {
  std::mt19937 random(12345);
  ZRedBlackTree tree;
  Model model;
  // Mixed inserts and erases over a small key range (many duplicate inserts
  // and hits on erase), then every key erased in a scattered order.
  for (unsigned long step = 1; step <= 33001 && !HasFailure(); ++step) {
    const unsigned long k = step <= 30000 ? random() % 3001 : step * 1237 % 3001;
    if (step <= 30000 && random() % 3 != 0) {
      EXPECT_TRUE(tree.insert(k, V(step)));
      model.emplace(k, V(step));
    } else {
      tree.erase(tree.find(k));  // end() when absent: ignored
      model.erase(k);
    }
    if (step % 500 == 0) ExpectSameAs(tree, model);
  }
  ExpectSameAs(tree, {});
}

TEST(ZRedBlackTree, EraseKeepsOtherIteratorsAndFollowsRanges) {
  ZRedBlackTree tree;
  for (unsigned long k = 10; k <= 200; k += 10) tree.insert(k, V(k));
  // Erasing nodes with two children moves nodes, never keys: iterators at
  // other entries stay at their entries.
  std::vector<ZRedBlackTree::ZIterator> kept;
  for (unsigned long k = 10; k <= 200; k += 20) kept.push_back(tree.find(k));
  for (unsigned long k = 20; k <= 200; k += 40) tree.erase(tree.find(k));
  for (std::size_t i = 0; i < kept.size(); ++i) EXPECT_TRUE(kept[i] == tree.find(10 + 20 * i));
  // Equal iterators remove nothing; ranges stop before their last iterator.
  tree.erase(tree.find(130), tree.find(130));
  tree.erase(tree.find(50), tree.find(110));
  tree.erase(tree.find(150), tree.end());
  tree.erase(tree.begin(), tree.find(110));
  ExpectSameAs(tree, {{110, V(110)}, {120, V(120)}, {130, V(130)}});
  tree.erase(tree.begin(), tree.end());
  EXPECT_TRUE(tree.insert(3, V(3)));
  ExpectSameAs(tree, {{3, V(3)}});
}

TEST(ZRedBlackTree, SentinelLivesFromFirstTreeToLastAndKeysAreUnsigned) {
  const long base = HostKit_LiveBlocks("newop");
  {
    ZRedBlackTree* first = new ZRedBlackTree;
    ZRedBlackTree second;
    EXPECT_EQ(base + 4, HostKit_LiveBlocks("newop"));  // object, two headers, shared sentinel
    first->insert(2, V(2));
    delete first;
    EXPECT_EQ(base + 2, HostKit_LiveBlocks("newop"));  // the survivor keeps the sentinel
  }
  EXPECT_EQ(base, HostKit_LiveBlocks("newop"));
  // A tree made after the last one died makes the sentinel again.
  ZRedBlackTree tree;
  EXPECT_EQ(base + 2, HostKit_LiveBlocks("newop"));
  void* value = V(7);
  EXPECT_TRUE(!tree.find(1, value) && value == V(7));  // untouched on a miss
  for (unsigned long k : {0xFFFFFFFFUL, 0x80000000UL, 5UL, 0UL}) EXPECT_TRUE(tree.insert(k, V(k)));
  EXPECT_TRUE(tree.insert(5, V(99)));  // present: true, first value kept
  // Keys are 32-bit: a wider key stands for its low 32 bits.
  if (sizeof(unsigned long) > 4) tree.insert(0xFFFFFFFFUL + 6, V(50));
  ExpectSameAs(tree, {{0, V(0)}, {5, V(5)}, {0x80000000, V(0x80000000)}, {~0u, V(~0u)}});
}
