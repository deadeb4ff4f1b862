// The file records of the atom table's seven classes.
//
// Every list of the tree is a chain on file: each element's record ends
// with its successor. Writing that by recursion would nest once per
// element, so SaveChain walks a chain in a loop and writes, for each
// element, its class tag, its identifier and its record without the
// successor; the bytes are those the recursion would give. LoadChain reads
// the same sequence back, linking each element only after its whole record
// has loaded.
#include "atoms/chain.h"
#include "orbcmn/zatomtable.h"
#include "orbcmn/zenum.h"
#include "persist/protocol.h"

ORBCMN_DEFINE_PERSISTENT(ZEnumItem)
ORBCMN_DEFINE_PERSISTENT(ZEnum)
ORBCMN_DEFINE_PERSISTENT(ZMulti)
ORBCMN_DEFINE_PERSISTENT(ZAtom)
ORBCMN_DEFINE_PERSISTENT(ZProtocol)
ORBCMN_DEFINE_PERSISTENT(ZClass)
ORBCMN_DEFINE_PERSISTENT(ZAtomTable)

namespace {

constexpr short kSchema = 1;

bool ReadSchema(ZStreamer& s) { return s.Schema() == kSchema; }

template <typename Node>
bool Contains(const Node* head, const Node* node, Node* Node::*link) {
  for (; head != nullptr; head = head->*link) {
    if (head == node) return true;
  }
  return false;
}

}  // namespace

// Record bodies (a record without its successor) and the chain walks.
struct AtomRecords {
  // Writes the chain that starts at head, then the null reference. An
  // element already in the stream goes out as a back-reference and ends the
  // chain there, as the element's own record (which holds the rest of the
  // chain) was written before.
  template <typename Node>
  static bool SaveChain(ZStreamer& s, Node* head, Node* Node::*link) {
    for (Node* node = head; node != nullptr; node = node->*link) {
      node->Class()->Save(s);
      if (!s.WriteUID(node)) return !s.Error();
      if (!SaveBody(s, *node)) return false;
    }
    return s.Null();
  }

  // Reads a chain into head (which must be empty) up to the null reference
  // or an unregistered class. Each element must be new in the stream: a
  // back-reference would give an element a second owner. An element whose
  // record fails is destroyed, and the identities registered for it and
  // inside it are forgotten.
  template <typename Node>
  static bool LoadChain(ZStreamer& s, Node*& head, Node* Node::*link, ZMetaClass& expected) {
    Node** tail = &head;
    for (;;) {
      ZMetaClass* record = ZMetaClass::LoadNext(s);
      if (record == nullptr) return !s.Error();
      if (!record->IsSubClass(expected.GetName())) return false;
      Node* node = static_cast<Node*>(record->Make());
      if (node == nullptr) return false;
      unsigned long mark = s.Registered();
      ZStreamer::Identity known = s.ReadIdentity(node, record);
      if (!known.read || known.object != nullptr || !node->File(s)) {
        s.Forget(mark);
        delete node;
        return false;
      }
      *tail = node;
      tail = &(node->*link);
    }
  }

  static bool SaveBody(ZStreamer& s, ZEnumItem& item) {
    return s.Schema(kSchema) && s.Write(static_cast<unsigned long>(item.value_)) &&
           ZString::Save(s, item.name_);
  }

  static bool LoadBody(ZStreamer& s, ZEnumItem& item) {
    unsigned long value = 0;
    if (!ReadSchema(s) || !s.Read(value)) return false;
    item.value_ = static_cast<uint32_t>(value);
    return ZString::Load(s, item.name_);
  }

  static bool SaveBody(ZStreamer& s, ZEnum& e) {
    return s.Schema(kSchema) && s.Write(e.size_) && s.Write(e.operation_) &&
           SaveChain(s, e.first_, &ZEnumItem::next_);
  }

  static bool LoadBody(ZStreamer& s, ZEnum& e) {
    if (!ReadSchema(s) || !s.Read(e.size_) || !s.Read(e.operation_)) return false;
    DestroyChain(e.first_, &ZEnumItem::next_);
    return LoadChain(s, e.first_, &ZEnumItem::next_, ZEnumItem::c_ZEnumItem);
  }

  // The enumeration goes out as a back-reference only: one not yet in the
  // stream would be written whole here, where a loader reads no chain.
  static bool SaveBody(ZStreamer& s, ZMulti& m) {
    if (!s.Schema(kSchema) || !s.Write(m.type_)) return false;
    if (m.enum_ == nullptr) return s.Null();
    m.enum_->Class()->Save(s);
    if (s.WriteUID(m.enum_)) {
      s.Fail();
      return false;
    }
    return !s.Error();
  }

  // Reads the enumeration reference: the null reference, or a
  // back-reference to an enumeration already loaded. The atom checks that
  // it is one of its own.
  static bool LoadBody(ZStreamer& s, ZMulti& m) {
    if (!ReadSchema(s) || !s.Read(m.type_)) return false;
    m.enum_ = nullptr;
    ZMetaClass* record = ZMetaClass::LoadNext(s);
    if (record == nullptr) return !s.Error();
    if (record != &ZEnum::c_ZEnum) return false;
    // A new identifier here is a whole object where none may be: it was
    // registered to this record, and is forgotten again.
    unsigned long mark = s.Registered();
    ZStreamer::Identity known = s.ReadIdentity(&m, record);
    if (known.object == nullptr || known.kind != record) {
      s.Forget(mark);
      return false;
    }
    m.enum_ = static_cast<ZEnum*>(known.object);
    return true;
  }

  static bool SaveBody(ZStreamer& s, ZAtom& a) {
    for (const ZMulti* m = a.multis_; m != nullptr; m = m->next_) {
      if (m->enum_ != nullptr && !Contains(a.enums_, m->enum_, &ZEnum::next_)) {
        s.Fail();
        return false;
      }
    }
    return s.Schema(kSchema) && s.Write(a.atom_) && s.Write(a.type0_) && s.Write(a.flags_) &&
           ZString::Save(s, a.name_) && SaveChain(s, a.enums_, &ZEnum::next_) &&
           SaveChain(s, a.multis_, &ZMulti::next_);
  }

  static bool LoadBody(ZStreamer& s, ZAtom& a) {
    if (!ReadSchema(s) || !s.Read(a.atom_) || !s.Read(a.type0_) || !s.Read(a.flags_)) {
      return false;
    }
    if (!ZString::Load(s, a.name_)) return false;
    DestroyChain(a.multis_, &ZMulti::next_);
    DestroyChain(a.enums_, &ZEnum::next_);
    if (!LoadChain(s, a.enums_, &ZEnum::next_, ZEnum::c_ZEnum) ||
        !LoadChain(s, a.multis_, &ZMulti::next_, ZMulti::c_ZMulti)) {
      return false;
    }
    for (const ZMulti* m = a.multis_; m != nullptr; m = m->next_) {
      if (m->enum_ != nullptr && !Contains(a.enums_, m->enum_, &ZEnum::next_)) return false;
    }
    return true;
  }

  static bool SaveBody(ZStreamer& s, ZProtocol& p) {
    return s.Schema(kSchema) && s.Write(p.protocol_) && SaveChain(s, p.first_, &ZAtom::next_);
  }

  static bool LoadBody(ZStreamer& s, ZProtocol& p) {
    if (!ReadSchema(s) || !s.Read(p.protocol_)) return false;
    DestroyChain(p.first_, &ZAtom::next_);
    return LoadChain(s, p.first_, &ZAtom::next_, ZAtom::c_ZAtom);
  }

  static bool SaveBody(ZStreamer& s, ZClass& c) {
    return s.Schema(kSchema) && s.Write(c.class_) && SaveChain(s, c.first_, &ZProtocol::next_);
  }

  static bool LoadBody(ZStreamer& s, ZClass& c) {
    if (!ReadSchema(s) || !s.Read(c.class_)) return false;
    DestroyChain(c.first_, &ZProtocol::next_);
    return LoadChain(s, c.first_, &ZProtocol::next_, ZProtocol::c_ZProtocol);
  }

  static bool SaveBody(ZStreamer& s, ZAtomTable& t) {
    return s.Schema(kSchema) && SaveChain(s, t.first_, &ZClass::next_);
  }

  static bool LoadBody(ZStreamer& s, ZAtomTable& t) {
    if (!ReadSchema(s)) return false;
    DestroyChain(t.first_, &ZClass::next_);
    return LoadChain(s, t.first_, &ZClass::next_, ZClass::c_ZClass);
  }

  // A record of a chain element: saving writes the body and the rest of
  // the chain; loading reads the body only.
  template <typename Node>
  static bool File(ZStreamer& s, Node& node, Node* Node::*link) {
    if (!s.Saving()) return LoadBody(s, node);
    return SaveBody(s, node) && SaveChain(s, node.*link, link);
  }
};

bool ZEnumItem::File(ZStreamer& s) { return AtomRecords::File(s, *this, &ZEnumItem::next_); }

bool ZEnum::File(ZStreamer& s) { return AtomRecords::File(s, *this, &ZEnum::next_); }

bool ZMulti::File(ZStreamer& s) { return AtomRecords::File(s, *this, &ZMulti::next_); }

bool ZAtom::File(ZStreamer& s) { return AtomRecords::File(s, *this, &ZAtom::next_); }

bool ZProtocol::File(ZStreamer& s) { return AtomRecords::File(s, *this, &ZProtocol::next_); }

bool ZClass::File(ZStreamer& s) { return AtomRecords::File(s, *this, &ZClass::next_); }

bool ZAtomTable::File(ZStreamer& s) {
  return s.Saving() ? AtomRecords::SaveBody(s, *this) : AtomRecords::LoadBody(s, *this);
}
