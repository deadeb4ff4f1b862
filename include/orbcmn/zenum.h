// Enumerations of atom argument values: ZEnumItem (one named value), ZEnum
// (a list of items with the argument's width and the way names combine) and
// ZMulti (the type and enumeration of one atom argument after the first).
//
// Each class keeps a singly linked chain of its own kind: a node owns its
// successor, so destroying the head destroys the whole chain (in constant
// stack depth, whatever its length). Copying would share those chains and
// is therefore not allowed. Values are 32-bit: only the low 32 bits of an
// unsigned long argument are kept.
//
// Persistence follows the protocol of orbcmn/zmetaclass.h. The records
// (schema value 1 first; numbers with their type tags; a chain is its
// elements one after the other, then the null reference):
//   ZEnumItem: schema, value (unsigned long), name (a ZString object),
//              then the following items.
//   ZEnum:     schema, size, operation (unsigned shorts), the item chain,
//              then the following enumerations.
//   ZMulti:    schema, type (unsigned short), the enumeration as a
//              back-reference to one already in the stream (or the null
//              reference), then the following records.
// File writes a record with everything that follows it in its chain, and
// reads one record without its successors (LoadList or the parent's record
// reads those). Chains are written and read iteratively, whatever their
// length. Loading into an object first destroys what its lists held; an
// item's name read is appended to the name it has, as a ZString record is.
#ifndef ORBCMN_ZENUM_H_
#define ORBCMN_ZENUM_H_

#include <stdint.h>

#include "orbcmn/export.h"
#include "orbcmn/zmetaclass.h"
#include "orbcmn/zstring.h"

class ZAtom;
class ZStreamer;
struct AtomRecords;

// A named value of an enumeration.
class ORBCMN_API ZEnumItem final {
  ORBCMN_PERSISTENT(ZEnumItem)
  ORBCMN_DECLARE_ALLOC

  // Value 0, empty name.
  ZEnumItem();
  // Copies name and lower-cases the copy (only the bytes A to Z change).
  ZEnumItem(const ZString& name, unsigned long value);
  // Destroys the items that follow this one and the name.
  ~ZEnumItem();
  ZEnumItem(const ZEnumItem&) = delete;
  ZEnumItem& operator=(const ZEnumItem&) = delete;

  // The lower-case name.
  const ZString& GetName() const;
  // The value (for bit fields: mask in bits 16-31, pattern in bits 0-15).
  unsigned long GetValue() const;

 private:
  friend class ZEnum;
  friend struct AtomRecords;

  uint32_t value_;
  ZString name_;
  ZEnumItem* next_;
};

// Names for the values of one argument.
class ORBCMN_API ZEnum final {
  ORBCMN_PERSISTENT(ZEnum)
  ORBCMN_DECLARE_ALLOC

  // How the names of an enumeration combine into a value.
  enum EOperation {
    eBitFlags = 1,     // each item names one bit; a value shows its set bits
    eSingleValue = 2,  // each item names a whole value
    eBitFields = 3,    // each item names a pattern under a mask
  };

  // Size 0, operation 0, no items.
  ZEnum();
  // The given size (argument width in bytes) and operation, no items.
  ZEnum(unsigned short size, unsigned short operation);
  // Destroys the items and the enumerations that follow this one.
  ~ZEnum();
  ZEnum(const ZEnum&) = delete;
  ZEnum& operator=(const ZEnum&) = delete;

  // Appends a new item (name lower-cased) at the end; repeated names or
  // values are not checked. True; false, with nothing added, when memory
  // runs out.
  bool AddItem(const ZString& name, unsigned long value);
  // The item at index (0 is the first), or null when index is out of range.
  ZEnumItem* GetItem(int index) const;
  unsigned short GetSize() const;
  unsigned short GetOperation() const;
  // The following enumeration of the same atom, or null; walking from
  // ZAtom::GetEnum(0) visits every enumeration of the atom in order.
  ZEnum* Next() const;

  // Value to text. Pieces are separated by " | "; a value without a name is
  // printed as a signed 32-bit decimal number.
  //  - bit flags: 0 gives the name of the first item of value 0, else "0";
  //    otherwise each set bit below size * 8, lowest first, gives the name
  //    of the first item whose value is exactly that bit, or the bit printed.
  //  - single value: the first item of that value, or the value printed.
  //  - bit fields: every item whose masked bits of value equal its pattern,
  //    in list order, then the bits no matching pattern holds, printed.
  //  - any other operation: empty.
  ZString Lookup(unsigned long value) const;
  // Text to value. The text is split at each '|' into tokens (blanks are
  // kept); a token is the value of the first item with exactly that name,
  // or a number in the forms ZString::IsNumeric accepts (decimal, 0x prefix,
  // x suffix), converted as ZString's operator long. Single value: the
  // first token gives the result, the rest is ignored. Bit flags: the
  // tokens' values ORed. Bit fields: the low 16 bits of the tokens' values
  // ORed. *ok is set true on success; on any bad or empty token, or an
  // unknown operation, *ok is false and the result 0. A null ok is not
  // written.
  unsigned long Lookup(const ZString& text, bool* ok) const;

 private:
  friend class ZAtom;
  friend struct AtomRecords;

  ZString LookupBitFlags(uint32_t value) const;
  ZString LookupSingleValue(uint32_t value) const;
  ZString LookupBitFields(uint32_t value) const;
  const ZEnumItem* FindItem(const char* name, unsigned int length) const;

  uint16_t size_;
  uint16_t operation_;
  ZEnumItem* first_;
  ZEnum* next_;
};

// The type of one atom argument after the first, and the enumeration that
// names its values. The enumeration is not owned: it belongs to the same
// atom's enumeration list.
class ORBCMN_API ZMulti final {
  ORBCMN_PERSISTENT(ZMulti)
  ORBCMN_DECLARE_ALLOC

  // Type 0, no enumeration.
  ZMulti();
  // The given type; e may be null and is not owned.
  ZMulti(unsigned short type, ZEnum* e);
  // Destroys the records that follow this one; the enumeration is left alone.
  // Saving fails when the enumeration is not yet in the stream: the record
  // can only hold a back-reference to it.
  ~ZMulti();
  ZMulti(const ZMulti&) = delete;
  ZMulti& operator=(const ZMulti&) = delete;

 private:
  friend class ZAtom;
  friend struct AtomRecords;

  uint16_t type_;
  ZEnum* enum_;
  ZMulti* next_;
};

#endif  // ORBCMN_ZENUM_H_
