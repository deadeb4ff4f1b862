#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "hostkit/hostkit.h"
#include "orbcmn/zbuffer.h"

namespace {

// Records every request the buffer makes of the host allocator.
struct AllocLog {
  struct Event {
    int entry;
    std::string tag;
    unsigned size;
  };
  std::vector<Event> events;

  AllocLog() { HostKit_SetAllocObserver(&Record, this); }
  ~AllocLog() { HostKit_SetAllocObserver(nullptr, nullptr); }

  static void Record(void* user, int entry, const char* tag, void*, unsigned size) {
    static_cast<AllocLog*>(user)->events.push_back({entry, tag == nullptr ? "" : tag, size});
  }
};

// Exposes the bookkeeping fields so that tests can see where the data sit.
struct Probe : ZBuffer {
  using ZBuffer::ZBuffer;
  const char* Block() const { return block_; }
  unsigned Head() const { return head_; }
  unsigned Capacity() const { return capacity_; }
};

// Const reading, which gives the terminator rather than the scratch character.
char At(const ZBuffer& b, unsigned i) { return b[i]; }

std::string Text(const ZBuffer& b) {
  return b.GetLength() == 0 ? std::string() : std::string(b, b.GetLength());
}

TEST(ZBuffer, GrowthAsksTheHostForTheRightSizes) {
  AllocLog log;
  {
    ZBuffer one;
    one += 'a';
    ZBuffer twenty;
    twenty.Append("01234567890123456789", 20);
    ASSERT_EQ(log.events.size(), 2u);
    EXPECT_EQ(log.events[0].entry, 106);
    EXPECT_EQ(log.events[0].tag, "zb1");
    EXPECT_EQ(log.events[0].size, 16u);
    EXPECT_EQ(log.events[1].size, 37u);
    EXPECT_EQ(HostKit_BlockSize(static_cast<const char*>(twenty)), 37u);
  }
  ASSERT_EQ(log.events.size(), 4u);
  EXPECT_EQ(log.events[2].entry, 108);
  EXPECT_EQ(log.events[2].tag, "zb2");
  EXPECT_EQ(log.events[3].tag, "zb2");

  log.events.clear();
  {
    Probe b;
    b.Append("abcdefghijklmno", 15);  // need 16: first block of 16, full to the brim
    EXPECT_EQ(b.Capacity(), 16u);
    b += 'p';  // need 17: resized to 17 + 8
    ASSERT_EQ(log.events.size(), 2u);
    EXPECT_EQ(log.events[1].entry, 107);
    EXPECT_EQ(log.events[1].tag, "zb3");
    EXPECT_EQ(log.events[1].size, 25u);
    EXPECT_EQ(Text(b), "abcdefghijklmnop");
    EXPECT_EQ(At(b, 17), 0);  // terminated after a resize

    // 1.5 times the need, rounded down: need 27 -> 27 + 13.
    b.Append("qrstuvwxyz", 10);
    EXPECT_EQ(log.events.back().size, 40u);
    EXPECT_EQ(HostKit_BlockSize(b.Block()), 40u);
  }

  log.events.clear();
  {
    // Reserving construction allocates as Add would and leaves it empty.
    ZBuffer reserved(40u);
    EXPECT_TRUE(reserved.IsEmpty());
    EXPECT_STREQ(static_cast<const char*>(reserved), "");
    ASSERT_EQ(log.events.size(), 1u);
    EXPECT_EQ(log.events[0].size, 57u);
    ZBuffer small(3u);
    EXPECT_EQ(log.events.back().size, 16u);
    ZBuffer zero(0u);  // no room asked for: no block
    EXPECT_EQ(static_cast<const char*>(zero), nullptr);
    // A null pointer with no bytes allocates nothing; an empty text does.
    ZBuffer none(nullptr, 0);
    EXPECT_EQ(static_cast<const char*>(none), nullptr);
    ZBuffer empty("", 0);
    EXPECT_NE(static_cast<const char*>(empty), nullptr);
    EXPECT_EQ(log.events.size(), 3u);
  }
}

TEST(ZBuffer, FrontRemovalMovesNothingAndCompactsOnlyWhenRoomIsNeeded) {
  AllocLog log;
  Probe b("abcdef", 6);
  const char* first = b;
  --b;
  --b;
  --b;
  EXPECT_EQ(Text(b), "def");
  EXPECT_EQ(static_cast<const char*>(b), first + 3);
  EXPECT_EQ(b.Head(), 3u);

  Probe c("abcdefghijklmno", 15);
  c.Remove(1, 10);  // head 10, length 5, capacity 16
  EXPECT_EQ(c.Head(), 10u);
  EXPECT_EQ(Text(c), "klmno");
  size_t before = log.events.size();
  c.Append("pq", 2);  // need 8 fits the block but not behind the head
  EXPECT_EQ(log.events.size(), before);
  EXPECT_EQ(c.Head(), 0u);
  EXPECT_EQ(c.Capacity(), 16u);
  EXPECT_EQ(static_cast<const char*>(c), c.Block());
  EXPECT_EQ(Text(c), "klmnopq");
  EXPECT_EQ(At(c, 8), 0);

  // Head plus need still fits: the data stay where they are.
  Probe d("abcdef", 6);
  --d;
  d += 'g';
  EXPECT_EQ(d.Head(), 1u);
  EXPECT_EQ(Text(d), "bcdefg");

  // Need beyond the capacity: compacted, then resized to 1.5 times the need.
  Probe e("abcdefghijklmno", 15);
  --e;
  --e;                  // head 2, length 13
  e.Append("1234", 4);  // need 18 -> 27
  EXPECT_EQ(log.events.back().entry, 107);
  EXPECT_EQ(log.events.back().size, 27u);
  EXPECT_EQ(e.Head(), 0u);
  EXPECT_EQ(Text(e), "cdefghijklmno1234");

  // Dropping from the front of an empty buffer does nothing.
  ZBuffer empty;
  --empty;
  empty--;
  EXPECT_EQ(empty.GetLength(), 0u);
}

// A buffer used as a queue, bytes in one at a time and runs out at the
// front, against a plain string: contents and terminator agree after every
// step, and the host is asked for nothing while the byte fits behind the data.
TEST(ZBuffer, QueueOfSingleBytesMatchesAPlainString) {
  AllocLog log;
  Probe b;
  std::string model;
  for (unsigned i = 0; i < 3000; ++i) {
    bool fits = b.Block() != nullptr && b.Head() + b.GetLength() + 2 <= b.Capacity();
    size_t before = log.events.size();
    b += static_cast<char>('a' + i % 26);
    model += static_cast<char>('a' + i % 26);
    if (fits) {
      ASSERT_EQ(log.events.size(), before) << i;
    }
    if (i % 7 == 6) {
      b.Remove(1, 5);
      model.erase(0, 5);
    }
    ASSERT_EQ(Text(b), model) << i;
    ASSERT_EQ(At(b, b.GetLength() + 1), 0) << i;
  }
  // Runs appended from the buffer's own data, with and without room.
  for (int i = 0; i < 6; ++i) {
    b.Append(static_cast<const char*>(b) + 3, 40);
    model.append(model, 3, 40);
    ASSERT_EQ(Text(b), model) << i;
  }
}

// Remove's bounds against a plain string are in the ZString model test.
TEST(ZBuffer, RemoveOnNothingAndPostfixDecrement) {
  ZBuffer none;
  none.Remove(1, 1);
  EXPECT_EQ(static_cast<const char*>(none), nullptr);

  ZBuffer d("xyz", 3);
  ZBuffer& same = d--;
  EXPECT_EQ(&same, &d);
  EXPECT_STREQ(static_cast<const char*>(d), "xy");
}

TEST(ZBuffer, IndexingAndTheScratchCharacter) {
  ZBuffer b("abc", 3);
  EXPECT_EQ(b[1], 'a');
  EXPECT_EQ(b[3u], 'c');
  const ZBuffer& cb = b;
  EXPECT_EQ(cb[4], 0);  // the terminator
  EXPECT_EQ(cb[1u], 'a');
  EXPECT_EQ(At(ZBuffer(), 1), 0);

  b[2] = 'X';
  EXPECT_STREQ(static_cast<const char*>(b), "aXc");

  ZBuffer none;
  char& scratch = b[0];
  EXPECT_EQ(scratch, 'U');
  EXPECT_EQ(&b[4u], &scratch);
  EXPECT_EQ(&none[1], &scratch);  // shared by every buffer
  scratch = 'Q';
  EXPECT_EQ(none[7], 'Q');
  scratch = 'U';
  EXPECT_STREQ(static_cast<const char*>(b), "aXc");  // never wrote into the block
}

TEST(ZBuffer, EqualityAndMatchSub) {
  ZBuffer none1, none2;
  ZBuffer withBlock("", 0);
  EXPECT_TRUE(none1 == none2);
  EXPECT_TRUE(withBlock == none1);
  EXPECT_TRUE(none1 == withBlock);
  ZBuffer ab("ab", 2), ac("ac", 2), abc("abc", 3);
  EXPECT_FALSE(ab == ac);
  EXPECT_TRUE(ab != abc);
  ZBuffer zeros("a\0b", 3), zeros2("a\0c", 3);
  EXPECT_TRUE(zeros != zeros2);  // bytes after a zero byte still count

  ZBuffer hay("abcdef", 6);
  ZBuffer cd("cd", 2);
  EXPECT_TRUE(hay.MatchSub(cd, 0, 3));  // count 0: the other's whole length
  EXPECT_FALSE(hay.MatchSub(cd, 0, 2));
  EXPECT_TRUE(hay.MatchSub(ZBuffer("cx", 2), 1, 3));
  EXPECT_TRUE(hay.MatchSub(none1, 0, 1));  // nothing to compare
  EXPECT_FALSE(none1.MatchSub(cd, 0, 1));  // no block
  EXPECT_TRUE(hay.MatchSub(ZBuffer("ef", 2), 0, 5));
  EXPECT_FALSE(hay.MatchSub(ZBuffer("efg", 3), 0, 5));  // runs past the end

  EXPECT_TRUE(hay.MatchSub("def", 3, 4));
  EXPECT_TRUE(hay.MatchSub("dexx", 2, 4));
  EXPECT_FALSE(hay.MatchSub("dex", 3, 4));
  EXPECT_FALSE(hay.MatchSub("abc", 0, 1));  // a text with count 0 never matches
  EXPECT_FALSE(hay.MatchSub(static_cast<const char*>(nullptr), 1, 1));
  EXPECT_FALSE(none1.MatchSub("a", 1, 1));
  EXPECT_FALSE(hay.MatchSub("a", 3, 1));  // stops at the first difference
}

TEST(ZBuffer, AssignmentCopiesAndConcatenation) {
  AllocLog log;
  ZBuffer none;
  ZBuffer copyOfNone(none);
  EXPECT_EQ(static_cast<const char*>(copyOfNone), nullptr);
  EXPECT_TRUE(log.events.empty());

  ZBuffer a("hello", 5);
  ZBuffer b(a);
  EXPECT_TRUE(a == b);
  EXPECT_NE(static_cast<const char*>(a), static_cast<const char*>(b));

  ZBuffer c("a much longer text than hello", 29);
  const char* block = c;
  c = a;  // Empty keeps the block
  EXPECT_EQ(static_cast<const char*>(c), block);
  EXPECT_EQ(Text(c), "hello");
  c = c;
  EXPECT_EQ(Text(c), "hello");
  c = 'z';
  EXPECT_EQ(Text(c), "z");
  EXPECT_FALSE(c.IsFull());

  c.Empty();
  EXPECT_TRUE(c.IsEmpty());
  EXPECT_EQ(static_cast<const char*>(c), block);
  EXPECT_STREQ(block, "");

  // + gives a new buffer of the operand's bytes alone.
  ZBuffer sum = a + ZBuffer(" world", 6);
  EXPECT_EQ(Text(sum), " world");
  EXPECT_EQ(Text(a + '!'), "!");
  EXPECT_EQ(Text(a), "hello");
}

TEST(ZBuffer, LockAndRelease) {
  AllocLog log;
  ZBuffer b;
  EXPECT_EQ(b.Lock(0), nullptr);
  char* area = b.Lock(100);
  ASSERT_NE(area, nullptr);
  EXPECT_GE(HostKit_BlockSize(area), 101u);
  EXPECT_EQ(b.GetLength(), 0u);
  std::memcpy(area, "hello\0junk", 10);
  b.Release(0);
  EXPECT_EQ(b.GetLength(), 5u);
  EXPECT_EQ(Text(b), "hello");

  // Lock moves the data to the block start and keeps them.
  ZBuffer c("..data", 6);
  --c;
  --c;
  char* start = c.Lock(4);
  EXPECT_EQ(static_cast<const char*>(c), start);
  EXPECT_STREQ(start, "data");
  size_t before = log.events.size();
  start = c.Lock(16);  // equal to the capacity: no growth
  EXPECT_EQ(log.events.size(), before);
  start = c.Lock(17);
  EXPECT_EQ(log.events.size(), before + 1);
  EXPECT_GE(HostKit_BlockSize(start), 18u);
  EXPECT_STREQ(start, "data");
  std::memcpy(start, "0123456789", 10);
  c.Release(7);
  EXPECT_EQ(Text(c), "0123456");

  // Filling the whole block leaves no terminator; the next edit restores one.
  ZBuffer d;
  char* full = d.Lock(20);
  unsigned size = HostKit_BlockSize(full);
  std::memset(full, 'x', size);
  d.Release(0);
  EXPECT_EQ(d.GetLength(), size);
  d.Remove(2, 1);
  EXPECT_EQ(d.GetLength(), size - 1);
  EXPECT_EQ(std::strlen(d), size - 1);
  d += 'y';
  EXPECT_EQ(At(d, size), 'y');
  EXPECT_EQ(At(d, size + 1), 0);
}

TEST(ZBuffer, SizesBeyondThirtyTwoBitsAreRefused) {
  ZBuffer b("a", 1);
  b.Append("x", UINT_MAX);
  EXPECT_EQ(Text(b), "a");
}

}  // namespace
