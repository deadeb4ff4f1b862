// The action table: a vocabulary of actions, each a named operation whose
// encoding is a short atom stream. For each action it knows its arguments
// and one or more alternative encodings, so that a byte sequence can be
// recognised as an action with argument texts and an action with argument
// texts can be turned into bytes.
// docs/formats.md describes the byte sequences and the file format.
//
// The model is a tree: a ZActionTable holds ZActionDescriptions (one per
// action); a description holds ZActionArguments and ZActionCodes (the
// alternative encodings, in order of trial); a code holds ZActionFragments
// (fixed bytes or argument slots) and ZActionConditions (tests on the
// argument texts). Order is significant everywhere: it is the order of
// trial and the order on file. Building operations only append.
//
// Ownership and copies. Every element is a separate heap object held by
// pointer in its parent's list, and elements are shared, not duplicated: a
// copy (construction or assignment) of a table, description or code refers
// to the very element objects of its source. Each element counts the lists
// that hold it and is destroyed when the last of them lets it go, so a
// copy and its source may be destroyed in any order and no element is
// destroyed twice or leaked. A file that names one element twice loads
// into one shared element the same way. Elements reached through a table,
// description or code belong to it: never delete them yourself.
//
// Byte sequences. An action's bytes are a start header, optionally a
// pay/free marker, the pieces of one code and the end mark. After the
// header, a code's bytes are stream pieces (the fixed bytes of StreamBytes
// fragments), each optionally followed by a data block: a length field
// (0 to 127: one byte; 128 to 32,767: two bytes, (length >> 8) | 0x80 then
// length & 0xFF) and that many bytes, made of the fixed bytes of DataBytes
// fragments and the encoded argument values, in fragment order.
//
// Files. Every class of the tree is persistent (the protocol is described
// in zmetaclass.h): ZActionTable::Save writes a table with its whole tree,
// each element as a full object record nested in its parent's, an element
// met a second time (shared by copies) as a back-reference. Counts and
// enumerations are 16-bit on file, so saving refuses (false, the streamer
// marked failed) a list of more than 65,535 elements and a type, operation
// or combine value outside -32,768..32,767, rather than write something
// that loads back different. Loading checks each schema value and type
// tag; values read as short into 32-bit fields are sign-extended. It
// appends to the lists and overwrites the other fields (strings included),
// and loading a description keeps the saved code variants. A failed load
// returns false and leaves the object with what was read before the
// failure; the element whose record failed is destroyed, and the streamer
// forgets its identifier (a later reference to it reads as a new object),
// without setting its error flag. Elements that a file names twice load as one
// shared element. Loading an element into an object the caller holds, and
// then through the same streamer a tree that names it again, is not
// supported (the tree would take the caller's object as its own).
//
// Three argument types are converted by the plug-in ORBADA32 (see
// orbcmn/plugin.h): Number by conversion kind 2, AdaKind5 by kind 5,
// AdaKind1 by kind 1. Without the plug-in they cannot be converted
// (result 3); everything else still works. Recognition needs the plug-in's
// normaliser.
#ifndef ORBCMN_ZACTIONTABLE_H_
#define ORBCMN_ZACTIONTABLE_H_

#include "orbcmn/export.h"
#include "orbcmn/zbuffer.h"
#include "orbcmn/zlist.h"
#include "orbcmn/zmetaclass.h"
#include "orbcmn/zstring.h"
#include "orbcmn/zvectorstring.h"

// The action options: the word of option bits that recognition reports
// and generation takes. The same bit values are used in description flags.
// A code applies to a set of options when its variant equals options & 3.
constexpr unsigned int OptionMagic = 0x01;     // low bit of the code variant
constexpr unsigned int OptionPop = 0x02;       // high bit of the code variant
constexpr unsigned int OptionMarker22 = 0x04;  // pay/free marker 0E 22 00 present
constexpr unsigned int OptionMarker21 = 0x08;  // pay/free marker 0E 21 00 present
constexpr unsigned int OptionWaitOn = 0x20;    // wait-on start header 00 11 01 00 present

class ZActionDescription;

// Results of argument conversion, besides 0 (success) and the plug-in's own
// non-zero results, which are passed on unchanged.
constexpr int ActionShortArgument = 18;  // TwoBytes: fewer than two bytes or characters
constexpr int ActionNoPlugin = 3;        // the plug-in entry needed is absent
constexpr int ActionEmptyText = -2;      // generation: the text is empty after trimming

// Results of ZActionFragment::Match and Add, besides the 0-based argument
// index a slot gives.
constexpr int FragmentHandled = -1;  // a fixed piece was matched or written
constexpr int FragmentRefused = -2;  // its bytes are not there, or cannot be written

// A typed, named argument of an action, and its conversion between encoded
// bytes and text.
class ORBCMN_API ZActionArgument final {
 public:
  ORBCMN_DECLARE_ALLOC
  // Persistence (see the top of this file). The record: schema 2, type (short), size (unsigned
  // short), shift (short), name.
  ORBCMN_PERSISTENT(ZActionArgument)

  // How the argument is converted. Any other value behaves as None.
  enum EType : int {
    None = 0,      // nothing encoded, no text
    TwoBytes = 1,  // two raw bytes <-> the same two characters
    Number = 2,    // size bytes, plug-in kind 2 <-> decimal, scaled by shift
    Text = 3,      // the whole rest of the data block <-> the same bytes
    AdaKind5 = 4,  // size bytes, plug-in kind 5
    AdaKind1 = 5   // size bytes, plug-in kind 1
  };

  // Type None, empty name, size 0, shift 0 (loading sets the fields).
  ZActionArgument();
  // The fields as given; size and shift cut to their low 16 bits (shift
  // signed).
  ZActionArgument(EType type, ZString name, int size, int shift);
  // Copies every field; the copy is a separate, unshared element.
  ZActionArgument(const ZActionArgument& other);
  // Copies every field; whoever shares this element sees the new fields.
  ZActionArgument& operator=(const ZActionArgument& other);
  ~ZActionArgument();

  // A copy of the name.
  ZString GetName() const;
  EType GetType() const { return type_; }
  // For Number, AdaKind5, AdaKind1: the bytes the encoded value occupies;
  // 0: what the plug-in produces when generating, 4 when recognising.
  unsigned short GetSize() const { return size_; }
  // For Number: the text shows the encoded number times 2^shift.
  short GetShift() const { return shift_; }

  // Takes this argument's encoded value from the front of data and sets
  // text. None (and unknown types): nothing taken, text unchanged, 0.
  // TwoBytes: appends the first two bytes to text as characters and removes
  // them; 18 when data holds fewer than two. Text: text becomes all of data,
  // which is not consumed; 0. Number, AdaKind5, AdaKind1: removes the first
  // size bytes (4 when size is 0; all of data when it holds fewer) and has
  // the plug-in's disassembler turn them into text (result 3 when it is
  // absent, else its result; text becomes what it wrote in its 64-byte
  // area, empty when it wrote nothing). For Number with shift s != 0, even
  // when the conversion failed, text is then read as an unsigned 32-bit
  // number, shifted left by s bits (s > 0) or logically right by -s bits
  // (s < 0), and written back as a signed 32-bit decimal; a shift of 32
  // bits or more either way gives 0.
  int Get(ZBuffer& data, ZString& text);
  // Converts text and appends the encoded value to data. First trims blanks
  // and tabs from both ends of text, in place; an empty text then gives -2,
  // whatever the type. None (and unknown types): nothing written, 0.
  // TwoBytes: the first two characters as two bytes (18 when there are
  // fewer). Text: the trimmed text. Number, AdaKind5, AdaKind1: for Number
  // with shift s != 0, text is first rewritten as the inverse of Get (right
  // by s, or left by -s; 32 bits or more give 0); then the plug-in's
  // assembler encodes it (3 when absent; its non-zero result is returned
  // and nothing written); with size non-zero the value is fitted to size
  // bytes (leading bytes dropped, or 00 bytes put in front).
  int Add(ZBuffer& data, ZString& text);

 private:
  friend struct ZActionShares;
  // Runs the plug-in disassembler over the first n bytes of data.
  int Disassemble(int kind, ZBuffer& data, ZString& text);
  int Assemble(int kind, ZBuffer& data, ZString& text);

  EType type_;
  ZString name_;
  unsigned short size_;
  short shift_;
  int holders_;  // lists holding this element
};

// One piece of a code's byte sequence: fixed bytes or an argument slot.
class ORBCMN_API ZActionFragment final {
 public:
  ORBCMN_DECLARE_ALLOC
  // Persistence (see the top of this file). The record: schema 1, type (short), argument index
  // (short), bytes.
  ORBCMN_PERSISTENT(ZActionFragment)

  // The kind of piece. Every value other than 0 and 2 behaves as a slot.
  enum EType : int {
    StreamBytes = 0,   // fixed bytes of the stream; a data block may follow them
    ArgumentSlot = 1,  // the place of an argument's encoded value in the data block
    DataBytes = 2      // fixed bytes inside the data block
  };

  // Type StreamBytes, index 0, empty bytes (loading sets the fields).
  ZActionFragment();
  // Empty bytes; the index cut to its low 16 bits (signed).
  ZActionFragment(EType type, int index);
  // A copy of bytes; index 0.
  ZActionFragment(EType type, const ZBuffer& bytes);
  // Copies every field; the copy is a separate, unshared element.
  ZActionFragment(const ZActionFragment& other);
  ZActionFragment& operator=(const ZActionFragment& other);
  ~ZActionFragment();

  EType GetType() const { return type_; }
  // For a slot: the 0-based index of the argument that fills it.
  short GetIndex() const { return index_; }
  // For fixed pieces: the fixed bytes.
  const ZBuffer& GetBytes() const { return bytes_; }

  // Recognition step. A slot returns its index and consumes nothing.
  // StreamBytes: removes the fixed bytes from the front of input and, when
  // input still holds bytes, moves one data block (length field and bytes)
  // from input to the end of data; FragmentHandled. DataBytes: removes the
  // fixed bytes from the front of data; FragmentHandled. FragmentRefused,
  // nothing consumed, when the fixed bytes are not at the front. A length
  // larger than what remains takes what remains; input that ends inside a
  // two-byte length field reads as length 0.
  int Match(ZBuffer& input, ZBuffer& data);
  // Generation step. A slot returns its index and writes nothing.
  // StreamBytes: when data is not empty, first writes it to output as one
  // data block and empties it; then appends the fixed bytes;
  // FragmentHandled. A pending block longer than 32,767 bytes cannot be
  // written: FragmentRefused with output and data unchanged. DataBytes:
  // appends the fixed bytes to data; FragmentHandled.
  int Add(ZBuffer& output, ZBuffer& data);

 private:
  friend struct ZActionShares;
  friend class ZActionCode;
  // Reads and removes a length field from the front of input.
  static int GetArgLength(ZBuffer& input);
  // Appends a length field; false, nothing written, above 32,767.
  static bool AddArgLength(ZBuffer& output, unsigned int length);
  // Moves one data block from the front of input to the end of data.
  static void GetArgs(ZBuffer& input, ZBuffer& data);
  // Writes data to output as one data block and empties data; false,
  // nothing changed, when data is longer than 32,767 bytes.
  static bool AddArgs(ZBuffer& output, ZBuffer& data);

  EType type_;
  short index_;
  ZBuffer bytes_;
  int holders_;  // lists holding this element
};

// A test on one argument text that a code requires.
class ORBCMN_API ZActionCondition final {
 public:
  ORBCMN_DECLARE_ALLOC
  // Persistence (see the top of this file). The record: schema 1, argument number (short),
  // operation (short), combine (short), number (long), text.
  ORBCMN_PERSISTENT(ZActionCondition)

  // The test. Other values are stored and saved and never satisfied.
  enum EOperation : int {
    AtLeast = 3,     // the text as a signed number >= number
    AtMost = 5,      // the text as a signed number <= number
    SameInitial = 6  // the text's first character, lower-cased, is text's first
  };
  // How the outcome joins the running result. Other values act as Replace.
  enum ECombine : int { Replace = 0, Or = 1, And = 2 };

  // Argument number 0, operation 0, Replace, empty text, number 0.
  ZActionCondition();
  // Argument number cut to its low 16 bits (signed); text stored in lower
  // case; number 0.
  ZActionCondition(int number, EOperation op, ECombine combine, ZString text);
  // Empty text; number = value (32-bit).
  ZActionCondition(int number, EOperation op, ECombine combine, long value);
  // Copies every field; the copy is a separate, unshared element.
  ZActionCondition(const ZActionCondition& other);
  ZActionCondition& operator=(const ZActionCondition& other);
  ~ZActionCondition();

  // The 1-based number of the argument tested.
  short GetArgNumber() const { return argNumber_; }
  EOperation GetOperation() const { return operation_; }
  ECombine GetCombine() const { return combine_; }
  const ZString& GetText() const { return text_; }
  long GetNumber() const { return number_; }

  // The running result after this condition for the argument numbered
  // number with the given text: previous when number is not this
  // condition's argument number; otherwise the outcome of the operation
  // joined to previous by the combine rule (Or: either; And: both; other:
  // the outcome alone). Texts convert to numbers as ZString's long does
  // ("0x10" is 16). SameInitial compares first characters, an empty text
  // having none: an empty condition text matches only an empty argument
  // text, and an empty argument text never matches a non-empty condition
  // text.
  bool CheckCondition(int number, ZString text, bool previous);

 private:
  friend struct ZActionShares;

  short argNumber_;
  EOperation operation_;
  ECombine combine_;
  ZString text_;
  int number_;   // 32-bit comparison number
  int holders_;  // lists holding this element
};

// One encoding of an action, valid for one variant (options & 3).
class ORBCMN_API ZActionCode final {
 public:
  ORBCMN_DECLARE_ALLOC
  // Persistence (see the top of this file). The record: schema 1, variant (unsigned short), the
  // count of fragments (unsigned short) and each fragment, the count of conditions and each
  // condition.
  ORBCMN_PERSISTENT(ZActionCode)

  // Variant 0, empty lists (loading sets the fields).
  ZActionCode();
  // Variant = the low 16 bits of variant; a variant above 3 never applies.
  explicit ZActionCode(unsigned int variant);
  // Shares the source's fragments and conditions (see the top of this file).
  ZActionCode(const ZActionCode& other);
  ZActionCode& operator=(const ZActionCode& other);
  // Lets go of every fragment and condition (each destroyed when no other
  // list holds it).
  ~ZActionCode();

  unsigned short GetVariant() const { return variant_; }
  const ZListActionFragmentP& GetFragments() const { return fragments_; }
  const ZListActionConditionP& GetConditions() const { return conditions_; }

  // Appends a fixed piece with a copy of bytes and index 0. True; false
  // only when memory ran out (nothing appended).
  bool AddFragment(ZActionFragment::EType type, const ZBuffer& bytes);
  // Appends a piece with empty bytes and index = the low 16 bits of index.
  bool AddFragment(ZActionFragment::EType type, int index);
  // Appends a condition made by ZActionCondition's text constructor.
  bool AddCondition(int number, ZActionCondition::EOperation op, ZActionCondition::ECombine combine,
                    ZString text);
  // Appends a condition made by ZActionCondition's number constructor.
  bool AddCondition(int number, ZActionCondition::EOperation op, ZActionCondition::ECombine combine,
                    long value);

  // Whether this code fits: options & 3 equals the variant, and for every
  // text i of args the conditions, run in order from a result of true with
  // CheckCondition(i + 1, args[i], result), end true. Empty args fit any
  // conditions; conditions on numbers above args.size() are never applied.
  bool CheckForMatch(unsigned int options, ZVectorString& args);
  // Matches this code against its own copy of normalised bytes: an
  // optional start header (00 01 00, 00 01 01 00, or the wait-on forms
  // 00 11 01 00 and 00 11 00, noting OptionWaitOn), an optional marker
  // (0E 22 00 or 0E 21 00), then every fragment in order, each slot's
  // text got by description's argument at its index. Bytes left over are
  // ignored. Then CheckForMatch(variant, texts). On success *options |=
  // the noted bits | variant, args becomes one text per argument of
  // description (empty where no slot filled it), true. On failure options
  // and args are unchanged, false. A slot naming an argument that
  // description does not have, a null description or null options fail.
  bool Recognize(ZActionDescription* description, ZBuffer bytes, unsigned int* options,
                 ZVectorString& args);
  // Builds the byte sequence with this code from its own copy of args:
  // start header (00 11 01 00 with OptionWaitOn, else 00 01 00), marker
  // (0E 21 00 with OptionMarker21, else 0E 22 00 with OptionMarker22), the
  // fragments (each slot converted with description's argument at its
  // index, from the text at that index), the pending data block, the end
  // mark 00 02 00. 0 with the bytes in out. A conversion result other than
  // 0 is returned at once. -1 when a slot names an argument description
  // does not have or a text beyond args, when a data block would exceed
  // 32,767 bytes, when description is null, or when memory runs out. out
  // changes only on 0.
  // Does not check CheckForMatch (ZActionDescription::Generate does).
  int Generate(ZActionDescription* description, unsigned int options, ZVectorString args,
               ZBuffer& out);

 private:
  friend struct ZActionShares;
  friend class ZActionDescription;
  // True when every slot names an argument of description and a text of
  // args.
  bool SlotsFit(const ZActionDescription* description, const ZVectorString& args) const;

  unsigned short variant_;
  ZListActionFragmentP fragments_;
  ZListActionConditionP conditions_;
  int holders_;  // lists holding this element
};

// One action: name, flags, server name, access right, arguments and codes.
class ORBCMN_API ZActionDescription final {
 public:
  ORBCMN_DECLARE_ALLOC
  // Persistence (see the top of this file). The record: schema 2, flags (unsigned short), name,
  // code variants (unsigned short), server name, access right (unsigned long), the count of
  // arguments (unsigned short) and each argument, the count of codes and each code.
  ORBCMN_PERSISTENT(ZActionDescription)

  // Empty name and server name, flags, code variants and access right 0,
  // empty lists (loading sets the fields).
  ZActionDescription();
  // A copy of name; flags = the low 16 bits of flags; code variants 0;
  // empty server name; access right 0.
  ZActionDescription(ZString& name, unsigned int flags);
  // Shares the source's arguments and codes (see the top of this file).
  ZActionDescription(const ZActionDescription& other);
  ZActionDescription& operator=(const ZActionDescription& other);
  // Lets go of every code, then every argument.
  ~ZActionDescription();

  // Description flags; bits 0x04, 0x08, 0x20 have meaning, all are kept.
  unsigned short GetFlags() const { return flags_; }
  // The OR of the variants of the codes added with AddCode (loading
  // restores the saved value instead).
  unsigned short GetCodeVariants() const { return codeVariants_; }
  const ZListActionArgumentP& GetArguments() const { return arguments_; }
  const ZListActionCodeP& GetCodes() const { return codes_; }

  // Appends a code of variant = the low 16 bits of variant, ORs them into
  // code variants and returns the code; null when memory ran out.
  ZActionCode* AddCode(unsigned int variant);
  // Appends an argument when number is above the number of arguments held
  // (the new argument's index is its position, whatever the number); false
  // and nothing added otherwise (or when memory ran out). Size and shift
  // are cut to 16 bits.
  bool AddArgument(unsigned int number, ZActionArgument::EType type, ZString& name, int size,
                   int shift);
  // The argument at 0-based index; null when index is out of range.
  ZActionArgument* GetArgument(int index);
  const ZActionArgument* GetArgument(int index) const;
  int GetNumArgs() const;
  // A copy of the argument's name, or "Unknown" when there is none.
  ZString GetArgName(int index);
  ZString GetName() const;
  void SetServerName(const ZString& name);
  ZString GetServerName() const;
  // The access right, a 32-bit number kept for the tools.
  void SetAccessRight(unsigned long right);
  unsigned long GetAccessRight() const;
  // Code variants has OptionMagic / OptionPop.
  bool CanHaveMagic();
  bool CanHavePop();
  // Flags have OptionMarker22 or OptionMarker21 / OptionWaitOn.
  bool CanHavePayFree();
  bool CanHaveWaitOn();

  // Tries the codes in order, each on the whole bytes, as
  // ZActionCode::Recognize; true at the first success.
  bool Recognize(ZBuffer& bytes, unsigned int* options, ZVectorString& args);
  // Generates with the first code that fits the options and texts as the
  // caller gave them (ZActionCode::CheckForMatch, and every slot naming an
  // argument of this description and a text of args): that code's
  // Generate result (0 with the bytes in out; a conversion result; -1 for
  // an overlong data block or when memory runs out). -1 when no code fits.
  // args is never changed and out changes only on 0.
  int Generate(unsigned int options, ZVectorString& args, ZBuffer& out);

 private:
  friend struct ZActionShares;

  unsigned short flags_;
  ZString name_;
  unsigned short codeVariants_;
  ZString serverName_;
  unsigned int accessRight_;  // 32-bit
  ZListActionArgumentP arguments_;
  ZListActionCodeP codes_;
  int holders_;  // lists holding this element
};

// The vocabulary: descriptions in the order added or loaded.
class ORBCMN_API ZActionTable final {
 public:
  ORBCMN_DECLARE_ALLOC
  // Persistence (see the top of this file). The record: schema 1, the count of descriptions
  // (unsigned short) and each description.
  ORBCMN_PERSISTENT(ZActionTable)

  // An empty table.
  ZActionTable();
  // Shares the source's descriptions (see the top of this file).
  ZActionTable(const ZActionTable& other);
  ZActionTable& operator=(const ZActionTable& other);
  // Lets go of every description (each destroyed with its codes and
  // arguments when no other table holds it).
  ~ZActionTable();

  const ZListActionDescriptionP& GetDescriptions() const { return descriptions_; }

  // Appends a description made as ZActionDescription(name, flags) and
  // returns it (names are not checked for repeats); null when memory ran
  // out.
  ZActionDescription* AddDescription(ZString& name, unsigned int flags);
  // The first description whose name equals name exactly (case-sensitive);
  // null when none.
  ZActionDescription* Find(const ZString& name);
  // Empties names, then appends each description's name in order. True;
  // false, with names empty, when memory ran out.
  bool GetActionNames(ZListString& names);

  // Recognises length bytes as an action: the first description that
  // matches them, tried in order by ZActionDescription::Recognize, with
  // *options and args set from its match; null when none matches.
  //
  // The plug-in's normaliser rewrites the bytes first, into a 4,096-byte
  // area regrown while it answers ADA_AREA_TOO_SMALL (orbcmn/plugin.h); its
  // other answers are not examined, and the size it reports is limited to
  // the area. *options is set to 0 before the descriptions are tried.
  //
  // Null at once, with *options and args untouched, when:
  // - the normaliser is absent;
  // - bytes is null with length > 0, length is negative, or options is null;
  // - memory runs out while the bytes are normalised;
  // - the normaliser answers ADA_AREA_TOO_SMALL without asking for more
  //   room than it was given.
  // Null too when memory runs out while the descriptions are tried
  // (*options and args may then have changed): a description is never
  // returned with a cut argument text.
  ZActionDescription* Recognize(unsigned char* bytes, int length, unsigned int* options,
                                ZVectorString& args);
  // The first description, with args holding one empty text per argument
  // and *options 0; null for an empty table (or null options), options and
  // args untouched.
  ZActionDescription* GetDefaultDescription(unsigned int* options, ZVectorString& args);

 private:
  ZListActionDescriptionP descriptions_;
};

#endif  // ORBCMN_ZACTIONTABLE_H_
