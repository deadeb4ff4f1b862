// The records of ZBuffer and ZString and their places in the registry.
#include "orbcmn/zbuffer.h"
#include "orbcmn/zstreamer.h"
#include "orbcmn/zstring.h"
#include "persist/protocol.h"

namespace {
// The record's length field has 16 bits.
const unsigned int kMaxRecordLength = 0xFFFF;
const short kSchema = 1;
}  // namespace

typedef orb::Persistence<ZBuffer> BufferPersistence;
typedef orb::Persistence<ZString, ZBuffer> StringPersistence;

const char* const ZBuffer::n_ZBuffer = "ZBuffer";
ZBuffer::ZMetaZBuffer ZBuffer::c_ZBuffer ORBCMN_RECORD_PRIORITY(ZBuffer)(ZBuffer::n_ZBuffer);
const char* const ZString::n_ZString = "ZString";
ZString::ZMetaZString ZString::c_ZString ORBCMN_RECORD_PRIORITY(ZString)(ZString::n_ZString,
                                                                         ZBuffer::n_ZBuffer);

ORBCMN_DEFINE_ALLOC(ZBuffer::ZMetaZBuffer)
ORBCMN_DEFINE_ALLOC(ZString::ZMetaZString)

ZBuffer::ZMetaZBuffer::ZMetaZBuffer(const char* name) : ZMetaClass(name) {}
ZBuffer::ZMetaZBuffer::ZMetaZBuffer(const char* name, const char* parentName)
    : ZMetaClass(name, parentName) {}
void* ZBuffer::ZMetaZBuffer::Make() { return new ZBuffer; }

ZString::ZMetaZString::ZMetaZString(const char* name, const char* parentName)
    : ZMetaZBuffer(name, parentName) {}
void* ZString::ZMetaZString::Make() {
  ZBuffer* made = new ZString;
  return made;
}

ZBuffer::ZMetaZBuffer* ZBuffer::Class() { return &c_ZBuffer; }
ZBuffer::ZMetaZBuffer* ZString::Class() { return &c_ZString; }

bool ZBuffer::Save(ZStreamer& s, ZBuffer& x) { return BufferPersistence::SaveValue(s, x); }
bool ZBuffer::Save(ZStreamer& s, ZBuffer* p) { return BufferPersistence::SavePointer(s, p); }
bool ZBuffer::Load(ZStreamer& s, ZBuffer& x) { return BufferPersistence::LoadValue(s, x); }
bool ZBuffer::Load(ZStreamer& s, ZBuffer*& p) {
  return BufferPersistence::LoadPointer(s, p, n_ZBuffer);
}
bool ZBuffer::LoadList(ZStreamer& s, ZBuffer** head, int linkOffset) {
  return BufferPersistence::LoadList(s, head, linkOffset, n_ZBuffer);
}
bool ZString::Load(ZStreamer& s, ZString*& p) {
  return StringPersistence::LoadPointer(s, p, n_ZString);
}
bool ZString::LoadList(ZStreamer& s, ZString** head, int linkOffset) {
  return StringPersistence::LoadList(s, head, linkOffset, n_ZString);
}

bool ZBuffer::File(ZStreamer& s) {
  if (s.Saving()) {
    if (length_ > kMaxRecordLength) {
      s.Fail();
      return false;
    }
    unsigned short length = static_cast<unsigned short>(length_);
    s.Schema(kSchema);
    s.Write(length);
    s.Write(static_cast<const char*>(*this), length_, false);
    return true;
  }
  unsigned short length;
  if (s.Schema() != kSchema || !s.Read(length)) return false;
  // The bytes are read straight behind the data; a short read takes them
  // back off.
  unsigned int old = length_;
  if (length == 0 || !Add(nullptr, length)) return length == 0;
  if (s.Read(block_ + head_ + old, length, false)) return true;
  length_ = old;
  block_[head_ + old] = 0;
  return false;
}

bool ZString::File(ZStreamer& s) {
  if (s.Saving()) {
    if (!s.Schema(kSchema)) return false;
  } else if (s.Schema() != kSchema) {
    return false;
  }
  return ZBuffer::File(s);
}
