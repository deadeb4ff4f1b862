// ZBuffer: growth seen from the host allocator, removal
// bounds, indexing, comparison, copies and Lock/Release.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "hostkit/hostkit.h"
#include "orbcmn/zbuffer.h"
#include "support/alloclog.h"
#include "support/text.h"

namespace {

// Const reading, which gives the terminator rather than the scratch character.
char At(const ZBuffer& b, unsigned i) { return b[i]; }

TEST(ZBuffer, GrowthAsksTheHostForTheRightSizes) {
  AllocLog log;
  {
    ZBuffer one, twenty;
    one += 'a';                                 // need 2: a first block of 16
    twenty.Append("01234567890123456789", 20);  // need 21: 21 + 16
    ZBuffer b("abcdefghijklmno", 15);           // need 16: 16, full to the brim
    b += 'p';                                   // need 17: resized to 17 + 8
    b.Append("qrstuvwxyz", 10);                 // need 27: 1.5 times, rounded down
    b += b;                                     // the source is read before its block moves
    EXPECT_EQ(Text(b), "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(log.Take(), "106 zb1 16, 106 zb1 37, 106 zb1 16, 107 zb3 25, 107 zb3 40, 107 zb3 79");
  }
  EXPECT_EQ(log.Take(), "108 zb2 0, 108 zb2 0, 108 zb2 0");

  // Reserving allocates as Add would and leaves the buffer empty; no room,
  // a null pointer with no bytes, or a copy of either makes no block; an
  // empty text does.
  ZBuffer reserved(40u), small(3u), zero(0u), none(nullptr, 0), copy(none), empty("", 0);
  EXPECT_TRUE(log.Take() == "106 zb1 57, 106 zb1 16, 106 zb1 16" && reserved.IsEmpty());
}

TEST(ZBuffer, RemoveBoundsDecrementsAndRefusedSizes) {
  const struct {
    unsigned pos, count;
    const char* left;
  } cases[] = {{1, 0, ""},     {3, 2, "abef"},  {0, 1, "abcdef"}, {7, 1, "abcdef"},
               {5, 9, "abcd"}, {6, 1, "abcde"}, {2, 0, "a"}};
  for (const auto& c : cases) {
    ZBuffer d("abcdef", 6);
    d.Remove(c.pos, c.count);
    EXPECT_EQ(Text(d), c.left) << c.pos << "," << c.count;
    EXPECT_TRUE(At(d, 1) == c.left[0] && At(d, d.GetLength() + 1) == 0) << c.pos << c.count;
  }
  ZBuffer none, d("xyz", 3);
  none.Remove(1, 1);
  none--;
  EXPECT_EQ(static_cast<const char*>(none), nullptr);
  EXPECT_EQ(&(d--), &d);    // the buffer itself, not a copy
  d.Append("x", UINT_MAX);  // the size would pass 32 bits: refused
  EXPECT_STREQ(static_cast<const char*>(d), "xy");
}

TEST(ZBuffer, IndexingComparisonAndMatchSub) {
  ZBuffer b("abc", 3), none;
  char& scratch = b[0];
  EXPECT_TRUE(scratch == 'U' && &b[4u] == &scratch && &none[1] == &scratch);  // shared by all
  scratch = 'Q';
  EXPECT_STREQ(static_cast<const char*>(b), "abc");  // never wrote into the block
  scratch = 'U';

  ZBuffer withBlock("", 0), hay("abcdef", 6), cd("cd", 2);
  EXPECT_TRUE(withBlock == none && none == withBlock);
  EXPECT_TRUE(ZBuffer("a\0b", 3) != ZBuffer("a\0c", 3));  // bytes after a zero count

  EXPECT_TRUE(hay.MatchSub(cd, 0, 3) && !hay.MatchSub(cd, 0, 2));  // count 0: all of the other
  EXPECT_TRUE(hay.MatchSub(none, 0, 1) &&
              !none.MatchSub(cd, 0, 1));  // nothing to compare; no block
  EXPECT_TRUE(hay.MatchSub("dexx", 2, 4) && !hay.MatchSub("xef", 3, 4));  // differs first only
  // A text with count 0, or a null one, never matches.
  EXPECT_FALSE(hay.MatchSub("abc", 0, 1) || hay.MatchSub(static_cast<const char*>(nullptr), 1, 1));
}

TEST(ZBuffer, AssignmentCopiesAndPlus) {
  ZBuffer a("..hello", 7), c("a much longer text than hello", 29);
  a.Remove(1, 2);  // the source's bytes start past its block's front
  const char* block = c;
  c = a;  // Empty keeps the block
  EXPECT_TRUE(static_cast<const char*>(c) == block && Text(c) == "hello");
  EXPECT_TRUE(static_cast<const char*>(c.Empty()) == block && block[0] == 0);

  // + gives a new buffer of the operand's bytes alone.
  EXPECT_EQ(Text(a + ZBuffer(" world", 6)), " world");
  EXPECT_TRUE(Text(a + '!') == "!" && Text(a) == "hello");
}

TEST(ZBuffer, LockAndRelease) {
  ZBuffer b;
  EXPECT_EQ(b.Lock(0), nullptr);
  b.Release(0);  // no block: still empty
  EXPECT_EQ(b.GetLength(), 0u);
  char* area = b.Lock(100);
  EXPECT_GE(HostKit_BlockSize(area), 101u);
  std::memcpy(area, "hello\0junk", 10);
  b.Release(0);
  EXPECT_EQ(Text(b), "hello");

  // Lock moves the data to the block start; it grows only past the capacity.
  ZBuffer c("..data", 6);
  c.Remove(1, 2);
  EXPECT_TRUE(std::strcmp(c.Lock(16), "data") == 0 && HostKit_BlockSize(c.Lock(16)) == 16u);
  char* start = c.Lock(17);
  EXPECT_EQ(HostKit_BlockSize(start), 27u);
  std::memcpy(start, "0123456789", 10);
  c.Release(7);
  EXPECT_EQ(Text(c), "0123456");

  // Filling the whole block leaves no terminator; the next edit restores one.
  char* full = b.Lock(0);
  const unsigned size = HostKit_BlockSize(full);
  std::memset(full, 'x', size);
  b.Release(0);
  EXPECT_EQ(b.GetLength(), size);
  b.Remove(2, 1);
  EXPECT_EQ(std::strlen(b), size - 1);
  // A Lock that grows the block ends the data with a terminator, even when
  // the bytes behind it are no zero.
  std::memset(b.Lock(0), 'x', size);
  b.Release(3);
  b.Lock(size + 1);
  b.Release(0);
  EXPECT_EQ(Text(b), "xxx");
}

}  // namespace
