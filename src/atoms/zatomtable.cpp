#include "orbcmn/zatomtable.h"

#include <cstring>

#include "atoms/chain.h"
#include "lib/alloc.h"

ORBCMN_DEFINE_ALLOC(ZAtom)
ORBCMN_DEFINE_ALLOC(ZProtocol)
ORBCMN_DEFINE_ALLOC(ZClass)
ORBCMN_DEFINE_ALLOC(ZAtomTable)

// ZAtom

ZAtom::ZAtom()
    : atom_(0),
      type0_(0),
      flags_(0),
      enums_(nullptr),
      multis_(nullptr),
      next_(nullptr),
      protocol_(0) {}

ZAtom::ZAtom(unsigned short atom, const ZString& name)
    : atom_(atom),
      type0_(0),
      flags_(0),
      name_(name),
      enums_(nullptr),
      multis_(nullptr),
      next_(nullptr),
      protocol_(0) {
  name_.MakeLower();
}

ZAtom::~ZAtom() {
  DestroyChain(multis_, &ZMulti::next_);
  DestroyChain(enums_, &ZEnum::next_);
  DestroyChain(next_, &ZAtom::next_);
}

unsigned short ZAtom::GetAtom() const { return atom_; }

const ZString& ZAtom::GetName() const { return name_; }

unsigned short ZAtom::GetProtocol() const { return protocol_; }

unsigned short ZAtom::GetFlags() const { return flags_; }

void ZAtom::AddFlag(unsigned short bits) { flags_ = static_cast<uint16_t>(flags_ | bits); }

bool ZAtom::AddType(unsigned short type, ZEnum* e) {
  if (type0_ == 0) {
    type0_ = type;
    return true;
  }
  ZMulti* multi = new ZMulti(type, e);
  if (multi != nullptr) AppendToChain(multis_, multi, &ZMulti::next_);
  return multi != nullptr;
}

unsigned short ZAtom::GetType(int index) const {
  if (index == 0) return type0_;
  if (index < 0) return 0;
  const ZMulti* multi = multis_;
  while (multi != nullptr && --index > 0) multi = multi->next_;
  return multi != nullptr ? multi->type_ : 0;
}

ZEnum* ZAtom::AddEnum(unsigned short size, unsigned short operation) {
  ZEnum* e = new ZEnum(size, operation);
  if (e != nullptr) AppendToChain(enums_, e, &ZEnum::next_);
  return e;
}

ZEnum* ZAtom::GetEnum(int index) const {
  if (index == 0) return enums_;
  if (index < 0) return nullptr;
  const ZMulti* multi = multis_;
  while (multi != nullptr && --index > 0) multi = multi->next_;
  return multi != nullptr ? multi->enum_ : nullptr;
}

int ZAtom::GetNumArgRecords() const {
  int count = 0;
  for (const ZMulti* multi = multis_; multi != nullptr; multi = multi->next_) ++count;
  return count;
}

ZAtom* ZAtom::Next() const { return next_; }

// ZProtocol

ZProtocol::ZProtocol() : protocol_(0), first_(nullptr), next_(nullptr) {}

ZProtocol::ZProtocol(unsigned short protocol)
    : protocol_(protocol), first_(nullptr), next_(nullptr) {}

ZProtocol::~ZProtocol() {
  DestroyChain(first_, &ZAtom::next_);
  DestroyChain(next_, &ZProtocol::next_);
}

unsigned short ZProtocol::GetProtocol() const { return protocol_; }

ZAtom* ZProtocol::GetFirstAtom() const { return first_; }

ZProtocol* ZProtocol::Next() const { return next_; }

// ZClass

ZClass::ZClass() : class_(0), first_(nullptr), next_(nullptr) {}

ZClass::ZClass(unsigned short cls) : class_(cls), first_(nullptr), next_(nullptr) {}

ZClass::~ZClass() {
  DestroyChain(first_, &ZProtocol::next_);
  DestroyChain(next_, &ZClass::next_);
}

unsigned short ZClass::GetClass() const { return class_; }

ZProtocol* ZClass::GetFirstProtocol() const { return first_; }

ZClass* ZClass::Next() const { return next_; }

// ZAtomTable

ZAtomTable::ZAtomTable() : first_(nullptr) {}

ZAtomTable::~ZAtomTable() { DestroyChain(first_, &ZClass::next_); }

ZClass* ZAtomTable::GetFirstClass() const { return first_; }

ZClass* ZAtomTable::FindClass(unsigned short cls) const {
  ZClass* c = first_;
  while (c != nullptr && c->class_ != cls) c = c->next_;
  return c;
}

ZProtocol* ZAtomTable::FindProtocol(ZClass* c, unsigned short protocol) const {
  ZProtocol* p = c->first_;
  while (p != nullptr && p->protocol_ != protocol) p = p->next_;
  return p;
}

ZAtom* ZAtomTable::FindAtomA(ZProtocol* p, unsigned short atom) const {
  ZAtom* a = p->first_;
  while (a != nullptr && a->atom_ != atom) a = a->next_;
  return a;
}

ZAtom* ZAtomTable::AddAtomA(unsigned short cls, unsigned short protocol, unsigned short atom,
                            const ZString& name) {
  ZClass* c = FindClass(cls);
  if (c == nullptr) {
    c = new ZClass(cls);
    if (c == nullptr) return nullptr;
    AppendToChain(first_, c, &ZClass::next_);
  }
  ZProtocol* p = FindProtocol(c, protocol);
  if (p == nullptr) {
    p = new ZProtocol(protocol);
    if (p == nullptr) return nullptr;
    AppendToChain(c->first_, p, &ZProtocol::next_);
  }
  ZAtom* a = FindAtomA(p, atom);
  if (a == nullptr) {
    a = orb::MakeWhole<ZAtom>(atom, name);
    if (a == nullptr) return nullptr;
    AppendToChain(p->first_, a, &ZAtom::next_);
  }
  return a;
}

const ZAtom* ZAtomTable::GetAtom(unsigned short cls, unsigned short protocol,
                                 unsigned short atom) const {
  ZClass* c = FindClass(cls);
  if (c == nullptr) return nullptr;
  ZProtocol* p = FindProtocol(c, protocol);
  if (p == nullptr) return nullptr;
  ZAtom* a = FindAtomA(p, atom);
  if (a != nullptr) a->protocol_ = protocol;
  return a;
}

const ZAtom* ZAtomTable::GetAtom(const ZString& name) const {
  const unsigned int length = name.GetLength();
  for (ZClass* c = first_; c != nullptr; c = c->next_) {
    for (ZProtocol* p = c->first_; p != nullptr; p = p->next_) {
      for (ZAtom* a = p->first_; a != nullptr; a = a->next_) {
        if (a->name_.GetLength() != length) continue;
        if (length == 0 || std::memcmp(static_cast<const char*>(a->name_),
                                       static_cast<const char*>(name), length) == 0) {
          a->protocol_ = p->protocol_;
          return a;
        }
      }
    }
  }
  return nullptr;
}

const ZString& ZAtomTable::GetName(unsigned short cls, unsigned short protocol,
                                   unsigned short atom) const {
  const ZAtom* a = GetAtom(cls, protocol, atom);
  return a != nullptr ? a->name_ : unknown_;
}

unsigned short ZAtomTable::GetType(unsigned short cls, unsigned short protocol,
                                   unsigned short atom) const {
  const ZAtom* a = GetAtom(cls, protocol, atom);
  return a != nullptr ? a->type0_ : 0;
}
