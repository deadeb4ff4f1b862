// The linked lists: ring links shared by all lists, and the untyped pointer
// list behind every typed one.
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
  if (head_ == nullptr || first == last) return;
  // Copy into a detached chain first, so that a range of this very list
  // is read before any of it changes.
  Node* chainFirst = nullptr;
  Node* chainLast = nullptr;
  int added = 0;
  for (Link* x = first; x != last; x = x->next) {
    Node* node = NewNode(static_cast<Node*>(x)->value);
    if (node == nullptr) break;
    if (chainFirst == nullptr) {
      chainFirst = node;
    } else {
      chainLast->next = node;
      node->prev = chainLast;
    }
    chainLast = node;
    ++added;
  }
  if (chainFirst == nullptr) return;
  chainFirst->prev = pos->prev;
  chainLast->next = pos;
  pos->prev->next = chainFirst;
  pos->prev = chainLast;
  count_ += added;
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
