// ZAtomBuffer: a byte buffer in which atom streams are built.
// docs/formats.md describes atom streams beside the other byte formats.
//
// An atom on the wire is its header (the protocol in a one- or two-byte
// form, then the atom number in one byte), a length field of one or two
// bytes, then that many data bytes. Every AppendAtom call appends exactly
// one complete atom at the end of the buffer; numbers go out most
// significant byte first.
//
// Limits of the format: protocol 0 to 127, atom 0 to 255, data 0 to 32,767
// bytes. A call whose arguments fall outside them (a protocol outside 0 to
// 127, an atom outside 0 to 255, a negative byte count, a null data pointer
// with a non-zero count, or data longer than 32,767 bytes once the leading
// or trailing value of a combined form is counted) is refused: it appends
// nothing and leaves the buffer as it was.
//
// long and unsigned long arguments are taken as 32-bit values: only their
// low 32 bits count, signed for long.
#ifndef ORBCMN_ZATOMBUFFER_H_
#define ORBCMN_ZATOMBUFFER_H_

#include "orbcmn/export.h"
#include "orbcmn/zbuffer.h"

class ORBCMN_API ZAtomBuffer : public ZBuffer {
 public:
  ORBCMN_DECLARE_ALLOC

  // An empty buffer without a block.
  ZAtomBuffer();
  // A copy of the other buffer's bytes.
  ZAtomBuffer(const ZAtomBuffer& other);
  // A buffer holding a copy of the n bytes at p.
  ZAtomBuffer(const char* p, int n);
  ZAtomBuffer(const unsigned char* p, int n);
  ~ZAtomBuffer() override;

  // Replaces the content with the other buffer's bytes.
  ZAtomBuffer& operator=(const ZAtomBuffer& other);

  // An atom without data: header and the length byte 00.
  void AppendAtom(int protocol, int atom);
  // One data byte c.
  void AppendAtom(int protocol, int atom, char c);
  void AppendAtom(int protocol, int atom, unsigned char c);
  // The data bytes a, b (and c).
  void AppendAtom(int protocol, int atom, unsigned char a, unsigned char b);
  void AppendAtom(int protocol, int atom, unsigned char a, unsigned char b, unsigned char c);
  // a, b, then w in two bytes: 4 data bytes.
  void AppendAtom(int protocol, int atom, unsigned char a, unsigned char b, unsigned short w);
  // The n bytes at s.
  void AppendAtom(int protocol, int atom, const char* s, int n);
  void AppendAtom(int protocol, int atom, const unsigned char* s, int n);
  // w in one byte when below 256, otherwise in two.
  void AppendAtom(int protocol, int atom, unsigned short w);
  // Each word in two bytes: 4 and 6 data bytes.
  void AppendAtom(int protocol, int atom, unsigned short w1, unsigned short w2);
  void AppendAtom(int protocol, int atom, unsigned short w1, unsigned short w2, unsigned short w3);
  // v in one byte when -127 <= v <= 126 (its low byte), otherwise in two.
  void AppendAtom(int protocol, int atom, short v);
  // v in one byte below 256, two below 65,536, otherwise four.
  void AppendAtom(int protocol, int atom, unsigned long v);
  // x then y, each in four bytes: 8 data bytes.
  void AppendAtom(int protocol, int atom, unsigned long x, unsigned long y);
  // v in one byte when -127 <= v <= 126, in two when -32,767 <= v <= 32,766,
  // otherwise in four (two's complement).
  void AppendAtom(int protocol, int atom, long v);
  // c, then the n bytes at s: n + 1 data bytes.
  void AppendAtom(int protocol, int atom, char c, const char* s, int n);
  // v in four bytes, then the n bytes at s: n + 4 data bytes.
  void AppendAtom(int protocol, int atom, unsigned long v, const char* s, int n);
  // The n bytes at s, then v in four bytes: n + 4 data bytes.
  void AppendAtom(int protocol, int atom, const char* s, int n, unsigned long v);
  // The current content of b as data; b may be this buffer itself.
  void AppendAtom(int protocol, int atom, const ZAtomBuffer& b);
  void AppendAtom(int protocol, int atom, const ZBuffer& b);
  // A platform colour value (red in the low byte, then green, then blue) as
  // the three data bytes red, green, blue.
  void AppendAtomColor(int protocol, int atom, unsigned long rgb);

 protected:
  // Appends the atom header, the length field and the length bytes at data
  // (data is not read when length is 0). Every AppendAtom ends here; this is
  // where the limits above are enforced. data may point into this buffer.
  void AppendProtocolAtomLength(int protocol, int atom, const char* data, unsigned int length);

  // Reverse the byte order of the 32-bit or 16-bit value in place.
  static void Swap(unsigned long& v);
  static void Swap(long& v);
  static void Swap(unsigned short& v);
  static void Swap(short& v);
};

#endif  // ORBCMN_ZATOMBUFFER_H_
