// ZStreamer: writes or reads one binary stream of typed values and objects
// over an open ZFile.
// docs/formats.md describes this stream and the records written into it.
//
// Stream layout: a header (the schema value 1), then items. A schema value
// is 2 bytes without a tag; a typed value is a 2-byte tag naming its type,
// then the value; raw bytes are written as given. Numbers are big-endian.
//
//   type            tag    tag bytes  value bytes
//   unsigned char   -17    FF EF      1
//   signed char     -18    FF EE      1
//   unsigned short  -19    FF ED      2
//   short           -20    FF EC      2
//   unsigned long   -21    FF EB      4
//   long            -22    FF EA      4
//   float           -23    FF E9      4 (IEEE 754 single)
//   double          -16    FF F0      8 (IEEE 754 double)
//
// long and unsigned long are 32-bit values in the stream: a written value is
// cut to 32 bits, a read one is widened (long with its sign).
//
// Errors are sticky: the first short read or short write sets the error
// flag, and from then on every read and write does nothing and fails, so a
// caller may run a whole sequence and test Error() once at the end.
//
// Objects reached by pointer are identified by 32-bit identifiers, numbered
// 1, 2, 3 ... in the order in which a saving streamer first meets them, so
// that saving the same objects twice gives the same bytes. Every object
// written through a saving streamer must stay at its address until the
// streamer is destroyed.
#ifndef ORBCMN_ZSTREAMER_H_
#define ORBCMN_ZSTREAMER_H_

#include <stdint.h>

#include "orbcmn/export.h"
#include "orbcmn/zbuffer.h"
#include "orbcmn/zfile.h"

class ORBCMN_API ZStreamer {
 public:
  ORBCMN_DECLARE_ALLOC

  // Type tags of the typed values.
  enum ETag : short {
    eTagUnsignedChar = -17,
    eTagSignedChar = -18,
    eTagUnsignedShort = -19,
    eTagShort = -20,
    eTagUnsignedLong = -21,
    eTagLong = -22,
    eTagFloat = -23,
    eTagDouble = -16
  };

  // A streamer over file, which the caller has opened and keeps open for
  // the streamer's life. Saving: writes the stream header. Loading: reads
  // the header and sets the error flag unless it is the schema value 1. A
  // null file gives a streamer whose error flag is set.
  ZStreamer(ZFile* file, bool saving);
  // Hands over any bytes still collected and forgets the object
  // identities; the file is neither closed nor released.
  ~ZStreamer();
  // A streamer owns its identity table: copying is refused.
  ZStreamer(const ZStreamer&) = delete;
  ZStreamer& operator=(const ZStreamer&) = delete;

  // True for a saving streamer, false for a loading one.
  bool Saving() const { return saving_; }
  // The sticky error flag.
  bool Error() const { return error_; }
  // Sets the error flag, for a record that the format cannot hold: the
  // stream written so far is not to be used.
  void Fail() { error_ = true; }

  // Saving an object: from Gather to the matching Deliver (the pairs nest)
  // the bytes written are collected in the streamer and handed to the file
  // a block at a time; the outermost Deliver hands over the rest. A short
  // write shows when its block is handed over: that write fails and sets
  // the error flag. Outside Gather, every write goes to the file at once.
  void Gather() { gathering_++; }
  void Deliver();

  // Writes value as 2 bytes; true when written.
  bool Schema(short value);
  // Reads 2 bytes as a short; -1 when they could not be read.
  short Schema();

  // Write the type's tag, then the value; the result is that of the value.
  bool Write(unsigned char value);
  bool Write(signed char value);
  bool Write(unsigned short value);
  bool Write(short value);
  bool Write(unsigned long value);
  bool Write(long value);
  bool Write(float value);
  bool Write(double value);

  // Read a tag; when it is not the type's tag, false without reading
  // further (the two tag bytes are consumed, the error flag stays clear, the
  // argument is untouched). Otherwise read the value into the argument.
  bool Read(unsigned char& value);
  bool Read(signed char& value);
  bool Read(unsigned short& value);
  bool Read(short& value);
  bool Read(unsigned long& value);
  bool Read(long& value);
  bool Read(float& value);
  bool Read(double& value);

  // Writes n bytes from data, in reverse order when swap is true (data is
  // left as it is). False, writing nothing, after an error or when swap is
  // true and n exceeds 8 (refused, the error flag stays clear). A short
  // write sets the error flag and gives false.
  bool Write(const void* data, unsigned long n, bool swap);
  // Reads n bytes into data, reversing them when swap is true. False,
  // reading nothing, after an error or when swap is true and n exceeds 8
  // (refused, the error flag stays clear). A short read sets the error flag
  // and gives false; data may then hold part of the bytes.
  bool Read(void* data, unsigned long n, bool swap);

  // Writes the null reference, the long 0 (FF EA 00 00 00 00).
  bool Null();
  // Writes the identifier of object (FF EB and 4 bytes). True when this is
  // the object's first appearance in the stream: the caller then writes its
  // record. False when it was written before (only the identifier is
  // written), and also when the identity table cannot grow (the error flag
  // is then set).
  bool WriteUID(void* object);
  // Reads an identifier. Gives the object already loaded under it; or null
  // when the identifier is new, in which case object is registered under it
  // before the caller reads its record (so a record that refers back to it,
  // a cycle, gets it). When the next item is not an identifier, or cannot
  // be read, nothing is registered and the result is null (a short read
  // sets the error flag, as every short read does; a wrong tag does not).
  // When the identity table cannot grow, the error flag is set and the
  // result is null.
  void* ReadUID(void* object);

  // What ReadIdentity found.
  struct Identity {
    bool read;         // false: no identifier could be read, none registered
    void* object;      // the object loaded before under it; null when new
    const void* kind;  // the kind that object was registered with
  };
  // ReadUID for the object protocol: a new object is registered together
  // with kind (the record of its class), so that the caller can check the
  // kind of an object referred to again before handing it out. read is
  // false when no identifier could be read or the table cannot grow (the
  // error flag is then set).
  Identity ReadIdentity(void* object, const void* kind);
  // The number of identities a loading streamer has registered so far: a
  // mark for Forget.
  unsigned long Registered() const;
  // Forgets the identities registered from mark on. A loader whose record
  // failed destroys the objects it had made; from then on a reference to
  // one of their identifiers reads as a new identifier, so that no
  // destroyed object is handed out.
  void Forget(unsigned long mark);

 protected:
  // Copies the n bytes at data (n at most 8) into the scratch area in
  // reverse order. back false: data is pointed at the scratch area.
  // back true: the scratch bytes are copied back over data.
  void Swap(void*& data, unsigned long n, bool back);

 private:
  class Identities;

  // The identity table, made by the first identifier written or read.
  Identities* Table();
  // Writes n bytes to the file; a short write sets the error flag.
  bool Put(const void* data, unsigned long n);
  // Hands the collected bytes to the file; false after an error.
  bool Flush();
  // Adds n bytes to the collected ones (there must be room), reversed
  // when swap is true.
  void Stage(const void* data, unsigned int n, bool swap);
  // Writes the low N bytes of bits, most significant first.
  template <unsigned int N>
  bool Big(uint64_t bits);
  // Writes tag, then the low N bytes of bits.
  template <unsigned int N>
  bool Tagged(short tag, uint64_t bits);

  unsigned char scratch_[8];
  bool error_;
  bool saving_;
  ZFile* file_;
  // Saving: object -> identifier, numbered 1, 2, 3 ... Loading: identifier
  // -> object and kind. Null until needed.
  Identities* identities_;
  // Depth of Gather calls, and the bytes collected meanwhile.
  unsigned int gathering_;
  unsigned int staged_;
  unsigned char stage_[8192];
};

#endif  // ORBCMN_ZSTREAMER_H_
