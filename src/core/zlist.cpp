// The linked lists: ring links shared by all lists, the untyped pointer
// list behind every typed one, and the string list.
#include "orbcmn/zlist.h"

#include "lib/alloc.h"

ORBCMN_DEFINE_ALLOC(ZListBase)

void ZListBase::Hook(Link* pos, Link* node) {
  node->next = pos;
  node->prev = pos->prev;
  pos->prev->next = node;
  pos->prev = node;
  ++count_;
}

void ZListBase::Unhook(Link* node) {
  node->prev->next = node->next;
  node->next->prev = node->prev;
  --count_;
}

void ZListBase::Chain(Link*& chainFirst, Link*& chainLast, Link* node) {
  if (chainFirst == nullptr) {
    chainFirst = node;
  } else {
    chainLast->next = node;
    node->prev = chainLast;
  }
  chainLast = node;
}

void ZListBase::HookChain(Link* pos, Link* chainFirst, Link* chainLast, int n) {
  if (chainFirst == nullptr) return;
  chainFirst->prev = pos->prev;
  chainLast->next = pos;
  pos->prev->next = chainFirst;
  pos->prev = chainLast;
  count_ += n;
}

ZListPtrCore::Node* ZListPtrCore::NewNode(void* value) {
  Node* node = new Node;
  if (node != nullptr) *node = Node{{node, node}, value};
  return node;
}

ZListBase::Link* ZListPtrCore::NewSentinel() { return NewNode(nullptr); }

ZListPtrCore::ZListPtrCore() : ZListBase(NewSentinel()) {}

ZListPtrCore::ZListPtrCore(const ZListPtrCore& other) : ZListBase(NewSentinel()) {
  InsertRange(sentinel(), other.first(), other.sentinel());
}

ZListPtrCore::~ZListPtrCore() {
  EraseRange(first(), sentinel());
  delete static_cast<Node*>(head_);
}

ZListPtrCore& ZListPtrCore::operator=(const ZListPtrCore& other) {
  if (this == &other || head_ == nullptr) return *this;
  Link* mine = first();
  Link* theirs = other.first();
  while (mine != head_ && theirs != other.head_) {
    static_cast<Node*>(mine)->value = static_cast<Node*>(theirs)->value;
    mine = mine->next;
    theirs = theirs->next;
  }
  InsertRange(head_, theirs, other.head_);
  EraseRange(mine, head_);
  // Memory ran out: an empty list rather than a part of other.
  if (count_ != other.count_) EraseRange(first(), head_);
  return *this;
}

ZListBase::Link* ZListPtrCore::InsertValue(Link* pos, void* value) {
  if (head_ == nullptr) return nullptr;
  Node* node = NewNode(value);
  if (node == nullptr) return head_;
  Hook(pos, node);
  return node;
}

void ZListPtrCore::InsertRange(Link* pos, Link* first, Link* last) {
  if (head_ == nullptr) return;
  // Copy into a detached chain first, so that a range of this very list
  // is read before any of it changes.
  Link* chainFirst = nullptr;
  Link* chainLast = nullptr;
  int added = 0;
  for (Link* x = first; x != last; x = x->next) {
    Node* node = NewNode(static_cast<Node*>(x)->value);
    if (node == nullptr) {
      // All or nothing: the copies made so far go again.
      for (Link* y = chainFirst; y != nullptr; chainFirst = y) {
        y = y == chainLast ? nullptr : y->next;
        delete static_cast<Node*>(chainFirst);
      }
      return;
    }
    Chain(chainFirst, chainLast, node);
    ++added;
  }
  HookChain(pos, chainFirst, chainLast, added);
}

void ZListPtrCore::EraseNode(Link* node) {
  if (node == head_) return;
  Unhook(node);
  delete static_cast<Node*>(node);
}

void ZListPtrCore::EraseRange(Link* first, Link* last) {
  while (first != last && first != head_) {
    Link* following = first->next;
    EraseNode(first);
    first = following;
  }
}

ZListBase::Link* ZListPtrCore::Find(const void* value) const {
  Link* x = first();
  while (x != head_ && static_cast<Node*>(x)->value != value) x = x->next;
  return x;
}

ZListString::ZListString() : ZListBase(new Node) {}

ZListString::ZListString(const ZListString& other) : ZListBase(new Node) {
  InsertRange(sentinel(), other.first(), other.sentinel());
}

ZListString::~ZListString() {
  EraseRange(first(), sentinel());
  delete static_cast<Node*>(head_);
}

ZListString& ZListString::operator=(const ZListString& other) {
  if (this == &other || head_ == nullptr) return *this;
  Link* mine = first();
  Link* theirs = other.first();
  bool whole = true;
  while (mine != head_ && theirs != other.head_) {
    ZString& value = static_cast<Node*>(mine)->value;
    value = static_cast<Node*>(theirs)->value;
    whole = whole && value.GetLength() == static_cast<Node*>(theirs)->value.GetLength();
    mine = mine->next;
    theirs = theirs->next;
  }
  InsertRange(head_, theirs, other.head_);
  EraseRange(mine, head_);
  // Memory ran out: an empty list rather than a mix of old and new strings.
  if (!whole || count_ != other.count_) EraseRange(first(), head_);
  return *this;
}

void ZListString::push_back(const ZString& value) { InsertValue(sentinel(), value); }
void ZListString::push_front(const ZString& value) { InsertValue(first(), value); }
void ZListString::pop_back() { EraseNode(last()); }
void ZListString::pop_front() { EraseNode(first()); }

ZListString::ZIterator ZListString::insert(const ZIterator& pos, const ZString& value) {
  return ZIterator(InsertValue(pos.node_, value));
}

void ZListString::insert(ZIterator pos, ZIterator first, ZIterator last) {
  InsertRange(pos.node_, first.node_, last.node_);
}

void ZListString::erase(ZIterator it) { EraseNode(it.node_); }

void ZListString::erase(ZIterator first, ZIterator last) { EraseRange(first.node_, last.node_); }

ZListString::ZIterator ZListString::find(const ZString& value) const {
  Link* x = first();
  while (x != head_ && !(static_cast<Node*>(x)->value == value)) x = x->next;
  return ZIterator(x);
}

namespace {

// A node holding a whole copy of value; null when memory ran out.
template <class Node>
Node* NodeOf(const ZString& value) {
  Node* node = new Node(value);
  if (node != nullptr && node->value.GetLength() != value.GetLength()) {
    delete node;
    return nullptr;
  }
  return node;
}

}  // namespace

ZListBase::Link* ZListString::InsertValue(Link* pos, const ZString& value) {
  if (head_ == nullptr) return nullptr;
  Node* node = NodeOf<Node>(value);
  if (node == nullptr) return head_;
  Hook(pos, node);
  return node;
}

void ZListString::InsertRange(Link* pos, Link* first, Link* last) {
  if (head_ == nullptr) return;
  Link* chainFirst = nullptr;
  Link* chainLast = nullptr;
  int added = 0;
  for (Link* x = first; x != last; x = x->next) {
    Node* node = NodeOf<Node>(static_cast<Node*>(x)->value);
    if (node == nullptr) {
      for (Link* y = chainFirst; y != nullptr; chainFirst = y) {
        y = y == chainLast ? nullptr : y->next;
        delete static_cast<Node*>(chainFirst);
      }
      return;
    }
    Chain(chainFirst, chainLast, node);
    ++added;
  }
  HookChain(pos, chainFirst, chainLast, added);
}

void ZListString::EraseNode(Link* node) {
  if (node == head_) return;
  Unhook(node);
  delete static_cast<Node*>(node);
}

void ZListString::EraseRange(Link* first, Link* last) {
  while (first != last && first != head_) {
    Link* following = first->next;
    EraseNode(first);
    first = following;
  }
}
