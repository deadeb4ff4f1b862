// Recognition and generation of action byte sequences: start headers,
// markers, data blocks, conditions and the order of trial.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "actions/support.h"
#include "orbcmn/orbcmn.h"

namespace {

ZVectorString Texts(std::vector<std::string> const& texts) {
  ZVectorString v;
  for (std::string const& t : texts) v.push_back(ZString(t.c_str()));
  return v;
}

// Recognises the hex text with table; the description found.
ZActionDescription* Recognize(ZActionTable& table, char const* hex, unsigned int* options,
                              ZVectorString& args) {
  ZBuffer bytes = Hex(hex);
  return table.Recognize(const_cast<unsigned char*>(bytes.GetBytePtr()),
                         static_cast<int>(bytes.GetLength()), options, args);
}

TEST(ActionGenerate, HeadersMarkersAndEndMark) {
  ZString name("a");
  ZActionDescription d(name, 0);
  d.AddCode(0)->AddFragment(ZActionFragment::StreamBytes, Hex("01 05"));
  ZVectorString none;
  ZBuffer out;
  EXPECT_EQ(d.Generate(0, none, out), 0);
  EXPECT_EQ(ToHex(out), "00 01 00 01 05 00 02 00");
  EXPECT_EQ(d.Generate(OptionMarker22 | OptionMarker21, none, out), 0);
  EXPECT_EQ(ToHex(out), "00 01 00 0E 21 00 01 05 00 02 00");
  EXPECT_EQ(d.Generate(OptionMarker22 | OptionWaitOn, none, out), 0);
  EXPECT_EQ(ToHex(out), "00 11 01 00 0E 22 00 01 05 00 02 00");

  // Low bits matching no variant: -1 and out untouched.
  EXPECT_EQ(d.Generate(OptionMagic, none, out), -1);
  EXPECT_EQ(ToHex(out), "00 11 01 00 0E 22 00 01 05 00 02 00");
  // A variant above 3 never applies.
  ZActionDescription high(name, 0);
  high.AddCode(4)->AddFragment(ZActionFragment::StreamBytes, Hex("01 05"));
  EXPECT_EQ(high.Generate(4, none, out), -1);
}

TEST(ActionGenerate, DataBlocksAndArguments) {
  ZString name("move"), a("a"), b("b");
  ZActionDescription d(name, 0);
  d.AddArgument(1, ZActionArgument::TwoBytes, a, 0, 0);
  d.AddArgument(2, ZActionArgument::Text, b, 0, 0);
  ZActionCode* code = d.AddCode(2);
  code->AddFragment(ZActionFragment::StreamBytes, Hex("01 05"));
  code->AddFragment(ZActionFragment::DataBytes, Hex("0B"));
  code->AddFragment(ZActionFragment::ArgumentSlot, 0);
  code->AddFragment(ZActionFragment::StreamBytes, Hex("01 06"));
  code->AddFragment(ZActionFragment::StreamBytes, Hex("01 07"));
  code->AddFragment(ZActionFragment::ArgumentSlot, 1);

  ZVectorString args = Texts({" AB ", "hi"});
  ZBuffer out;
  EXPECT_EQ(d.Generate(OptionPop, args, out), 0);
  EXPECT_EQ(ToHex(out), "00 01 00 01 05 03 0B 41 42 01 06 01 07 02 68 69 00 02 00");
  EXPECT_EQ(Str(args[0]), " AB ");  // the caller's texts stay as given

  // A conversion failure stops generation with its result, out untouched.
  ZVectorString shortText = Texts({"A", "hi"});
  EXPECT_EQ(d.Generate(OptionPop, shortText, out), 18);
  ZVectorString blank = Texts({"AB", " \t"});
  EXPECT_EQ(d.Generate(OptionPop, blank, out), -2);
  EXPECT_EQ(ToHex(out), "00 01 00 01 05 03 0B 41 42 01 06 01 07 02 68 69 00 02 00");

  // A slot beyond the texts given does not fit; the next code does.
  ZVectorString one = Texts({"CD"});
  EXPECT_EQ(d.Generate(OptionPop, one, out), -1);
  ZActionCode* fallback = d.AddCode(2);
  fallback->AddFragment(ZActionFragment::StreamBytes, Hex("01 08"));
  fallback->AddFragment(ZActionFragment::ArgumentSlot, 0);
  EXPECT_EQ(d.Generate(OptionPop, one, out), 0);
  EXPECT_EQ(ToHex(out), "00 01 00 01 08 02 43 44 00 02 00");

  // Slots naming arguments the description does not have never fit.
  ZActionDescription bad(name, 0);
  bad.AddArgument(1, ZActionArgument::TwoBytes, a, 0, 0);
  bad.AddCode(0)->AddFragment(ZActionFragment::ArgumentSlot, 1);
  bad.AddCode(0)->AddFragment(ZActionFragment::ArgumentSlot, -1);
  ZVectorString two = Texts({"AB", "CD"});
  EXPECT_EQ(bad.Generate(0, two, out), -1);
  EXPECT_EQ(ToHex(out), "00 01 00 01 08 02 43 44 00 02 00");
}

TEST(ActionGenerate, ConditionsSelectTheCode) {
  ZString name("c"), n("n");
  ZActionDescription d(name, 0);
  d.AddArgument(1, ZActionArgument::Text, n, 0, 0);
  ZActionCode* atLeast = d.AddCode(0);
  atLeast->AddCondition(1, ZActionCondition::AtLeast, ZActionCondition::Replace, 10L);
  atLeast->AddFragment(ZActionFragment::StreamBytes, Hex("01 0A"));
  ZActionCode* initial = d.AddCode(0);
  initial->AddCondition(1, ZActionCondition::SameInitial, ZActionCondition::Replace, ZString("Y"));
  initial->AddFragment(ZActionFragment::StreamBytes, Hex("01 0B"));
  ZActionCode* any = d.AddCode(0);
  any->AddFragment(ZActionFragment::StreamBytes, Hex("01 0C"));

  struct {
    char const* text;
    char const* piece;
  } const cases[] = {
      {"0x10", "01 0A"},  // read as 16
      {"10", "01 0A"},   {"9", "01 0C"},    {"Yes", "01 0B"},
      {"yes", "01 0B"},  {" yes", "01 0C"},  // the blank is seen before trimming
      {"", "01 0C"},
  };
  for (auto const& c : cases) {
    ZVectorString args = Texts({c.text});
    ZBuffer out;
    ASSERT_EQ(d.Generate(0, args, out), 0) << c.text;
    EXPECT_EQ(ToHex(out), std::string("00 01 00 ") + c.piece + " 00 02 00") << c.text;
  }
}

TEST(ActionCondition, CheckAndCombine) {
  ZVectorString args;
  ZActionCode code(0);
  EXPECT_TRUE(code.CheckForMatch(0, args));
  EXPECT_FALSE(code.CheckForMatch(1, args));
  EXPECT_TRUE(code.CheckForMatch(0x3C, args));  // only the low two bits count

  // Or as the first condition on its argument is always satisfied.
  ZActionCode orFirst(0);
  orFirst.AddCondition(1, ZActionCondition::AtMost, ZActionCondition::Or, 0L);
  args = Texts({"50"});
  EXPECT_TRUE(orFirst.CheckForMatch(0, args));
  // And after a failing condition stays false; a later Replace decides alone.
  ZActionCode chain(0);
  chain.AddCondition(1, ZActionCondition::AtMost, ZActionCondition::Replace, 0L);
  chain.AddCondition(1, ZActionCondition::AtLeast, ZActionCondition::And, 0L);
  EXPECT_FALSE(chain.CheckForMatch(0, args));
  chain.AddCondition(1, ZActionCondition::AtLeast, ZActionCondition::ECombine(7), 50L);
  EXPECT_TRUE(chain.CheckForMatch(0, args));

  // A condition on argument 2 with one text is never applied; with two
  // texts it is.
  ZActionCode second(0);
  second.AddCondition(2, ZActionCondition::AtLeast, ZActionCondition::Replace, 100L);
  EXPECT_TRUE(second.CheckForMatch(0, args));
  args = Texts({"50", "99"});
  EXPECT_FALSE(second.CheckForMatch(0, args));
  args = Texts({"50", "-1"});
  second.AddCondition(1, ZActionCondition::AtMost, ZActionCondition::Or, -2L);
  EXPECT_FALSE(second.CheckForMatch(0, args));

  // Operations without meaning are stored and never satisfied.
  for (int op : {0, 1, 2, 4, 7}) {
    ZActionCondition c(1, ZActionCondition::EOperation(op), ZActionCondition::Replace, 0L);
    EXPECT_FALSE(c.CheckCondition(1, ZString("0"), true)) << op;
    EXPECT_TRUE(c.CheckCondition(2, ZString("0"), true)) << op;
  }

  // SameInitial: both sides lower-cased; an empty text has no initial.
  ZActionCondition y(1, ZActionCondition::SameInitial, ZActionCondition::Replace, ZString("YES"));
  EXPECT_TRUE(y.CheckCondition(1, ZString("yak"), false));
  EXPECT_TRUE(y.CheckCondition(1, ZString("Yak"), false));
  EXPECT_FALSE(y.CheckCondition(1, ZString(" yes"), true));
  EXPECT_FALSE(y.CheckCondition(1, ZString(""), true));
  ZActionCondition empty(1, ZActionCondition::SameInitial, ZActionCondition::Replace, ZString(""));
  EXPECT_TRUE(empty.CheckCondition(1, ZString(""), false));
  EXPECT_FALSE(empty.CheckCondition(1, ZString("a"), true));
}

TEST(ActionRecognize, WithoutPluginNothingIsRecognised) {
  PluginScope plugin("empty");
  ZActionTable table;
  ZString name("a");
  table.AddDescription(name, 0)->AddCode(0);  // would match anything
  unsigned int options = 0x55;
  ZVectorString args = Texts({"keep"});
  EXPECT_EQ(Recognize(table, "00 01 00 00 02 00", &options, args), nullptr);
  EXPECT_EQ(options, 0x55u);
  ASSERT_EQ(args.size(), 1);
  EXPECT_EQ(Str(args[0]), "keep");
}

// A table of two descriptions: "first" with a TwoBytes argument and codes of
// variants 1 and 0, "second" with a Number argument.
class RecognizeTable : public testing::Test {
 protected:
  void SetUp() override {
    ZString first("first"), second("second"), a("a"), n("n");
    ZActionDescription* d = table_.AddDescription(first, OptionWaitOn);
    d->AddArgument(1, ZActionArgument::TwoBytes, a, 0, 0);
    d->AddArgument(2, ZActionArgument::Text, a, 0, 0);
    ZActionCode* magic = d->AddCode(1);
    magic->AddFragment(ZActionFragment::StreamBytes, Hex("01 05"));
    magic->AddFragment(ZActionFragment::ArgumentSlot, 0);
    magic->AddCondition(1, ZActionCondition::SameInitial, ZActionCondition::Replace, ZString("x"));
    ZActionCode* plain = d->AddCode(0);
    plain->AddFragment(ZActionFragment::StreamBytes, Hex("01 05"));
    plain->AddFragment(ZActionFragment::ArgumentSlot, 0);
    plain->AddFragment(ZActionFragment::ArgumentSlot, 0);

    ZActionDescription* s = table_.AddDescription(second, 0);
    s->AddArgument(1, ZActionArgument::Number, n, 2, 1);
    ZActionCode* number = s->AddCode(0);
    number->AddFragment(ZActionFragment::StreamBytes, Hex("01 05"));
    number->AddFragment(ZActionFragment::ArgumentSlot, 0);
  }

  PluginScope plugin_{nullptr};
  ZActionTable table_;
};

TEST_F(RecognizeTable, HeadersMarkersAndVariant) {
  unsigned int options = 0xFF00;
  ZVectorString args;
  ZActionDescription* found =
      Recognize(table_, "00 11 00 0E 21 00 01 05 02 58 59 00 02 00", &options, args);
  ASSERT_EQ(found, table_.Find(ZString("first")));
  EXPECT_EQ(options, 0x29u);
  ASSERT_EQ(args.size(), 2);
  EXPECT_EQ(Str(args[0]), "XY");
  EXPECT_EQ(Str(args[1]), "");  // no slot fills it

  // Every start header form, the marker 22, no header at all, and bytes
  // left over after the last fragment.
  struct {
    char const* hex;
    unsigned int options;
  } const cases[] = {
      {"00 01 00 01 05 02 58 59 00 02 00", 0x01},
      {"00 01 01 00 01 05 02 58 59 00 02 00", 0x01},
      {"00 11 01 00 0E 22 00 01 05 02 58 59 00 02 00", 0x25},
      {"01 05 02 58 59", 0x01},
      {"00 01 00 01 05 03 58 59 5A 77 77", 0x01},
  };
  for (auto const& c : cases) {
    args.clear();
    ASSERT_EQ(Recognize(table_, c.hex, &options, args), table_.Find(ZString("first"))) << c.hex;
    EXPECT_EQ(options, c.options) << c.hex;
    EXPECT_EQ(Str(args[0]), "XY") << c.hex;
  }
}

TEST_F(RecognizeTable, OrderOfTrial) {
  // The first code's condition fails; the second code of the same
  // description takes the bytes, its two slots appending to one text.
  unsigned int options = 0;
  ZVectorString args;
  ZActionDescription* found =
      Recognize(table_, "00 01 00 01 05 04 41 42 43 44 00 02 00", &options, args);
  ASSERT_EQ(found, table_.Find(ZString("first")));
  EXPECT_EQ(options, 0u);
  EXPECT_EQ(Str(args[0]), "ABCD");

  // Too short for the TwoBytes argument: both codes of "first" fail, and
  // "second" reads the byte as its number (shifted by 1).
  found = Recognize(table_, "00 01 00 01 05 01 07 00 02 00", &options, args);
  ASSERT_EQ(found, table_.Find(ZString("second")));
  EXPECT_EQ(options, 0u);
  ASSERT_EQ(args.size(), 1);
  EXPECT_EQ(Str(args[0]), "14");

  // Nothing matches: null, options 0, args as they were.
  options = 0x77;
  found = Recognize(table_, "00 01 00 01 06 00 02 00", &options, args);
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(options, 0u);
  ASSERT_EQ(args.size(), 1);
  EXPECT_EQ(Str(args[0]), "14");

  // The normaliser rewrites non-canonical atoms before matching: a
  // two-byte length field holding 2 reads as the one-byte form.
  found = Recognize(table_, "00 01 00 01 05 80 02 58 59 00 02 00", &options, args);
  ASSERT_EQ(found, table_.Find(ZString("first")));
  EXPECT_EQ(Str(args[0]), "XY");
}

TEST_F(RecognizeTable, DefaultDescriptionAndBadCalls) {
  unsigned int options = 0x20;
  ZVectorString args = Texts({"a", "b", "c", "d"});
  EXPECT_EQ(table_.GetDefaultDescription(&options, args), table_.Find(ZString("first")));
  EXPECT_EQ(options, 0u);
  ASSERT_EQ(args.size(), 2);
  EXPECT_TRUE(args[0].IsEmpty());
  EXPECT_TRUE(args[1].IsEmpty());

  ZActionTable empty;
  options = 9;
  EXPECT_EQ(empty.GetDefaultDescription(&options, args), nullptr);
  EXPECT_EQ(options, 9u);
  EXPECT_EQ(args.size(), 2);

  EXPECT_EQ(table_.Recognize(nullptr, 4, &options, args), nullptr);
  EXPECT_EQ(options, 9u);
  unsigned char byte = 0;
  EXPECT_EQ(table_.Recognize(&byte, -1, &options, args), nullptr);
  EXPECT_EQ(table_.Recognize(&byte, 1, nullptr, args), nullptr);

  // A slot naming an argument the description lacks makes its code fail.
  ZString name("bad");
  ZActionTable bad;
  bad.AddDescription(name, 0)->AddCode(0)->AddFragment(ZActionFragment::ArgumentSlot, 0);
  ZActionDescription* none = bad.AddDescription(name, 0);
  none->AddCode(0);
  EXPECT_EQ(Recognize(bad, "00 01 00 00 02 00", &options, args), none);
  EXPECT_EQ(args.size(), 0);
}

TEST_F(RecognizeTable, LongSequencesRegrowTheNormalisedArea) {
  ZString big("big"), t("t");
  ZActionDescription* d = table_.AddDescription(big, 0);
  d->AddArgument(1, ZActionArgument::Text, t, 0, 0);
  ZActionCode* code = d->AddCode(0);
  code->AddFragment(ZActionFragment::StreamBytes, Hex("01 07"));
  code->AddFragment(ZActionFragment::ArgumentSlot, 0);
  std::string text(6000, 'z');
  ZVectorString args = Texts({text});
  ZBuffer bytes;
  ASSERT_EQ(d->Generate(0, args, bytes), 0);
  ASSERT_GT(bytes.GetLength(), 4096u);
  unsigned int options = 0x55;
  ZVectorString got;
  EXPECT_EQ(table_.Recognize(const_cast<unsigned char*>(bytes.GetBytePtr()),
                             static_cast<int>(bytes.GetLength()), &options, got),
            d);
  EXPECT_EQ(options, 0u);
  ASSERT_EQ(got.size(), 1);
  EXPECT_EQ(Str(got[0]), text);
}

// Random tables whose generated bytes recognise back to what made them.
class RoundTrip {
 public:
  explicit RoundTrip(unsigned seed) : random_(seed) {}

  // Fills table with up to three descriptions of up to six arguments of
  // every type and a code per chosen variant.
  void Build(ZActionTable& table) {
    int descriptions = Pick(1, 3);
    for (int d = 0; d < descriptions; ++d) {
      ZString name;
      name.Format("action%d", d);
      ZActionDescription* description = table.AddDescription(name, 0);
      int count = Pick(0, 6);
      for (int i = 0; i < count; ++i) {
        ZString argName;
        argName.Format("arg%d", i);
        auto type = ZActionArgument::EType(Pick(0, 5));
        int size = 0, shift = 0;
        if (type == ZActionArgument::Number) {
          size = Pick(0, 1) == 0 ? 2 : Pick(0, 1) * 4;
          shift = Pick(-3, 3);
        } else if (type == ZActionArgument::AdaKind5) {
          size = 1 << Pick(0, 2);
        } else if (type == ZActionArgument::AdaKind1) {
          size = Pick(0, 6);
        }
        description->AddArgument(i + 1, type, argName, size, shift);
      }
      for (int variant = 0; variant < 4; ++variant) {
        if (Pick(0, 3) == 0) continue;
        BuildCode(description->AddCode(variant), d * 4 + variant, count, *description);
      }
    }
  }

  // A text of the argument's type that survives generation and recognition.
  std::string TextFor(ZActionArgument const& argument) {
    switch (argument.GetType()) {
      case ZActionArgument::None:
        return "ignored";
      case ZActionArgument::TwoBytes:
        return std::string{Printable(), Printable()};
      case ZActionArgument::Text: {
        std::string text(1, Printable());
        for (int n = Pick(0, 20); n > 0; --n) text += Pick(0, 5) == 0 ? ' ' : Printable();
        return text + Printable();
      }
      case ZActionArgument::Number: {
        int size = argument.GetSize() == 0 ? 4 : argument.GetSize();
        int shift = argument.GetShift();
        uint32_t encoded = static_cast<uint32_t>(random_()) >> (32 - 8 * size);
        if (shift > 0) encoded >>= shift;                 // room to scale up
        if (shift < 0) encoded &= ~((1u << -shift) - 1);  // nothing lost scaling down
        uint32_t shown = shift >= 0 ? encoded << shift : encoded >> -shift;
        // The plug-in writes the number unsigned; a shifted one is printed
        // signed.
        if (shift == 0) return std::to_string(encoded);
        return std::to_string(static_cast<int32_t>(shown));
      }
      case ZActionArgument::AdaKind5: {
        int bits = 8 * argument.GetSize();
        if (bits == 8) return std::to_string(Pick(-128, 127));
        return std::to_string(static_cast<uint32_t>(random_()) >> (33 - bits));
      }
      default: {  // AdaKind1: as many hex bytes as the size (4 for size 0)
        int n = argument.GetSize() == 0 ? 4 : argument.GetSize();
        std::string text;
        for (int i = 0; i < n; ++i) {
          char part[4];
          std::snprintf(part, sizeof part, "%02X", Pick(0, 255));
          text += (i == 0 ? "" : " ") + std::string(part);
        }
        return text;
      }
    }
  }

  // The index of the first Text argument, or -1.
  static int FirstText(ZActionDescription& description) {
    for (int i = 0; i < description.GetNumArgs(); ++i) {
      if (description.GetArgument(i)->GetType() == ZActionArgument::Text) return i;
    }
    return -1;
  }

  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

 private:
  char Printable() { return static_cast<char>(Pick('!', '~')); }

  ZBuffer RandomBytes(int n) {
    std::string bytes;
    for (int i = 0; i < n; ++i) bytes += static_cast<char>(Pick(0, 255));
    return ZBuffer(bytes.data(), static_cast<unsigned int>(bytes.size()));
  }

  // Stream pieces (protocol and atom) each followed by a block that is never
  // empty, so that recognition reads back the same blocks. The first piece
  // names the description and variant. Every argument has one slot, but a
  // Text argument takes all data still unread, so only the first Text
  // argument gets a slot, in the last block, last.
  void BuildCode(ZActionCode* code, int id, int count, ZActionDescription& description) {
    struct Piece {
      std::vector<int> slots;
    };
    std::vector<Piece> pieces(1);
    int text = FirstText(description);
    for (int i = 0; i < count; ++i) {
      if (description.GetArgument(i)->GetType() == ZActionArgument::Text) continue;
      if (Pick(0, 2) == 0) pieces.emplace_back();
      std::vector<int>& slots = pieces[Pick(0, static_cast<int>(pieces.size()) - 1)].slots;
      slots.insert(slots.begin() + Pick(0, static_cast<int>(slots.size())), i);
    }
    if (text >= 0) {
      pieces.emplace_back();
      pieces.back().slots.push_back(text);
    }
    for (size_t p = 0; p < pieces.size(); ++p) {
      char head[2] = {static_cast<char>(p == 0 ? 0x01 : Pick(2, 0x1F)),
                      static_cast<char>(p == 0 ? 0x40 + id : Pick(0, 255))};
      code->AddFragment(ZActionFragment::StreamBytes, ZBuffer(head, 2));
      code->AddFragment(ZActionFragment::DataBytes, RandomBytes(Pick(1, 3)));
      for (int slot : pieces[p].slots) code->AddFragment(ZActionFragment::ArgumentSlot, slot);
    }
  }

  std::mt19937 random_;
};

TEST(ActionRoundTrip, GeneratedBytesRecogniseBack) {
  PluginScope plugin(nullptr);
  RoundTrip maker(20240611);
  int checked = 0;
  for (int round = 0; round < 300; ++round) {
    ZActionTable table;
    maker.Build(table);
    int index = maker.Pick(0, table.GetDescriptions().size() - 1);
    ZListActionDescriptionP::ZIterator it = table.GetDescriptions().begin();
    for (int i = 0; i < index; ++i) ++it;
    ZActionDescription* description = *it;
    if (description->GetCodes().size() == 0) continue;

    unsigned int variant = (*description->GetCodes().begin())->GetVariant();
    unsigned int extra = static_cast<unsigned int>(maker.Pick(0, 7));
    unsigned int options = variant | (extra & 1 ? OptionWaitOn : 0) |
                           (extra & 2 ? OptionMarker22 : 0) | (extra & 4 ? OptionMarker21 : 0);
    ZVectorString texts, expected;
    for (int i = 0; i < description->GetNumArgs(); ++i) {
      ZActionArgument* argument = description->GetArgument(i);
      std::string text = maker.TextFor(*argument);
      texts.push_back(ZString(text.c_str()));
      bool unread =
          argument->GetType() == ZActionArgument::None ||
          (argument->GetType() == ZActionArgument::Text && i != RoundTrip::FirstText(*description));
      expected.push_back(unread ? ZString() : ZString(text.c_str()));
    }
    ZBuffer bytes;
    ASSERT_EQ(description->Generate(options, texts, bytes), 0) << "round " << round;

    unsigned int found = 0;
    ZVectorString args;
    ZActionDescription* recognised =
        table.Recognize(const_cast<unsigned char*>(bytes.GetBytePtr()),
                        static_cast<int>(bytes.GetLength()), &found, args);
    ASSERT_EQ(recognised, description) << "round " << round << ": " << ToHex(bytes);
    unsigned int marker =
        (options & OptionMarker21) != 0 ? OptionMarker21 : options & OptionMarker22;
    EXPECT_EQ(found, (options & (OptionWaitOn | 3)) | marker) << "round " << round;
    ASSERT_EQ(args.size(), expected.size());
    for (int i = 0; i < args.size(); ++i) {
      EXPECT_EQ(Str(args[i]), Str(expected[i]))
          << "round " << round << " argument " << i << ": " << ToHex(bytes);
    }
    ++checked;
  }
  EXPECT_GT(checked, 200);
}

}  // namespace
