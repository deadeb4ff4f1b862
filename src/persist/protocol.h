// The persistence protocol of every persistent class, written once: the
// static Save, Load and LoadList of a class X reach the object only through
// its virtual Class() and File(). Root is the class at the root of X's
// family, the type of the pointer that the records' Make returns (ZBuffer
// for ZBuffer and ZString, X itself for the other classes).
#ifndef ORBCMN_PERSIST_PROTOCOL_H_
#define ORBCMN_PERSIST_PROTOCOL_H_

#include "lib/alloc.h"
#include "orbcmn/zmetaclass.h"
#include "orbcmn/zstreamer.h"
#include "persist/record_order.h"

namespace orb {

template <class X, class Root = X>
struct Persistence {
  // An object's bytes are gathered and handed to the file when its save
  // ends.
  static bool SaveValue(ZStreamer& s, X& x) {
    s.Gather();
    x.Class()->Save(s);
    bool saved = s.WriteUID(&x) ? x.File(s) : false;
    s.Deliver();
    return saved;
  }

  static bool SavePointer(ZStreamer& s, X* p) {
    if (p == nullptr) return s.Null();
    s.Gather();
    p->Class()->Save(s);
    bool saved = s.WriteUID(p) ? p->File(s) : true;
    s.Deliver();
    return saved;
  }

  static bool LoadValue(ZStreamer& s, X& x) {
    ZMetaClass* record = x.Class();
    if (!record->CheckNextStrict(s)) return false;
    ZStreamer::Identity known = s.ReadIdentity(&x, record);
    return known.read && known.object == nullptr && x.File(s);
  }

  // name is X's name constant. An object referred to again is handed out
  // when it was registered as an X or a subclass of X, whatever class the
  // reference names.
  static bool LoadPointer(ZStreamer& s, X*& p, const char* name) {
    ZMetaClass* record = ZMetaClass::LoadNext(s);
    if (record == nullptr) {
      p = nullptr;
      return !s.Error();
    }
    if (!record->IsSubClass(name)) return false;
    X* made = static_cast<X*>(static_cast<Root*>(record->Make()));
    if (made == nullptr) {
      p = nullptr;
      return false;
    }
    ZStreamer::Identity known = s.ReadIdentity(made, record);
    if (known.read && known.object == nullptr) {
      p = made;
      return made->File(s);
    }
    delete made;
    const ZMetaClass* kind = static_cast<const ZMetaClass*>(known.kind);
    if (known.object == nullptr || kind == nullptr || !kind->IsSubClass(name)) return false;
    p = static_cast<X*>(static_cast<Root*>(known.object));
    return !s.Error();
  }

  static bool LoadList(ZStreamer& s, X** head, int linkOffset, const char* name) {
    X* object = nullptr;
    if (!LoadElement(s, object, name)) return false;
    *head = object;
    while (object != nullptr) {
      X* next = nullptr;
      if (!LoadElement(s, next, name)) return false;
      *Link(object, linkOffset) = next;
      object = next;
    }
    return true;
  }

 private:
  // LoadPointer for a list element. A new element whose record failed is
  // destroyed, and the identities registered for it and inside it are
  // forgotten, so that nothing read later can refer to what was destroyed.
  static bool LoadElement(ZStreamer& s, X*& element, const char* name) {
    unsigned long mark = s.Registered();
    if (LoadPointer(s, element, name)) return true;
    if (s.Registered() > mark) {
      s.Forget(mark);
      delete element;
    }
    return false;
  }

  static X** Link(X* object, int offset) {
    return reinterpret_cast<X**>(reinterpret_cast<char*>(object) + offset);
  }
};

}  // namespace orb

// Defines, at namespace scope of X's .cpp, the name constant, the record
// (built at its rank in record_order.h), the meta-class and the protocol
// functions of X, declared by ORBCMN_PERSISTENT(X). X::File stays to be
// written.
#define ORBCMN_DEFINE_PERSISTENT(X)                                                           \
  const char* const X::n_##X = #X;                                                            \
  X::ZMeta##X X::c_##X ORBCMN_RECORD_PRIORITY(X)(X::n_##X);                                   \
  ORBCMN_DEFINE_ALLOC(X::ZMeta##X)                                                            \
  X::ZMeta##X::ZMeta##X(const char* name) : ZMetaClass(name) {}                               \
  void* X::ZMeta##X::Make() { return new X; }                                                 \
  X::ZMeta##X* X::Class() { return &c_##X; }                                                  \
  bool X::Save(ZStreamer& s, X& x) { return orb::Persistence<X>::SaveValue(s, x); }           \
  bool X::Save(ZStreamer& s, X* p) { return orb::Persistence<X>::SavePointer(s, p); }         \
  bool X::Load(ZStreamer& s, X& x) { return orb::Persistence<X>::LoadValue(s, x); }           \
  bool X::Load(ZStreamer& s, X*& p) { return orb::Persistence<X>::LoadPointer(s, p, n_##X); } \
  bool X::LoadList(ZStreamer& s, X** head, int linkOffset) {                                  \
    return orb::Persistence<X>::LoadList(s, head, linkOffset, n_##X);                         \
  }

#endif  // ORBCMN_PERSIST_PROTOCOL_H_
