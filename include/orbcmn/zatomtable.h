// The atom table: classes hold protocols, protocols hold atoms, and each
// atom records its name, argument types, flag word and the enumerations
// that name its argument values (orbcmn/zenum.h).
// docs/formats.md describes the table's file format.
//
// Every level is a singly linked chain in insertion order (or file order
// after a load); a node owns its successor and its child chains, so
// destroying the table destroys the whole tree, in constant stack depth
// whatever the length of its lists. Copying would share owned chains and is
// therefore not allowed. All lookups are linear scans.
//
// Persistence follows the protocol of orbcmn/zmetaclass.h. The records
// (schema value 1 first; numbers are unsigned shorts with their type tag; a
// chain is its elements one after the other, then the null reference):
//   ZAtomTable: schema, the class chain.
//   ZClass:     schema, class number, the protocol chain, then the
//               following classes.
//   ZProtocol:  schema, protocol number, the atom chain, then the following
//               protocols.
//   ZAtom:      schema, atom number, argument 0 type, flags, name (a
//               ZString object), the enumeration chain, the argument record
//               chain, then the following atoms.
// File writes a record with everything that follows it in its chain, and
// reads one record without its successors (LoadList or the parent's record
// reads those); chains are written and read iteratively, so a list of any
// length costs no stack depth. The atom's protocol number and the table's
// unknown name are not stored. Loading into an object first destroys what
// its lists held; the name read is appended to the name it has, as a
// ZString record is.
//
// Saving fails (false) on an argument record whose enumeration is not one
// of its own atom's, which the file could not give back. A chain element
// already written to the same stream goes out as a back-reference that
// ends the chain (the loader refuses such a chain). Loading fails on
// any record that does not match; an element is linked into its list only
// once its whole record has loaded, and an element whose record failed is
// destroyed and its identifier forgotten by the streamer (a later
// reference to it reads as a new object); the error flag is left as the
// reads left it. A chain element that
// refers back to an object already loaded, or an argument record whose
// enumeration is not among its atom's, fails the load. The object given to
// the top-level Load keeps what was linked.
#ifndef ORBCMN_ZATOMTABLE_H_
#define ORBCMN_ZATOMTABLE_H_

#include <stdint.h>

#include "orbcmn/export.h"
#include "orbcmn/zenum.h"
#include "orbcmn/zmetaclass.h"
#include "orbcmn/zstring.h"

class ZStreamer;
struct AtomRecords;

// One atom definition.
class ORBCMN_API ZAtom final {
  ORBCMN_PERSISTENT(ZAtom)
  ORBCMN_DECLARE_ALLOC

  // All numbers 0, empty name, no lists.
  ZAtom();
  // Copies name and lower-cases the copy (only the bytes A to Z change);
  // argument 0 type, flags and protocol number 0.
  ZAtom(unsigned short atom, const ZString& name);
  // Destroys the enumerations, the argument records and the atoms that
  // follow this one.
  ~ZAtom();
  ZAtom(const ZAtom&) = delete;
  ZAtom& operator=(const ZAtom&) = delete;

  unsigned short GetAtom() const;
  // The lower-case name.
  const ZString& GetName() const;
  // The protocol in which the last table lookup found this atom; 0 before.
  unsigned short GetProtocol() const;
  unsigned short GetFlags() const;
  // Flags become flags OR bits.
  void AddFlag(unsigned short bits);

  // Records the type of the next argument. While the argument 0 type is 0,
  // type goes there and e is ignored (so AddType(0, ...) leaves argument 0
  // open). Otherwise an argument record (type, e) is appended; it refers to
  // e without owning it, and e should be one of this atom's enumerations.
  // True; false, with nothing recorded, when memory runs out.
  bool AddType(unsigned short type, ZEnum* e);
  // Index 0: the argument 0 type. Index n >= 1: the type of the n-th
  // argument record. 0 when there is no such argument.
  unsigned short GetType(int index) const;
  // Makes an enumeration with that size and operation, appends it to the
  // atom's enumerations (which own it) and returns it; null when memory
  // runs out.
  ZEnum* AddEnum(unsigned short size, unsigned short operation);
  // Index 0: the first enumeration ever added to the atom, whichever
  // argument it was made for. Index n >= 1: the enumeration the n-th
  // argument record refers to. Null when there is none.
  ZEnum* GetEnum(int index) const;
  // The number of argument records (arguments 1, 2, ...), which GetType and
  // GetEnum reach with indexes 1 to that number.
  int GetNumArgRecords() const;

  // The following atom of the protocol, or null.
  ZAtom* Next() const;

 private:
  friend class ZAtomTable;
  friend class ZProtocol;
  friend struct AtomRecords;

  uint16_t atom_;
  uint16_t type0_;
  uint16_t flags_;
  ZString name_;
  ZEnum* enums_;
  ZMulti* multis_;
  ZAtom* next_;
  mutable uint16_t protocol_;  // written by the table's lookups
};

// The atoms of one protocol.
class ORBCMN_API ZProtocol final {
  ORBCMN_PERSISTENT(ZProtocol)
  ORBCMN_DECLARE_ALLOC

  // Number 0, no atoms.
  ZProtocol();
  explicit ZProtocol(unsigned short protocol);
  // Destroys the atoms and the protocols that follow this one.
  ~ZProtocol();
  ZProtocol(const ZProtocol&) = delete;
  ZProtocol& operator=(const ZProtocol&) = delete;

  unsigned short GetProtocol() const;
  // The first atom, or null.
  ZAtom* GetFirstAtom() const;
  // The following protocol of the class, or null.
  ZProtocol* Next() const;

 private:
  friend class ZAtomTable;
  friend class ZClass;
  friend struct AtomRecords;

  uint16_t protocol_;
  ZAtom* first_;
  ZProtocol* next_;
};

// The protocols of one class.
class ORBCMN_API ZClass final {
  ORBCMN_PERSISTENT(ZClass)
  ORBCMN_DECLARE_ALLOC

  // Number 0, no protocols.
  ZClass();
  explicit ZClass(unsigned short cls);
  // Destroys the protocols and the classes that follow this one.
  ~ZClass();
  ZClass(const ZClass&) = delete;
  ZClass& operator=(const ZClass&) = delete;

  unsigned short GetClass() const;
  // The first protocol, or null.
  ZProtocol* GetFirstProtocol() const;
  // The following class of the table, or null.
  ZClass* Next() const;

 private:
  friend class ZAtomTable;
  friend struct AtomRecords;

  uint16_t class_;
  ZProtocol* first_;
  ZClass* next_;
};

// The root of the tree.
class ORBCMN_API ZAtomTable final {
  ORBCMN_PERSISTENT(ZAtomTable)
  ORBCMN_DECLARE_ALLOC

  // An empty table.
  ZAtomTable();
  // Destroys the whole tree.
  ~ZAtomTable();
  ZAtomTable(const ZAtomTable&) = delete;
  ZAtomTable& operator=(const ZAtomTable&) = delete;

  // The first class, or null when the table is empty.
  ZClass* GetFirstClass() const;
  // Finds the atom (cls, protocol, atom), making the class, protocol and
  // atom that are missing at the end of their lists. An existing atom is
  // returned unchanged (name ignored); a new one gets the name lower-cased
  // and protocol number 0. Null only when memory runs out.
  ZAtom* AddAtomA(unsigned short cls, unsigned short protocol, unsigned short atom,
                  const ZString& name);
  // The atom with these numbers, or null. A found atom records protocol as
  // its protocol number.
  const ZAtom* GetAtom(unsigned short cls, unsigned short protocol, unsigned short atom) const;
  // The first atom, in class, protocol and atom order, whose name equals
  // name exactly (name is not lower-cased), or null. A found atom records
  // the number of the protocol it was found in.
  const ZAtom* GetAtom(const ZString& name) const;
  // The name of the atom with these numbers, or an empty string. Records
  // the protocol number as GetAtom does.
  const ZString& GetName(unsigned short cls, unsigned short protocol, unsigned short atom) const;
  // The argument 0 type of the atom with these numbers, or 0. Records the
  // protocol number as GetAtom does.
  unsigned short GetType(unsigned short cls, unsigned short protocol, unsigned short atom) const;

 private:
  friend struct AtomRecords;

  ZClass* FindClass(unsigned short cls) const;
  ZProtocol* FindProtocol(ZClass* c, unsigned short protocol) const;
  ZAtom* FindAtomA(ZProtocol* p, unsigned short atom) const;

  ZClass* first_;
  ZString unknown_;  // always empty: the name of an atom not in the table
};

#endif  // ORBCMN_ZATOMTABLE_H_
