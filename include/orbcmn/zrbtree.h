// ZRedBlackTree: an ordered map from 32-bit unsigned keys to untyped
// pointers, with unique keys. The tree never owns the stored pointers.
#ifndef ORBCMN_ZRBTREE_H_
#define ORBCMN_ZRBTREE_H_

#include <cstdint>

#include "orbcmn/export.h"

// A red-black tree with a header node per tree and one black sentinel node
// shared by every tree of the process. The sentinel is made by the first
// tree constructed and released with the last one destroyed. Trees, and
// the sentinel they share, are used from one thread at a time.
//
// Keys are 32-bit values: a key is reduced to its low 32 bits wherever it
// is stored or compared, and keys order as unsigned numbers.
class ORBCMN_API ZRedBlackTree {
 public:
  ORBCMN_DECLARE_ALLOC

  enum color_type { red = 0, black = 1 };

 private:
  struct rb_tree_node;

 public:
  // A position in one tree: an entry, or the end position. Iterators are
  // obtained from begin(), end() and find() and handed back to erase().
  // Two iterators are equal when they belong to the same tree and are at
  // the same node. An iterator stays valid until its entry is erased.
  class ORBCMN_API ZIterator {
   public:
    ZIterator() : tree_(nullptr), node_(nullptr) {}
    bool operator==(const ZIterator& other) const {
      return tree_ == other.tree_ && node_ == other.node_;
    }
    bool operator!=(const ZIterator& other) const { return !(*this == other); }

   private:
    friend class ZRedBlackTree;
    ZIterator(const ZRedBlackTree* tree, rb_tree_node* node) : tree_(tree), node_(node) {}
    const ZRedBlackTree* tree_;
    rb_tree_node* node_;
  };

  // An empty tree. The first live tree also makes the shared sentinel. If
  // memory runs out the tree stays empty: insert() then returns false.
  ZRedBlackTree();
  // Frees every node and the header; the last live tree also frees the
  // shared sentinel. Stored pointers are left alone.
  ~ZRedBlackTree();
  ZRedBlackTree(const ZRedBlackTree&) = delete;
  ZRedBlackTree& operator=(const ZRedBlackTree&) = delete;

  // Adds the pair unless the key is present; a present key keeps its old
  // value. True in both cases; false only when no node could be allocated.
  bool insert(const unsigned long& key, void* const& value);
  // True and the stored value in `value` when the key is present; false
  // otherwise, leaving `value` untouched.
  bool find(const unsigned long& key, void*& value) const;
  // The entry of `key`, or end() when absent.
  ZIterator find(const unsigned long& key) const;
  // The entry with the smallest key; end() when the tree is empty.
  ZIterator begin() const;
  // The end position (the header).
  ZIterator end() const;
  // Removes the entry at `position`. The end position, or an iterator of
  // another tree, changes nothing.
  void erase(ZIterator position);
  // Removes the entries from `first` up to but not including `last`;
  // nothing when they are equal. begin() to end() clears the tree at once.
  // Iterators of another tree change nothing; when `last` does not follow
  // `first`, everything from `first` to the end is removed.
  void erase(ZIterator first, ZIterator last);
  // Number of entries.
  unsigned long size() const { return node_count_; }

  // Inspection hook for tests and diagnostics: calls `visit` for every
  // node in pre-order (a node, then its left subtree, then its right one),
  // walking down child links and back up parent links, with the node's
  // key, value and colour and whether it has a left and a right child.
  // The shape of the tree follows from the calls. Changes nothing.
  typedef void (*Visitor)(void* user, unsigned long key, void* value, bool isRed, bool hasLeft,
                          bool hasRight);
  void Inspect(Visitor visit, void* user) const;

 private:
  rb_tree_node*& root() const;
  rb_tree_node*& leftmost() const;
  rb_tree_node*& rightmost() const;
  bool insert_node(rb_tree_node* y, std::uint32_t key, void* value);
  void insert_fixup(rb_tree_node* x);
  void erase_fixup(rb_tree_node* x);
  void rotate_left(rb_tree_node* x);
  void rotate_right(rb_tree_node* x);
  void transplant(rb_tree_node* u, rb_tree_node* v);
  rb_tree_node* next(rb_tree_node* x) const;
  static rb_tree_node* minimum(rb_tree_node* x);
  static rb_tree_node* maximum(rb_tree_node* x);
  static rb_tree_node* prev(rb_tree_node* x);
  void clear();

  static rb_tree_node* sNIL;
  static int tree_count;

  rb_tree_node* header_;
  std::uint32_t node_count_;
};

#endif  // ORBCMN_ZRBTREE_H_
