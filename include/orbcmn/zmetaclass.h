// ZMetaClass: the record of a persistent class in the library-wide class
// registry; ZMetaClassAlias: another name under which a class is found.
// The object records on file are described in docs/formats.md.
//
// Every persistent class X has a static record X::c_X of its nested
// meta-class X::ZMetaZX and a name constant X::n_X (the class name text).
// The records are built when the library loads and never removed. In a
// stream, an object is written as its class tag (a long holding the class
// id, the hash of its name), its identifier and, at its first appearance,
// its own record; a loader reads the class tag, finds the record, makes an
// empty object with Make and has it read its record.
//
// The persistence protocol, the same for every persistent class X (ZBuffer
// and ZString declare theirs by hand; every other class puts
// ORBCMN_PERSISTENT(X) in its body):
//
//   static bool Save(ZStreamer& s, X& x)
//     Writes x's class tag (of x's own class, Class()), then x's identifier;
//     at x's first appearance returns x.File(s), otherwise false (an object
//     held by value appears once).
//   static bool Save(ZStreamer& s, X* p)
//     Null p: writes the null reference. Otherwise as above, but an object
//     written before gives true (only its tag and identifier are written).
//   static bool Load(ZStreamer& s, X& x)
//     False unless the next class tag is exactly that of x's class, and
//     false when the identifier that follows was loaded before; otherwise
//     registers x under it and returns x.File(s).
//   static bool Load(ZStreamer& s, X*& p)
//     Reads a class tag. The null reference, and a class id that no record
//     has, give p = null and true (false when the streamer has failed; the
//     bytes of an unknown object stay unread). A class that is neither X
//     nor a subclass of X (subclasses are known only after Attach) gives
//     false, p unchanged. Otherwise p = a new object of the stored class
//     (false with p null when Make gives none), then reads its identifier:
//     a new identifier returns p->File(s) with p the new object, owned by
//     the caller even when the result is false (it stays registered in the
//     streamer, so a caller that destroys it must not read on). An
//     identifier loaded before destroys the new object and sets p to the
//     earlier one (true unless the streamer has failed) when that object
//     was loaded as an X or a subclass of X, whatever class the reference
//     names; otherwise, and when no identifier follows, false with p
//     unchanged.
//   static bool LoadList(ZStreamer& s, X** head, int linkOffset)
//     Loads objects with Load(s, X*&) up to a null reference, linking each
//     to the next through the X* field at byte offset linkOffset within X;
//     *head = the first, and the last one's link is null. On failure returns
//     false: the objects loaded so far stay linked from *head, and an object
//     whose own record failed is destroyed, not linked; the streamer
//     forgets its identifier and those registered inside its record, so
//     that a later reference to one of them reads as a new object. The
//     error flag is set only by short reads, as always.
//   virtual bool File(ZStreamer& s)
//     The class's own record (written by the class's developer): written
//     when s.Saving(), read otherwise; it begins with the class's schema
//     value. Lists are written with Save(s, X*) per element and a final
//     s.Null(), and read with LoadList or Load(s, X*&) in a loop.
//   virtual ZMetaZX* Class()
//     &c_X.
//   ZMetaZX::Make()
//     A new default-constructed X, or null when memory runs out.
//
// To make a class X persistent (X other than ZBuffer and ZString):
//   1. In the class body: ORBCMN_PERSISTENT(X). Declare the class final:
//      it has virtual File and Class but no virtual destructor.
//   2. In its .cpp: #include "persist/protocol.h" and, at namespace scope,
//      ORBCMN_DEFINE_PERSISTENT(X); then write X::File.
//   3. The class must be listed in src/persist/record_order.h, which fixes
//      the order in which the records are created.
#ifndef ORBCMN_ZMETACLASS_H_
#define ORBCMN_ZMETACLASS_H_

#include "orbcmn/export.h"

class ZStreamer;

class ORBCMN_API ZMetaClass {
 public:
  ORBCMN_DECLARE_ALLOC

  // A root record for the class named name (a name constant, not copied):
  // id = ClassId(name), put at the head of the registry chain.
  explicit ZMetaClass(const char* name);
  // The same for a subclass of the class named parentName.
  ZMetaClass(const char* name, const char* parentName);
  // Copies every field; the copy is not put into the chain.
  ZMetaClass(const ZMetaClass& other) = default;
  ZMetaClass& operator=(const ZMetaClass& other) = default;
  // Does not unlink the record: records live as long as the library.
  virtual ~ZMetaClass();

  // A new empty object of the class, as a pointer to the class at the root
  // of its family (ZBuffer for ZString); null when memory runs out.
  virtual void* Make() = 0;

  // Links every record that has a parent name to its parent record, when
  // that is registered. Call once after the library has loaded, before
  // loads that rely on subclasses; later calls change nothing. True.
  static bool Attach();
  // Writes this record's class tag: the long tag (FF EA) and the id.
  bool Save(ZStreamer& s);
  // Reads a class tag; the record with that id. Null when the next item is
  // not a long or cannot be read, when the id is 0 (the null reference) or
  // when no record has the id.
  static ZMetaClass* LoadNext(ZStreamer& s);
  // True when LoadNext(s) is this very record.
  bool CheckNextStrict(ZStreamer& s);
  // True when name is this record's name constant or that of an ancestor.
  // Names compare by pointer: pass the name constant n_X itself.
  bool IsSubClass(const char* name) const;

  // The class id of a name: h = length, then h = h * 613 + byte (signed) for
  // every byte with 32-bit wrap-around; the absolute value of h modulo
  // 1073741827.
  static long ClassId(const char* name);

  // Inspection: the first record of the chain (the one built last), the
  // next one, and a record's name, id and parent (null before Attach).
  static ZMetaClass* GetFirst() { return s_head; }
  ZMetaClass* GetNext() const { return next_; }
  const char* GetName() const { return name_; }
  long GetId() const { return id_; }
  ZMetaClass* GetParent() const { return parent_; }

 protected:
  // The first record in the chain with id; null when none.
  static ZMetaClass* Find(long id);
  // The first record whose name is name (same pointer or equal text); when
  // none and useAliases is true, the first alias named name leads to the
  // record of its class name (aliases not used again). Null otherwise.
  static ZMetaClass* Find(const char* name, bool useAliases);
  // sub becomes this record's first subclass.
  void AttachSubClass(ZMetaClass* sub);
  // s becomes this record's next sibling.
  void AttachSibling(ZMetaClass* s);

 private:
  const char* name_;
  long id_;
  const char* parentName_;
  ZMetaClass* next_;
  ZMetaClass* parent_;
  ZMetaClass* firstSubClass_;
  ZMetaClass* nextSibling_;

  static ZMetaClass* s_head;
};

class ORBCMN_API ZMetaClassAlias {
 public:
  ORBCMN_DECLARE_ALLOC

  // Records that aliasName (not copied) stands for className, at the head
  // of the alias chain. Aliases live as long as the library.
  ZMetaClassAlias(const char* className, const char* aliasName);
  ~ZMetaClassAlias() {}
  // Copies the three fields; the copy is not put into the chain.
  ZMetaClassAlias& operator=(const ZMetaClassAlias& other) = default;

 private:
  friend class ZMetaClass;
  const char* alias_;
  const char* className_;
  ZMetaClassAlias* next_;

  static ZMetaClassAlias* s_head;
};

// Declares the persistence members of class X in its body (see above).
// Leaves the body in public access.
#define ORBCMN_PERSISTENT(X)                                    \
 public:                                                        \
  class ORBCMN_API ZMeta##X : public ZMetaClass {               \
   public:                                                      \
    ORBCMN_DECLARE_ALLOC                                        \
    explicit ZMeta##X(const char* name);                        \
    void* Make() override;                                      \
  };                                                            \
  static const char* const n_##X;                               \
  static ZMeta##X c_##X;                                        \
  static bool Save(ZStreamer& s, X& x);                         \
  static bool Save(ZStreamer& s, X* p);                         \
  static bool Load(ZStreamer& s, X& x);                         \
  static bool Load(ZStreamer& s, X*& p);                        \
  static bool LoadList(ZStreamer& s, X** head, int linkOffset); \
  virtual bool File(ZStreamer& s);                              \
  virtual ZMeta##X* Class();

#endif  // ORBCMN_ZMETACLASS_H_
