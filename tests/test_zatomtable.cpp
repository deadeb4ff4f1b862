// Atom tables: the model (find-or-create order, lookups, per-argument
// types, enumerations' value-to-text and text-to-value), the bytes of each
// record on file, loading back, and what a damaged or hostile file does.
// The atom stream builder: the bytes of each append and what it refuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "orbcmn/zatombuffer.h"
#include "orbcmn/zatomtable.h"
#include "support/streamfile.h"
#include "support/text.h"

namespace {

TEST(ZAtomTable, FindOrCreateKeepsInsertionOrderAndLookupsRecordTheProtocol) {
  ZAtomTable t;
  ZAtom* foo = t.AddAtomA(1, 2, 3, ZString("Fo_Z9\xC9"));
  EXPECT_EQ(t.AddAtomA(1, 2, 3, ZString("Other")), foo);
  EXPECT_EQ(std::string(foo->GetName()), "fo_z9\xC9");  // only the bytes A-Z are lowered
  ZAtom* four = t.AddAtomA(1, 2, 4, ZString("dup"));
  ZAtom* five = t.AddAtomA(1, 5, 1, ZString("f"));
  ZAtom* nine = t.AddAtomA(9, 2, 3, ZString("dup"));
  t.AddAtomA(0, 2, 1, ZString("dup"));
  ZClass* c = t.GetFirstClass();
  ZProtocol* p = c->GetFirstProtocol();
  EXPECT_TRUE(p->GetFirstAtom() == foo && foo->Next() == four &&
              p->Next()->GetFirstAtom() == five && p->Next()->Next() == nullptr);
  EXPECT_TRUE(c->Next()->GetFirstProtocol()->GetFirstAtom() == nine &&
              c->Next()->Next()->GetClass() == 0 && c->Next()->Next()->Next() == nullptr);

  // Every lookup that finds an atom records the protocol it was found under;
  // one that finds none gives no atom, an empty name or type 0.
  foo->AddType(12, nullptr);
  EXPECT_EQ(foo->GetProtocol(), 0);
  EXPECT_TRUE(t.GetAtom(1, 8, 3) == nullptr && t.GetName(1, 8, 3).IsEmpty() &&
              t.GetType(1, 8, 3) == 0 && t.GetAtom(ZString("")) == nullptr);
  EXPECT_EQ(t.GetType(1, 2, 3), 12);
  EXPECT_EQ(foo->GetProtocol(), 2);
  EXPECT_EQ(t.GetName(9, 2, 3), nine->GetName());
  // Name lookup is exact and returns the first in class, protocol, atom
  // order.
  EXPECT_EQ(t.GetAtom(ZString("F")), nullptr);
  EXPECT_EQ(t.GetAtom(ZString("f")), five);
  EXPECT_EQ(five->GetProtocol(), 5);
  EXPECT_EQ(t.GetAtom(ZString("dup")), four);
}

TEST(ZAtom, TypesAndEnumerationsPerArgument) {
  // A type of 0 leaves argument 0 open for the next call.
  ZAtom a(3, ZString("A"));
  EXPECT_TRUE(a.AddType(0, nullptr));
  ZEnum* e1 = a.AddEnum(2, ZEnum::eSingleValue);
  EXPECT_TRUE(a.AddType(5, nullptr) && a.AddType(6, e1) && a.AddType(0, nullptr));
  EXPECT_EQ(a.GetNumArgRecords(), 2);
  // Each index -1 to 3: its type and whether it gives e1. Argument 0 has no
  // enumeration, yet index 0 gives the head of the list, argument 1's; index
  // 2 is a record of type 0, index 3 no record.
  std::string seen;
  for (int i = -1; i <= 3; ++i) {
    seen += std::to_string(a.GetType(i)) + (a.GetEnum(i) == e1 ? "e " : a.GetEnum(i) ? "? " : " ");
  }
  EXPECT_EQ(seen, "0 5e 6e 0 0 ");
  a.AddFlag(0x0101);
  a.AddFlag(0x8001);
  EXPECT_EQ(a.GetFlags(), 0x8101);
}

using Enum = std::unique_ptr<ZEnum>;

// Adds the items, names and values, to e and returns it.
ZEnum* Fill(ZEnum* e, std::initializer_list<std::pair<const char*, unsigned long>> items) {
  for (const auto& item : items) e->AddItem(ZString(item.first), item.second);
  return e;
}

TEST(ZEnum, ValueToTextAndBack) {
  Enum flags(Fill(new ZEnum(1, ZEnum::eBitFlags), {{"a", 1}, {"c", 4}}));
  Enum single(Fill(new ZEnum(4, ZEnum::eSingleValue), {{"red", 1}, {"green", 2}, {"lime", 2}}));
  // Mask in the high half, pattern in the low half.
  Enum fields(Fill(new ZEnum(2, ZEnum::eBitFields),
                   {{"left", 0x30000}, {"centre", 0x30001}, {"bold", 0x40004}}));
  // An operation that names nothing; names are lowered (high bytes kept),
  // values keep 32 bits.
  Enum other(
      Fill(new ZEnum(4, 7), {{"red", 1}, {"GR\xC4", static_cast<unsigned long>(0x1FFFFFFFFull)}}));
  const ZEnumItem* item = other->GetItem(1);
  EXPECT_EQ(Text(item->GetName()) + " " + std::to_string(item->GetValue()), "gr\xC4 4294967295");
  EXPECT_TRUE(other->GetItem(2) == nullptr && other->GetItem(-1) == nullptr);
  delete new ZMulti(5, other.get());  // which does not own its enumeration
  // Only items of exactly one bit name a bit; flags stop at size * 8 bits.
  Enum wide(Fill(new ZEnum(4, ZEnum::eBitFlags), {{"both", 3}, {"two", 2}}));
  Enum zero(Fill(new ZEnum(0, ZEnum::eBitFlags), {{"a", 1}}));
  auto shown = [](const Enum& e, std::initializer_list<unsigned long> values) {
    std::string out;
    for (unsigned long v : values) out += "/" + Text(e->Lookup(v));
    return out;
  };
  EXPECT_EQ(shown(flags, {7, 0x105, 0}), "/a | 2 | c/a | c/0");
  EXPECT_EQ(shown(wide, {3, 0x80000002ul}), "/1 | two/two | -2147483648");
  EXPECT_EQ(shown(zero, {1}) + shown(other, {1}), "//");
  EXPECT_EQ(shown(single, {2, 0xFFFFFFFFul}), "/green/-1");
  EXPECT_EQ(shown(fields, {5, 16}), "/centre | bold/left | 16");

  // Each value, marked "!" when Lookup reports failure (and "?" when it
  // leaves the flag as it was).
  auto parsed = [](const Enum& e, std::initializer_list<const char*> texts) {
    std::string out;
    for (const char* t : texts) {
      bool fromTrue = true, fromFalse = false;
      out += " " + std::to_string(e->Lookup(ZString(t), &fromTrue));
      e->Lookup(ZString(t), &fromFalse);
      out += fromTrue && fromFalse ? "" : fromTrue || fromFalse ? "?" : "!";
    }
    return out;
  };
  EXPECT_EQ(parsed(flags, {"a|c", "a|8", "010", "0x10|a"}), " 5 9 8 17");
  // Tokens keep their blanks, so a multi-piece text as shown does not parse.
  EXPECT_EQ(parsed(flags, {"a | c", "A", "", "a|", "a||c", "-1"}), " 0! 0! 0! 0! 0! 0!");
  EXPECT_EQ(parsed(single, {"green|red", "red|", "|red"}), " 2 1 0!");  // the first piece counts
  EXPECT_EQ(parsed(fields, {"centre|bold", "0x30001", "bold|"}), " 5 1 0!");  // low 16 bits
  EXPECT_EQ(parsed(other, {"red"}), " 0!");
  EXPECT_EQ(single->Lookup(ZString("red"), nullptr), 1u);
  flags->AddItem(ZString("none"), 0);
  EXPECT_EQ(Text(flags->Lookup(0)), "none");
}

// Class ids of the registered names.
constexpr uint32_t kTable = 52044730, kClass = 939673202, kProtocol = 400042522;
constexpr uint32_t kAtom = 35487628, kEnum = 954622280, kItem = 61330235;
constexpr uint32_t kMulti = 922356236, kString = 418742016;
const std::string kNull("\xFF\xEA\0\0\0\0", 6);

// The bytes of a stream, item by item, after the stream header.
struct Stream {
  std::string s{'\0', '\1'};
  Stream& Raw(uint32_t v) {
    s += {static_cast<char>(v >> 8), static_cast<char>(v)};
    return *this;
  }
  Stream& U16(uint32_t v) { return Raw(0xFFED).Raw(v); }
  Stream& U32(uint32_t v) { return Raw(0xFFEB).Raw(v >> 16).Raw(v); }
  // Class tag and identifier: a back-reference, or with Obj a new object.
  Stream& Ref(uint32_t cls, uint32_t uid) { return Raw(0xFFEA).Raw(cls >> 16).Raw(cls).U32(uid); }
  Stream& Obj(uint32_t cls, uint32_t uid, int schema = 1) { return Ref(cls, uid).Raw(schema); }
  Stream& Null(int n = 1) { return n == 0 ? *this : Raw(0xFFEA).Raw(0).Raw(0).Null(n - 1); }
  Stream& Name(uint32_t uid, const std::string& text) {
    Obj(kString, uid).Raw(1).U16(static_cast<uint32_t>(text.size())).s += text;
    return *this;
  }
  // An atom record up to its name; the name takes identifier uid + 1.
  Stream& Atom(uint32_t uid, uint32_t number, uint32_t type, uint32_t flags, const char* name) {
    return Obj(kAtom, uid).U16(number).U16(type).U16(flags).Name(uid + 1, name);
  }
  // Table 1, class 2 (number 1), protocol 3 (number 1).
  Stream& Head() { return Obj(kTable, 1).Obj(kClass, 2).U16(1).Obj(kProtocol, 3).U16(1); }
};

using Table = std::unique_ptr<ZAtomTable>;

class AtomFile : public StreamFileTest {
 protected:
  // The bytes that saving t writes; the save must return succeeds.
  std::string SaveBytes(ZAtomTable& t, bool succeeds = true) {
    const Bytes b = Save([&](ZStreamer& s) { EXPECT_EQ(ZAtomTable::Save(s, t), succeeds); });
    return std::string(b.begin(), b.end());
  }
  ZStreamer& Over(const std::string& bytes) { return Loader(Bytes(bytes.begin(), bytes.end())); }

  // The table that Load leaves (null for none); Load must return succeeds.
  Table Load(const std::string& bytes, bool succeeds = true) {
    ZStreamer& s = Over(bytes);
    ZAtomTable* table = nullptr;
    EXPECT_EQ(ZAtomTable::Load(s, table), succeeds);
    streamFailed_ = s.Error();
    return Table(table);
  }

  bool streamFailed_ = false;  // the error flag the last Load left
};

// Loaded by value, an atom appends the stored name to its own and replaces
// its enumerations and argument records.
TEST_F(AtomFile, LoadedByValueTheNamesAppend) {
  ZAtom atom(1, ZString("x"));
  atom.AddEnum(1, ZEnum::eSingleValue);
  atom.AddType(2, nullptr);
  atom.AddType(3, nullptr);
  EXPECT_TRUE(ZAtom::Load(Over(Stream().Atom(1, 3, 5, 0, "ab").Null(2).s), atom));
  EXPECT_EQ(std::string(atom.GetName()), "xab");
  EXPECT_TRUE(atom.GetType(0) == 5 && atom.GetType(1) == 0 && atom.GetEnum(0) == nullptr);
}

// Two classes; class 1 has protocols 2 and 9. Atom "Move" has three
// enumerations (bit flags, single value, bit fields) and four argument
// records, two of them sharing one enumeration and one with none.
void BuildTable(ZAtomTable& t) {
  ZAtom* move = t.AddAtomA(1, 2, 3, ZString("Move"));
  move->AddFlag(0x8001);
  ZEnum* flags = Fill(move->AddEnum(4, ZEnum::eBitFlags), {{"Left", 1}, {"Right", 2}});
  ZEnum* single = Fill(move->AddEnum(2, ZEnum::eSingleValue), {{"off", 0}, {"all", 0xFFFFFFFFul}});
  ZEnum* fields = Fill(move->AddEnum(4, ZEnum::eBitFields), {{"lo", 0x000F0001ul}});
  move->AddType(5, flags);  // argument 0: the enumeration is not recorded
  move->AddType(6, single);
  move->AddType(7, nullptr);
  move->AddType(8, fields);
  move->AddType(9, flags);
  t.AddAtomA(1, 2, 4, ZString("Stop"));
  ZAtom* go = t.AddAtomA(1, 9, 1, ZString("Go"));
  go->AddType(2, nullptr);
  go->AddType(3, nullptr);
  t.GetAtom(1, 9, 1);  // a lookup sets the protocol number, which is not saved
  t.AddAtomA(2, 1, 0x1234, ZString("Z"))->AddFlag(0xFFFF);
}

TEST_F(AtomFile, RichTableLayoutRoundTripAndCuts) {
  ZAtomTable table;
  BuildTable(table);
  Stream b;
  b.Obj(kTable, 1).Obj(kClass, 2).U16(1).Obj(kProtocol, 3).U16(2).Atom(4, 3, 5, 0x8001, "move");
  b.Obj(kEnum, 6).U16(4).U16(1).Obj(kItem, 7).U32(1).Name(8, "left");            // bit flags
  b.Obj(kItem, 9).U32(2).Name(10, "right").Null().Obj(kEnum, 11).U16(2).U16(2);  // single value
  b.Obj(kItem, 12).U32(0).Name(13, "off").Obj(kItem, 14).U32(0xFFFFFFFFu).Name(15, "all").Null();
  b.Obj(kEnum, 16).U16(4).U16(3).Obj(kItem, 17).U32(0x000F0001u).Name(18, "lo").Null();  // fields
  b.Null();  // end of enumerations
  // Argument records 1 to 4 hold their enumerations as back-references.
  b.Obj(kMulti, 19).U16(6).Ref(kEnum, 11).Obj(kMulti, 20).U16(7).Null();
  b.Obj(kMulti, 21).U16(8).Ref(kEnum, 16).Obj(kMulti, 22).U16(9).Ref(kEnum, 6).Null();
  b.Atom(23, 4, 0, 0, "stop").Null(3);  // then the end of protocol 2's atoms
  b.Obj(kProtocol, 25).U16(9).Atom(26, 1, 2, 0, "go").Null();
  b.Obj(kMulti, 28).U16(3).Null(4);  // the end of class 1
  b.Obj(kClass, 29).U16(2).Obj(kProtocol, 30).U16(1).Atom(31, 0x1234, 0, 0xFFFF, "z").Null(5);
  ASSERT_EQ(SaveBytes(table), b.s);
  // Saved again, every number, name, order and enumeration link came back.
  EXPECT_EQ(SaveBytes(*Load(b.s)), b.s);

  // Cut anywhere, it fails to load and keeps whole elements only: saved
  // again, it is the original's bytes up to where the first missing element
  // began, then a null reference. Every fifth cut puts at least two inside
  // each 12-byte back-reference.
  bool sawPartialClass = false;
  for (size_t n = 2; n < b.s.size(); n += 5) {
    SCOPED_TRACE(n);
    const Table loaded = Load(b.s.substr(0, n), false);
    if (loaded == nullptr) continue;
    const std::string part = SaveBytes(*loaded);
    EXPECT_EQ(part, b.s.substr(0, part.size() - kNull.size()) + kNull);
    sawPartialClass = sawPartialClass || loaded->GetFirstClass() != nullptr;
  }
  EXPECT_TRUE(sawPartialClass);  // cuts inside class 2 keep class 1
}

// Each of these fails inside the first class: the table is kept, empty. A
// record that does not match is a failed load, not a failed stream.
TEST_F(AtomFile, DamagedAndHostileRecordsFail) {
  Stream cases[8];
  cases[0].Obj(kTable, 1).Obj(kClass, 2, 2).U16(1).Null(3);  // class schema 2
  // An item value tagged as unsigned short.
  cases[1].Head().Atom(4, 1, 0, 0, "a").Obj(kEnum, 6).U16(1).U16(1);
  cases[1].Obj(kItem, 7).U16(1).Name(8, "i").Null(6);
  cases[2].Obj(kTable, 1).Obj(kProtocol, 2).U16(1).Null(3);  // a protocol for a class
  cases[3].Head().Obj(kAtom, 4).U16(1).U16(0).U16(0).Ref(kAtom, 5).Null(5);  // name no string
  // A chain that refers back to one of its own elements.
  cases[4].Head().Atom(4, 1, 0, 0, "a").Null(2).Ref(kAtom, 4).Null(2);
  // An argument record whose enumeration is a full new object, or the
  // atom's name, or another atom's enumeration.
  cases[5].Head().Atom(4, 1, 0, 0, "a").Null().Obj(kMulti, 6).U16(1);
  cases[5].Obj(kEnum, 7).U16(1).U16(2).Null(6);
  cases[6].Head().Atom(4, 1, 0, 0, "a").Null().Obj(kMulti, 6).U16(1).Ref(kEnum, 5).Null(5);
  cases[7].Head().Atom(4, 1, 0, 0, "a").Obj(kEnum, 6).U16(1).U16(2).Null(3);
  cases[7].Atom(7, 2, 0, 0, "b").Null().Obj(kMulti, 9).U16(1).Ref(kEnum, 6).Null(5);
  for (const Stream& c : cases) {
    SCOPED_TRACE(&c - cases);
    const Table loaded = Load(c.s, false);
    EXPECT_TRUE(loaded != nullptr && loaded->GetFirstClass() == nullptr && !streamFailed_);
  }

  // Saving refuses an argument that refers to another atom's enumeration.
  ZAtomTable table;
  ZEnum* e = table.AddAtomA(1, 1, 1, ZString("a"))->AddEnum(1, ZEnum::eSingleValue);
  ZAtom* atom = table.AddAtomA(1, 1, 2, ZString("b"));
  atom->AddType(1, nullptr);
  atom->AddType(2, e);
  SaveBytes(table, false);
}

TEST_F(AtomFile, ChainElementWrittenBeforeIsABackReference) {
  // Class 2 saved on its own first: the table's class chain then ends with a
  // back-reference to it, with no null reference after it.
  ZAtomTable table;
  table.AddAtomA(1, 1, 1, ZString("a"));
  table.AddAtomA(2, 1, 1, ZString("b"));
  const Bytes onFile = Save([&](ZStreamer& s) {
    EXPECT_TRUE(ZClass::Save(s, table.GetFirstClass()->Next()) && ZAtomTable::Save(s, table) &&
                !s.Error());
  });
  Stream b;
  b.Obj(kClass, 1).U16(2).Obj(kProtocol, 2).U16(1).Atom(3, 1, 0, 0, "b").Null(5);
  b.Obj(kTable, 5).Obj(kClass, 6).U16(1).Obj(kProtocol, 7).U16(1).Atom(8, 1, 0, 0, "a").Null(4);
  b.Ref(kClass, 1);
  EXPECT_EQ(onFile, Bytes(b.s.begin(), b.s.end()));
}

using uc = unsigned char;
using us = unsigned short;

// Runs one append on a fresh buffer and returns what it appended, in hex.
template <typename F>
std::string Built(F append) {
  ZAtomBuffer b;
  append(b);
  return ToHex(b);
}

// Expects the bytes, in hex, that one append call makes on a fresh buffer.
#define EXPECT_ATOM(call, hex) EXPECT_EQ(Built([](ZAtomBuffer& b) { b.call; }), hex)

// The one, two and four byte forms switch at fixed thresholds; the signed
// ones are one short of the type's range on both sides.
TEST(ZAtomBuffer, IntegerNarrowingThresholds) {
  EXPECT_ATOM(AppendAtom(1, 5, us(255)), "01 05 01 FF");
  EXPECT_ATOM(AppendAtom(1, 5, 256ul), "01 05 02 01 00");
  EXPECT_ATOM(AppendAtom(1, 5, 65535ul), "01 05 02 FF FF");
  EXPECT_ATOM(AppendAtom(1, 5, 65536ul), "01 05 04 00 01 00 00");
  EXPECT_ATOM(AppendAtom(1, 5, (short)126), "01 05 01 7E");

  // Each long's atom after a "/"; a long is a 32-bit value: all 32 bits set
  // is -1.
  std::string longs;
  for (long v : {126l, -127l, 127l, -128l, 32766l, -32767l, 32767l, -32768l, (long)0xFFFFFFFFl}) {
    longs += "/" + Built([v](ZAtomBuffer& b) { b.AppendAtom(1, 5, v); });
  }
  EXPECT_EQ(longs,
            "/01 05 01 7E/01 05 01 81/01 05 02 00 7F/01 05 02 FF 80/01 05 02 7F FE/01 05 02 80 01"
            "/01 05 04 00 00 7F FF/01 05 04 FF FF 80 00/01 05 01 FF");
}

struct Swapper : ZAtomBuffer {
  template <typename T>
  static T Swapped(T v) {
    Swap(v);
    return v;
  }
};

TEST(ZAtomBuffer, SwapReversesThirtyTwoAndSixteenBitValues) {
  EXPECT_EQ(Swapper::Swapped(0x01020304ul), 0x04030201ul);
  // The sign comes from the new top byte.
  EXPECT_EQ(Swapper::Swapped(0x01020380l), static_cast<long>(INT32_MIN) + 0x00030201l);
  EXPECT_EQ(Swapper::Swapped(us(0x0102)), 0x0201);
  EXPECT_EQ(Swapper::Swapped(short(0x0180)), static_cast<short>(0x8001));
}

// The header forms are those of the shared atom header (see test_coding).
TEST(ZAtomBuffer, FixedAndCombinedForms) {
  EXPECT_ATOM(AppendAtom(0, 0x11, char(0)), "00 11 01 00");
  EXPECT_ATOM(AppendAtom(127, 255), "F8 1F FF 00");
  EXPECT_ATOM(AppendAtom(1, 2, uc(1), uc(2)), "01 02 02 01 02");
  EXPECT_ATOM(AppendAtom(1, 2, uc(1), uc(2), uc(3)), "01 02 03 01 02 03");
  EXPECT_ATOM(AppendAtom(1, 2, uc(1), uc(2), us(0x0304)), "01 02 04 01 02 03 04");
  EXPECT_ATOM(AppendAtom(1, 2, us(0x0102), us(0x0304)), "01 02 04 01 02 03 04");
  EXPECT_ATOM(AppendAtom(1, 2, us(1), us(0x0203), us(0xFFFF)), "01 02 06 00 01 02 03 FF FF");
  EXPECT_ATOM(AppendAtom(1, 2, 0x01020304ul, 0x05060708ul), "01 02 08 01 02 03 04 05 06 07 08");
  EXPECT_ATOM(AppendAtom(1, 2, (const unsigned char*)"\xff", 1), "01 02 01 FF");
  EXPECT_ATOM(AppendAtom(1, 2, char(0x78), "ab", 2), "01 02 03 78 61 62");
  EXPECT_ATOM(AppendAtom(1, 2, 0x01020304ul, "ab", 2), "01 02 06 01 02 03 04 61 62");
  EXPECT_ATOM(AppendAtom(1, 2, "ab", 2, 0x01020304ul), "01 02 06 61 62 01 02 03 04");
  // Red, green, blue from the low byte up; the fourth byte does not count.
  EXPECT_ATOM(AppendAtomColor(3, 1, 0xAA0080FFul), "03 01 03 FF 80 00");
  // 32767 bytes are the most an atom holds.
  const std::string data(32767, 'd');
  EXPECT_EQ(Built([&](ZAtomBuffer& b) { b.AppendAtom(2, 9, data.data(), 32767); }),
            "02 09 FF FF " + ToHex(ZBuffer(data.data(), 32767)));
}

TEST(ZAtomBuffer, BufferArguments) {
  EXPECT_ATOM(AppendAtom(40, 6, ZBuffer()), "E8 08 06 00");

  ZAtomBuffer inner;
  inner.AppendAtom(1, 2, char('a'));
  inner.AppendAtom(3, 4);
  ZAtomBuffer outer;
  outer.AppendAtom(5, 6, inner);
  outer.AppendAtom(7, 8, ZBuffer("xyz", 3));
  EXPECT_EQ(ToHex(outer), "05 06 07 01 02 01 61 03 04 00 07 08 03 78 79 7A");
  inner = outer;
  EXPECT_EQ(ToHex(inner), ToHex(outer));

  // A buffer nested into itself takes its content before the header goes in,
  // even when the block has to grow for it.
  ZAtomBuffer self;
  self.AppendAtom(1, 1, "0123456789abc", 13);
  const std::string before = ToHex(self);
  self.AppendAtom(2, 2, self);
  EXPECT_EQ(ToHex(self), before + " 02 02 10 " + before);
  // Or compact: 6 bytes behind 7 dropped ones in a block of 16 move to its
  // start, and the header lands where they were.
  ZAtomBuffer moved;
  moved.AppendAtom(1, 1, "0123456789", 10);
  moved.Remove(1, 7);
  moved.AppendAtom(2, 2, moved);
  EXPECT_EQ(ToHex(moved), "34 35 36 37 38 39 02 02 06 34 35 36 37 38 39");
}

TEST(ZAtomBuffer, OutOfLimitsIsRefused) {
  std::string big(32768, 'x');
  ZAtomBuffer b;
  b.AppendAtom(128, 1);
  b.AppendAtom(-1, 1);
  b.AppendAtom(1, 256);
  b.AppendAtom(1, 1, big.data(), 32768);
  b.AppendAtom(1, 1, big.data(), -1);
  b.AppendAtom(1, 1, static_cast<const char*>(nullptr), 1);
  b.AppendAtom(1, 1, 'c', big.data(), 32767);
  b.AppendAtom(1, 1, 7ul, big.data(), 32764);
  b.AppendAtom(1, 1, big.data(), 32764, 7ul);
  b.AppendAtom(1, 1, ZBuffer(big.data(), 32768));
  EXPECT_EQ(ToHex(b), "");

  // A null pointer with no bytes is an empty atom.
  b.AppendAtom(1, 2, static_cast<const char*>(nullptr), 0);
  EXPECT_EQ(ToHex(b), "01 02 00");
}

}  // namespace
