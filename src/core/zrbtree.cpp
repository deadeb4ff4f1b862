// The red-black tree: textbook insertion and deletion over one shared black
// sentinel, with a red header node per tree whose parent is the root and
// whose left and right are the smallest and largest entries.
#include "orbcmn/zrbtree.h"

#include "lib/alloc.h"

struct ZRedBlackTree::rb_tree_node {
  color_type color;
  rb_tree_node* parent;
  rb_tree_node* left;
  rb_tree_node* right;
  void* value;
  std::uint32_t key;
};

ORBCMN_DEFINE_ALLOC(ZRedBlackTree)

ZRedBlackTree::rb_tree_node* ZRedBlackTree::sNIL = nullptr;
int ZRedBlackTree::tree_count = 0;

ZRedBlackTree::rb_tree_node* ZRedBlackTree::minimum(rb_tree_node* x) {
  while (x->left != sNIL) x = x->left;
  return x;
}

ZRedBlackTree::rb_tree_node* ZRedBlackTree::maximum(rb_tree_node* x) {
  while (x->right != sNIL) x = x->right;
  return x;
}

// In-order predecessor of a node that is not the smallest.
ZRedBlackTree::rb_tree_node* ZRedBlackTree::prev(rb_tree_node* x) {
  if (x->left != sNIL) return maximum(x->left);
  rb_tree_node* y = x->parent;
  while (x == y->left) {
    x = y;
    y = y->parent;
  }
  return y;
}

ZRedBlackTree::ZRedBlackTree() : header_(nullptr), node_count_(0) {
  ++tree_count;
  if (sNIL == nullptr) {
    sNIL = new rb_tree_node;
    if (sNIL == nullptr) return;
    *sNIL = rb_tree_node{black, nullptr, nullptr, nullptr, nullptr, 0};
  }
  header_ = new rb_tree_node;
  if (header_ == nullptr) return;
  *header_ = rb_tree_node{red, sNIL, header_, header_, nullptr, 0};
}

ZRedBlackTree::~ZRedBlackTree() {
  if (header_ != nullptr) {
    clear();
    delete header_;
  }
  if (--tree_count == 0) {
    delete sNIL;
    sNIL = nullptr;
  }
}

ZRedBlackTree::rb_tree_node*& ZRedBlackTree::root() const { return header_->parent; }
ZRedBlackTree::rb_tree_node*& ZRedBlackTree::leftmost() const { return header_->left; }
ZRedBlackTree::rb_tree_node*& ZRedBlackTree::rightmost() const { return header_->right; }

bool ZRedBlackTree::insert(const unsigned long& key, void* const& value) {
  if (header_ == nullptr) return false;
  const std::uint32_t k = static_cast<std::uint32_t>(key);
  rb_tree_node* y = header_;
  rb_tree_node* x = root();
  bool wentLeft = true;
  while (x != sNIL) {
    y = x;
    wentLeft = k < x->key;
    x = wentLeft ? x->left : x->right;
  }
  // The key is new exactly when its would-be predecessor holds a smaller key.
  rb_tree_node* j = y;
  if (wentLeft) {
    if (j == leftmost()) return insert_node(y, k, value);
    j = prev(j);
  }
  if (j->key < k) return insert_node(y, k, value);
  return true;
}

bool ZRedBlackTree::insert_node(rb_tree_node* y, std::uint32_t key, void* value) {
  rb_tree_node* z = new rb_tree_node;
  if (z == nullptr) return false;
  ++node_count_;
  *z = rb_tree_node{red, y, sNIL, sNIL, value, key};
  if (y == header_ || key < y->key) {
    y->left = z;
    if (y == header_) {
      root() = z;
      rightmost() = z;
    } else if (y == leftmost()) {
      leftmost() = z;
    }
  } else {
    y->right = z;
    if (y == rightmost()) rightmost() = z;
  }
  insert_fixup(z);
  return true;
}

void ZRedBlackTree::insert_fixup(rb_tree_node* x) {
  while (x != root() && x->parent->color == red) {
    rb_tree_node* p = x->parent;
    rb_tree_node* g = p->parent;
    if (p == g->left) {
      rb_tree_node* uncle = g->right;
      if (uncle->color == red) {
        p->color = black;
        uncle->color = black;
        g->color = red;
        x = g;
      } else {
        if (x == p->right) {
          x = p;
          rotate_left(x);
        }
        x->parent->color = black;
        g->color = red;
        rotate_right(g);
      }
    } else {
      rb_tree_node* uncle = g->left;
      if (uncle->color == red) {
        p->color = black;
        uncle->color = black;
        g->color = red;
        x = g;
      } else {
        if (x == p->left) {
          x = p;
          rotate_right(x);
        }
        x->parent->color = black;
        g->color = red;
        rotate_left(g);
      }
    }
  }
  root()->color = black;
}

void ZRedBlackTree::rotate_left(rb_tree_node* x) {
  rb_tree_node* y = x->right;
  x->right = y->left;
  if (y->left != sNIL) y->left->parent = x;
  y->parent = x->parent;
  if (x == root()) {
    root() = y;
  } else if (x == x->parent->left) {
    x->parent->left = y;
  } else {
    x->parent->right = y;
  }
  y->left = x;
  x->parent = y;
}

void ZRedBlackTree::rotate_right(rb_tree_node* x) {
  rb_tree_node* y = x->left;
  x->left = y->right;
  if (y->right != sNIL) y->right->parent = x;
  y->parent = x->parent;
  if (x == root()) {
    root() = y;
  } else if (x == x->parent->right) {
    x->parent->right = y;
  } else {
    x->parent->left = y;
  }
  y->right = x;
  x->parent = y;
}

ZRedBlackTree::ZIterator ZRedBlackTree::find(const unsigned long& key) const {
  if (header_ == nullptr) return end();
  const std::uint32_t k = static_cast<std::uint32_t>(key);
  rb_tree_node* x = root();
  while (x != sNIL) {
    if (k < x->key) {
      x = x->left;
    } else if (x->key < k) {
      x = x->right;
    } else {
      return ZIterator(this, x);
    }
  }
  return end();
}

bool ZRedBlackTree::find(const unsigned long& key, void*& value) const {
  ZIterator it = find(key);
  if (it == end()) return false;
  value = it.node_->value;
  return true;
}

ZRedBlackTree::ZIterator ZRedBlackTree::begin() const {
  return ZIterator(this, header_ != nullptr ? leftmost() : nullptr);
}

ZRedBlackTree::ZIterator ZRedBlackTree::end() const { return ZIterator(this, header_); }

ZRedBlackTree::rb_tree_node* ZRedBlackTree::next(rb_tree_node* x) const {
  if (x == rightmost()) return header_;
  if (x->right != sNIL) return minimum(x->right);
  rb_tree_node* y = x->parent;
  while (x == y->right) {
    x = y;
    y = y->parent;
  }
  return y;
}

// Puts the subtree at v where the subtree at u was. When v is the sentinel
// this sets the sentinel's parent, which the delete fix-up reads.
void ZRedBlackTree::transplant(rb_tree_node* u, rb_tree_node* v) {
  if (u == root()) {
    root() = v;
  } else if (u == u->parent->left) {
    u->parent->left = v;
  } else {
    u->parent->right = v;
  }
  v->parent = u->parent;
}

void ZRedBlackTree::erase(ZIterator position) {
  rb_tree_node* z = position.node_;
  if (position.tree_ != this || z == header_ || z == nullptr) return;
  if (z == leftmost()) leftmost() = z->right != sNIL ? minimum(z->right) : z->parent;
  if (z == rightmost()) rightmost() = z->left != sNIL ? maximum(z->left) : z->parent;

  // Splice z out, or move its successor y into its place; nodes move,
  // keys and values stay in their nodes.
  rb_tree_node* x;
  color_type removed = z->color;
  if (z->left == sNIL) {
    x = z->right;
    transplant(z, z->right);
  } else if (z->right == sNIL) {
    x = z->left;
    transplant(z, z->left);
  } else {
    rb_tree_node* y = minimum(z->right);
    removed = y->color;
    x = y->right;
    if (y->parent == z) {
      x->parent = y;
    } else {
      transplant(y, y->right);
      y->right = z->right;
      y->right->parent = y;
    }
    transplant(z, y);
    y->left = z->left;
    y->left->parent = y;
    y->color = z->color;
  }
  if (removed == black) erase_fixup(x);
  delete z;
  --node_count_;
}

void ZRedBlackTree::erase_fixup(rb_tree_node* x) {
  while (x != root() && x->color == black) {
    rb_tree_node* p = x->parent;
    if (x == p->left) {
      rb_tree_node* w = p->right;
      if (w->color == red) {
        w->color = black;
        p->color = red;
        rotate_left(p);
        w = p->right;
      }
      if (w->left->color == black && w->right->color == black) {
        w->color = red;
        x = p;
      } else {
        if (w->right->color == black) {
          w->left->color = black;
          w->color = red;
          rotate_right(w);
          w = p->right;
        }
        w->color = p->color;
        p->color = black;
        w->right->color = black;
        rotate_left(p);
        x = root();
      }
    } else {
      rb_tree_node* w = p->left;
      if (w->color == red) {
        w->color = black;
        p->color = red;
        rotate_right(p);
        w = p->left;
      }
      if (w->right->color == black && w->left->color == black) {
        w->color = red;
        x = p;
      } else {
        if (w->left->color == black) {
          w->right->color = black;
          w->color = red;
          rotate_left(w);
          w = p->left;
        }
        w->color = p->color;
        p->color = black;
        w->left->color = black;
        rotate_right(p);
        x = root();
      }
    }
  }
  x->color = black;
}

void ZRedBlackTree::erase(ZIterator first, ZIterator last) {
  if (first.tree_ != this || last.tree_ != this || header_ == nullptr) return;
  if (first == begin() && last == end()) {
    clear();
    return;
  }
  rb_tree_node* x = first.node_;
  while (x != last.node_ && x != header_) {
    rb_tree_node* following = next(x);
    erase(ZIterator(this, x));
    x = following;
  }
}

// Frees every node in post-order without recursion: descend to a leaf,
// detach and free it, continue from its parent.
void ZRedBlackTree::clear() {
  rb_tree_node* x = root();
  while (x != sNIL) {
    if (x->left != sNIL) {
      x = x->left;
    } else if (x->right != sNIL) {
      x = x->right;
    } else {
      rb_tree_node* p = x->parent;
      if (p == header_) {
        p = sNIL;
      } else if (p->left == x) {
        p->left = sNIL;
      } else {
        p->right = sNIL;
      }
      delete x;
      x = p;
    }
  }
  root() = sNIL;
  leftmost() = header_;
  rightmost() = header_;
  node_count_ = 0;
}

void ZRedBlackTree::Inspect(Visitor visit, void* user) const {
  if (header_ == nullptr) return;
  rb_tree_node* x = root();
  while (x != sNIL) {
    visit(user, x->key, x->value, x->color == red, x->left != sNIL, x->right != sNIL);
    if (x->left != sNIL) {
      x = x->left;
      continue;
    }
    if (x->right != sNIL) {
      x = x->right;
      continue;
    }
    // Climb until a left child whose parent has a right subtree to visit.
    for (;;) {
      rb_tree_node* p = x->parent;
      if (p == header_) return;
      if (x == p->left && p->right != sNIL) {
        x = p->right;
        break;
      }
      x = p;
    }
  }
}
