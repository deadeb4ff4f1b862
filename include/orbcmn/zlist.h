// Circular doubly linked lists with a sentinel node and a count:
// ZListString, which owns copies of its strings, and the pointer lists,
// which hold pointers they do not own, one untyped implementation under a
// typed face per element class.
#ifndef ORBCMN_ZLIST_H_
#define ORBCMN_ZLIST_H_

#include "orbcmn/export.h"
#include "orbcmn/zstring.h"

class ZRegExp;
class ZSyntax;
class ZActionDescription;
class ZActionCode;
class ZActionFragment;
class ZActionArgument;
class ZActionCondition;

// What every list shares: the count and the sentinel of the ring. The
// sentinel is made by the constructor of each list and is the end position;
// in an empty list it is linked to itself.
class ORBCMN_API ZListBase {
 public:
  ORBCMN_DECLARE_ALLOC

  // The links at the start of every node: following and preceding node.
  struct Link {
    Link* next;
    Link* prev;
  };

  // What the iterators of every list share: a position on one node, the
  // sentinel being the end position. ++ follows next, -- follows prev.
  // Self is the iterator type.
  template <class Self>
  class Walk {
   public:
    Self& operator++() {
      node_ = node_->next;
      return static_cast<Self&>(*this);
    }
    Self operator++(int) {
      Self old = static_cast<Self&>(*this);
      node_ = node_->next;
      return old;
    }
    Self& operator--() {
      node_ = node_->prev;
      return static_cast<Self&>(*this);
    }
    Self operator--(int) {
      Self old = static_cast<Self&>(*this);
      node_ = node_->prev;
      return old;
    }
    bool operator==(const Self& other) const { return node_ == other.Walk::node_; }
    bool operator!=(const Self& other) const { return node_ != other.Walk::node_; }

   protected:
    explicit Walk(Link* node) : node_(node) {}
    Link* node_;
  };

  // Number of elements.
  int size() const { return count_; }

 protected:
  explicit ZListBase(Link* head) : count_(0), head_(head) {}
  ~ZListBase() = default;
  ZListBase(const ZListBase&) = delete;
  ZListBase& operator=(const ZListBase&) = delete;

  // First and last node; the sentinel when the list is empty.
  Link* first() const { return head_ != nullptr ? head_->next : nullptr; }
  Link* last() const { return head_ != nullptr ? head_->prev : nullptr; }
  Link* sentinel() const { return head_; }
  // Links `node` in before `pos` and counts it.
  void Hook(Link* pos, Link* node);
  // Unlinks `node` (not the sentinel) and uncounts it.
  void Unhook(Link* node);
  // Adds `node` at the end of the detached chain `chainFirst`..`chainLast`
  // (both null for an empty chain).
  static void Chain(Link*& chainFirst, Link*& chainLast, Link* node);
  // Links the detached chain of `n` nodes in before `pos` and counts them.
  void HookChain(Link* pos, Link* chainFirst, Link* chainLast, int n);

  int count_;
  Link* head_;  // null only when the sentinel could not be allocated
};

// The untyped pointer list behind every typed pointer list. A node holds a
// pointer only: removing nodes or destroying the list never touches the
// objects pointed to. When memory runs out an insertion does nothing.
class ORBCMN_API ZListPtrCore : public ZListBase {
 protected:
  struct Node : Link {
    void* value;
  };

  ZListPtrCore();
  // An empty list, then the pointers of `other` appended in order; empty
  // when memory runs out.
  ZListPtrCore(const ZListPtrCore& other);
  // Releases every node and the sentinel.
  ~ZListPtrCore();
  // Copies the pointers of `other` in order, reusing this list's nodes:
  // surplus nodes are released, missing ones appended. When memory runs
  // out the list is left empty, never a part of other.
  ZListPtrCore& operator=(const ZListPtrCore& other);

  static void* ValueOf(Link* node) { return static_cast<Node*>(node)->value; }
  // A node holding `value`, not yet linked; null when memory ran out. The
  // sentinel is such a node holding null, linked to itself.
  static Node* NewNode(void* value);
  static Link* NewSentinel();
  // A new node holding `value` before `pos`; the new node, or the sentinel
  // when no node could be allocated.
  Link* InsertValue(Link* pos, void* value);
  // Copies of the values from `first` up to but not including `last`,
  // inserted before `pos` in their order. The range may be of this list,
  // even around `pos`: it is copied whole before anything is linked in.
  void InsertRange(Link* pos, Link* first, Link* last);
  // Releases `node`; the sentinel is left alone.
  void EraseNode(Link* node);
  // Releases the nodes from `first` up to but not including `last`.
  void EraseRange(Link* first, Link* last);
  // First node holding `value`, or the sentinel.
  Link* Find(const void* value) const;
};

// A list of strings, each a copy owned by its node. The sentinel holds an
// empty string that is never an element.
//
// Iterators stay valid until their node is erased or the list destroyed;
// inserting never moves nodes. Removing from an empty list and erasing the
// end position do nothing. Ranges given to insert and erase must run
// forward within one list from `first` to `last`. When memory runs out an
// insertion does nothing.
class ORBCMN_API ZListString : public ZListBase {
  struct Node : Link {
    Node() : Link{this, this} {}
    explicit Node(const ZString& v) : Link{this, this}, value(v) {}
    ZString value;
  };

 public:
  // One node of the list: the end position is the sentinel. ++ follows
  // next, -- follows prev; * gives the string, which may be changed.
  class ZIterator : public Walk<ZIterator> {
   public:
    ZIterator() : Walk(nullptr) {}
    ZString& operator*() const { return static_cast<Node*>(node_)->value; }

   private:
    friend class ZListString;
    explicit ZIterator(Link* node) : Walk(node) {}
  };

  // An empty list.
  ZListString();
  // An empty list, then a copy of every string of `other`, in order. When
  // memory runs out the list is empty: a caller tells by size().
  ZListString(const ZListString& other);
  // Releases every node with its string, then the sentinel.
  ~ZListString();
  // Makes this list hold copies of the strings of `other`, in order:
  // existing nodes take the strings by ZString assignment, missing nodes
  // are appended and surplus nodes released. Nothing when `other` is this
  // list. When memory runs out the list is left empty, never a mix of its
  // old strings and other's.
  ZListString& operator=(const ZListString& other);

  // Appends a copy of `value`.
  void push_back(const ZString& value);
  // Puts a copy of `value` first.
  void push_front(const ZString& value);
  // Removes the last string.
  void pop_back();
  // Removes the first string.
  void pop_front();
  // Inserts a copy of `value` before `pos`; an iterator at the new string
  // (end() when memory ran out).
  ZIterator insert(const ZIterator& pos, const ZString& value);
  // Inserts copies of the strings from `first` up to but not including
  // `last` (usually of another list) before `pos`, in their order. A range
  // of this list is copied whole before anything is linked in.
  void insert(ZIterator pos, ZIterator first, ZIterator last);
  // Removes the string at `it`.
  void erase(ZIterator it);
  // Removes the strings from `first` up to but not including `last`.
  void erase(ZIterator first, ZIterator last);
  // The first string equal to `value` (exact, case-sensitive), or end().
  ZIterator find(const ZString& value) const;

  // The first string; end() when empty.
  ZIterator begin() const { return ZIterator(first()); }
  // The last string; end() when empty. Stepping back from it with --
  // reaches end() after the first string.
  ZIterator rbegin() const { return ZIterator(last()); }
  // The end position.
  ZIterator end() const { return ZIterator(sentinel()); }

 private:
  Link* InsertValue(Link* pos, const ZString& value);
  void InsertRange(Link* pos, Link* first, Link* last);
  void EraseNode(Link* node);
  void EraseRange(Link* first, Link* last);
};

// A list of pointers to T, never owning them. T need only be declared.
//
// Iterators stay valid until their node is erased or the list destroyed;
// inserting never moves nodes. Removing from an empty list and erasing the
// end position do nothing. Ranges given to insert and erase must run
// forward within one list from `first` to `last`.
template <class T>
class ZListP : public ZListPtrCore {
 public:
  // One node of the list: the end position is the sentinel. ++ follows
  // next, -- follows prev; * gives the element.
  class ZIterator : public ZListBase::Walk<ZIterator> {
   public:
    ZIterator() : ZListBase::Walk<ZIterator>(nullptr) {}
    T* operator*() const { return static_cast<T*>(ValueOf(this->node_)); }

   private:
    friend class ZListP;
    explicit ZIterator(Link* node) : ZListBase::Walk<ZIterator>(node) {}
  };

  // An empty list.
  ZListP() = default;
  // A list of the same pointers, in order.
  ZListP(const ZListP& other) = default;
  // Makes this list hold the same pointers as `other`, in order, reusing
  // existing nodes; lists of equal length allocate nothing.
  ZListP& operator=(const ZListP& other) = default;
  // Releases the nodes, not the objects pointed to.
  ~ZListP() = default;

  // Appends `value`.
  void push_back(T* const& value) { InsertValue(sentinel(), value); }
  // Puts `value` first.
  void push_front(T* const& value) { InsertValue(first(), value); }
  // Removes the last element.
  void pop_back() { EraseNode(last()); }
  // Removes the first element.
  void pop_front() { EraseNode(first()); }
  // Inserts `value` before `pos`; an iterator at the new element (end()
  // when memory ran out).
  ZIterator insert(const ZIterator& pos, T* const& value) {
    return ZIterator(InsertValue(pos.node_, value));
  }
  // Inserts the elements from `first` up to but not including `last`
  // (usually of another list) before `pos`, in their order.
  void insert(ZIterator pos, ZIterator first, ZIterator last) {
    InsertRange(pos.node_, first.node_, last.node_);
  }
  // Removes the element at `it`.
  void erase(ZIterator it) { EraseNode(it.node_); }
  // Removes the elements from `first` up to but not including `last`.
  void erase(ZIterator first, ZIterator last) { EraseRange(first.node_, last.node_); }
  // The first element holding the pointer `value`, or end().
  ZIterator find(T* const& value) const { return ZIterator(Find(value)); }

  // The first element; end() when empty.
  ZIterator begin() const { return ZIterator(first()); }
  // The last element; end() when empty. Stepping back from it with --
  // reaches end() after the first element.
  ZIterator rbegin() const { return ZIterator(last()); }
  // The end position.
  ZIterator end() const { return ZIterator(sentinel()); }
};

typedef ZListP<ZRegExp> ZListRegExpP;
typedef ZListP<ZSyntax> ZListSyntaxP;
typedef ZListP<ZActionDescription> ZListActionDescriptionP;
typedef ZListP<ZActionCode> ZListActionCodeP;
typedef ZListP<ZActionFragment> ZListActionFragmentP;
typedef ZListP<ZActionArgument> ZListActionArgumentP;
typedef ZListP<ZActionCondition> ZListActionConditionP;

#endif  // ORBCMN_ZLIST_H_
