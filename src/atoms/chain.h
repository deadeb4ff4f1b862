// Singly linked chains of the atom classes: each node owns its successor
// through a link field. A naive destructor would recurse once per node;
// DestroyChain unlinks the nodes one by one so that a chain of any length is
// destroyed in constant stack depth.
#ifndef ORBCMN_ATOMS_CHAIN_H_
#define ORBCMN_ATOMS_CHAIN_H_

// Destroys head and every node after it (following `link`), then sets head
// to null.
template <typename Node>
void DestroyChain(Node*& head, Node* Node::*link) {
  Node* node = head;
  head = nullptr;
  while (node != nullptr) {
    Node* next = node->*link;
    node->*link = nullptr;
    delete node;
    node = next;
  }
}

// Appends node at the end of the chain that starts at head.
template <typename Node>
void AppendToChain(Node*& head, Node* node, Node* Node::*link) {
  Node** end = &head;
  while (*end != nullptr) end = &((*end)->*link);
  *end = node;
}

#endif  // ORBCMN_ATOMS_CHAIN_H_
