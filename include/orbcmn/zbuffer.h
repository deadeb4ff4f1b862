// ZBuffer: a growable run of bytes in one host-allocated block, always
// followed by a zero byte so that the contents can also be read as text.
//
// Positions in the interface are 1-based. Bytes dropped from the front are
// skipped by an offset (the head) and reclaimed only when room is needed.
// The block comes straight from the host allocator under the tags "zb1"
// (first allocation), "zb3" (every resize) and "zb2" (release).
#ifndef ORBCMN_ZBUFFER_H_
#define ORBCMN_ZBUFFER_H_

#include <cstdint>

#include "orbcmn/export.h"
#include "orbcmn/zmetaclass.h"

class ORBCMN_API ZBuffer {
 public:
  ORBCMN_DECLARE_ALLOC

  // No block, all counts 0.
  ZBuffer();
  // Reserves room for n bytes as Add would (a block of n + 1 bytes or more),
  // then sets the length back to 0: empty and terminated.
  ZBuffer(unsigned int n);
  // Copies n bytes from p. A null p with n 0 makes no block; a non-null p
  // with n 0 makes an empty buffer that has a block.
  ZBuffer(const char* const p, unsigned int n);
  // Copies the other's data bytes; a buffer without a block gives a buffer
  // without a block. When memory runs out the copy is empty and has no
  // block (its pointer is null), whatever other holds: a failed copy of
  // data is told from a good one by its length.
  ZBuffer(const ZBuffer& other);
  // Releases the block (tag "zb2") when there is one.
  virtual ~ZBuffer();

  // Persistence (the protocol is described in zmetaclass.h). The record:
  // the schema value 1 (00 01), the unsigned-short tag (FF ED), the length
  // as 16 bits, then the data bytes as they are.
  class ORBCMN_API ZMetaZBuffer : public ZMetaClass {
   public:
    ORBCMN_DECLARE_ALLOC
    explicit ZMetaZBuffer(const char* name);
    ZMetaZBuffer(const char* name, const char* parentName);
    // A new empty ZBuffer.
    void* Make() override;
  };
  static const char* const n_ZBuffer;
  static ZMetaZBuffer c_ZBuffer;
  // Save, Load and LoadList follow the protocol of zmetaclass.h; they
  // serve ZString too.
  static bool Save(ZStreamer& s, ZBuffer& x);
  static bool Save(ZStreamer& s, ZBuffer* p);
  static bool Load(ZStreamer& s, ZBuffer& x);
  static bool Load(ZStreamer& s, ZBuffer*& p);
  static bool LoadList(ZStreamer& s, ZBuffer** head, int linkOffset);
  // Saving: writes the record; a buffer longer than 65535 bytes does not
  // fit the 16-bit length, so nothing is written, the streamer is marked
  // failed and the result is false. Otherwise true (write failures show in
  // the streamer's error flag). Loading: reads a record and appends its
  // bytes to the buffer; false, with the buffer unchanged, on a wrong
  // schema value, a wrong tag or a short read (a length beyond the end of
  // the stream is a short read).
  virtual bool File(ZStreamer& s);
  // &c_ZBuffer.
  virtual ZMetaZBuffer* Class();

  // Nothing on self-assignment; otherwise the data become a copy of
  // other's, as Empty then Add would make them. When memory runs out the
  // buffer is left exactly as it was.
  ZBuffer& operator=(const ZBuffer& other);
  // The data become the single byte c; as it was when memory runs out.
  ZBuffer& operator=(char c);

  // Append n bytes from p (Add); p may point into this buffer's own data.
  ZBuffer& Append(const char* const p, unsigned int n);
  // Appends the other's data bytes; appending a buffer to itself doubles it.
  ZBuffer& operator+=(const ZBuffer& other);
  // Appends one byte (inline: the common case, room for the byte and its
  // terminator, costs no call into the library).
  ZBuffer& operator+=(char c);

  // A new buffer holding only other's bytes: the receiver's bytes are not
  // part of the result (this is not a concatenation; use += for that).
  ZBuffer operator+(const ZBuffer& other) const;
  // A new buffer holding only the byte c; the receiver's bytes are not part
  // of the result.
  ZBuffer operator+(char c) const;

  // Number of data bytes.
  unsigned int GetLength() const { return length_; }
  // True when the length is 0.
  bool IsEmpty() const { return length_ == 0; }
  // The full flag; no operation sets it, so always false.
  bool IsFull() const { return full_; }
  // Pointer to the first data byte; null when there is no block.
  operator const char*() const { return block_ == nullptr ? nullptr : block_ + head_; }
  // The same pointer typed as unsigned bytes.
  const unsigned char* GetBytePtr() const {
    return reinterpret_cast<const unsigned char*>(static_cast<const char*>(*this));
  }

  // The byte at 1-based position i; position length + 1 reads the
  // terminating 0. Gives 0 when there is no block or i is outside
  // 1..length (rather than reading outside the data).
  char operator[](int i) const;
  char operator[](unsigned int i) const;
  // Reference to the byte at 1-based position i. When there is no block, i
  // is 0 or i exceeds the length: a reference to the library-wide scratch
  // character (initially 'U'), which every buffer shares.
  char& operator[](int i);
  char& operator[](unsigned int i);

  // True when both lengths are equal and all data bytes are equal; two empty
  // buffers are equal, with or without blocks.
  bool operator==(const ZBuffer& other) const;
  bool operator!=(const ZBuffer& other) const { return !(*this == other); }

  // Compares count bytes from 1-based position pos of this buffer with the
  // first count bytes of other. Count 0 means other's length; a count that
  // is then 0 matches. False when this buffer has no block, and (safely)
  // when pos is 0, pos + count - 1 exceeds this length or count exceeds
  // other's length.
  bool MatchSub(const ZBuffer& other, unsigned int count, unsigned int pos) const;
  // Compares count bytes from position pos with the first count bytes of s.
  // False when s is null, count is 0, this buffer has no block, or the range
  // lies outside the data. Stops at the first difference, so s may be a text
  // shorter than count.
  bool MatchSub(const char* s, unsigned int count, unsigned int pos) const;

  // Length 0, head 0, block[0] = 0, full flag cleared; block and capacity kept.
  ZBuffer& Empty();
  // Prefix: drops the first data byte by advancing the head (no bytes move).
  // Nothing on an empty buffer.
  ZBuffer& operator--();
  // Postfix: drops the last data byte and writes the terminator in its
  // place. Returns the buffer itself, not a copy. Nothing on an empty buffer.
  ZBuffer& operator--(int);
  // Removes count bytes at 1-based position pos. Count 0, or a count running
  // past the end, removes to the end. Removal at position 1 only advances
  // the head. Nothing when there is no block, pos is 0 or pos exceeds length.
  ZBuffer& Remove(unsigned int pos, unsigned int count);

  // Gives a writable area of at least n bytes at the start of the block:
  // moves the data to the block start (head 0), and when n exceeds the
  // capacity grows the block to at least n + 1 bytes, keeping the data and
  // the length. Returns the block; null when there is no block and n is 0,
  // or when the host allocator cannot supply the room. Call Release when done;
  // no other operation may run on the buffer in between.
  char* Lock(unsigned int n);
  // Ends a Lock. n non-zero: the length becomes n (no terminator is written;
  // n is limited to the capacity). n 0: the length becomes the number of
  // bytes before the first zero byte of the block (0 when there is no
  // block; the capacity when the block holds no zero byte).
  void Release(unsigned int n);

 protected:
  // The one place where the block grows. Appends n bytes from p (p may lie
  // in this block), or, with a null p, grows the length by n over bytes of
  // unspecified value. Nothing when p is null and n is 0. The first block
  // is 16 bytes when length + n + 1 fits, else length + n + 1 + 16; later
  // growth compacts the head away first and then resizes to 1.5 times the
  // needed size. When the host allocator fails, or the size would pass
  // 32 bits, the buffer is left unchanged and the result is false.
  bool Add(const char* const p, unsigned int n);
  // Replaces the data with n bytes from p (which must not lie in this
  // block), growing as Empty then Add would; when that fails, the buffer
  // is left exactly as it was and the result is false.
  bool Assign(const char* p, unsigned int n);

  char* block_;            // owned block; null until the first allocation
  unsigned int head_;      // bytes before the data (dropped, not reclaimed)
  unsigned int length_;    // number of data bytes
  unsigned int capacity_;  // size of the block; 0 without a block
  bool full_;              // full flag; cleared by constructors, Empty, assignment

 private:
  // Moves the data to the start of the block and sets the head to 0.
  void Compact();
  // Add's growth: a first block, compaction, or a resize, so that need
  // bytes fit from the head; false when the host allocator fails or the
  // size would pass 32 bits.
  bool Grow(std::uint64_t need);
};

inline ZBuffer& ZBuffer::operator+=(char c) {
  // Head plus length never exceed the capacity, which is 0 without a block.
  if (capacity_ - head_ - length_ >= 2) {
    char* end = block_ + head_ + length_++;
    end[0] = c;
    end[1] = 0;
  } else {
    Add(&c, 1);
  }
  return *this;
}

#endif  // ORBCMN_ZBUFFER_H_
