// Atom stream disassembler and assembler.
#include "stream.h"

#include <cstdint>
#include <sstream>

#include "json_fields.h"
#include "lib/coding.h"
#include "orbcmn/zatombuffer.h"
#include "orbcmn/zenum.h"

namespace orbtool {

namespace {

const int kMaxProtocol = static_cast<int>(orb::kMaxProtocol);
const int kMaxAtom = static_cast<int>(orb::kMaxAtom);
const size_t kMaxData = orb::kMaxAtomLength;

std::string Str(const ZString& s) {
  return std::string(static_cast<const char*>(s), s.GetLength());
}

const ZAtom* FindAtom(const ZAtomTable* table, long cls, unsigned protocol, unsigned atom) {
  if (table == nullptr) return nullptr;
  if (cls >= 0) {
    return table->GetAtom(static_cast<unsigned short>(cls), static_cast<unsigned short>(protocol),
                          static_cast<unsigned short>(atom));
  }
  for (const ZClass* c = table->GetFirstClass(); c != nullptr; c = c->Next()) {
    const ZAtom* a = table->GetAtom(c->GetClass(), static_cast<unsigned short>(protocol),
                                    static_cast<unsigned short>(atom));
    if (a != nullptr) return a;
  }
  return nullptr;
}

// The width of an enumerated value: the enumeration's size when it is 1 to
// 4 bytes, else the shortest of 1, 2 or 4 bytes, as the builder narrows.
Bytes EncodeValue(const ZEnum& e, uint32_t value, bool* fits) {
  unsigned width = e.GetSize();
  if (width < 1 || width > 4) width = value < 0x100 ? 1 : value < 0x10000 ? 2 : 4;
  *fits = width == 4 || value < (1u << (8 * width));
  Bytes b(width);
  orb::PutBig(b.data(), value, width);
  return b;
}

// "a | c" as "a|c": the enumeration's pieces without the blanks around the
// bars, which is how its parser takes them.
std::string CompactPieces(const std::string& text) {
  std::string out;
  std::string piece;
  auto flush = [&]() {
    size_t b = piece.find_first_not_of(' ');
    size_t e = piece.find_last_not_of(' ');
    out += b == std::string::npos ? "" : piece.substr(b, e - b + 1);
    piece.clear();
  };
  for (char c : text) {
    if (c == '|') {
      flush();
      out += '|';
    } else {
      piece += c;
    }
  }
  flush();
  return out;
}

bool PlainName(const std::string& name) {
  if (name.empty() || name == "?" || name[0] == '=' || name[0] == '[' || name[0] == '"' ||
      name[0] == '#' || name[0] == '-' || (name[0] >= '0' && name[0] <= '9')) {
    return false;
  }
  for (unsigned char c : name) {
    if (c <= ' ' || c >= 0x7F) return false;
  }
  return true;
}

std::string NameToken(const std::string& name) {
  if (PlainName(name)) return name;
  return Json(BytesToUtf8(name)).dump();
}

// Data shown as characters rather than hex: three or more printable ASCII
// characters.
bool Printable(const Bytes& data) {
  if (data.size() < 3) return false;
  for (unsigned char c : data) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

std::string QuotedText(const Bytes& data) {
  return Json(BytesToUtf8(std::string(data.begin(), data.end()))).dump();
}

// One line of the assembler's input.
class LineParser {
 public:
  LineParser(const ZAtomTable* table, long cls, const std::string& line, const std::string& where)
      : table_(table), cls_(cls), s_(line), where_(where) {}

  // False for a blank or comment line.
  bool Parse(unsigned* protocol, unsigned* atom, Bytes* data) {
    Skip();
    if (pos_ == s_.size() || s_[pos_] == '#') return false;
    std::string first;
    bool quoted = Token(&first);
    long long number = 0;
    const ZAtom* found = nullptr;
    if (!quoted && ParseNumber(first, 0, kMaxProtocol, &number)) {
      *protocol = static_cast<unsigned>(number);
      found = AtomByNumbers(*protocol, atom);
    } else {
      if (!quoted && ParseNumber(first, -1000000, 1000000, &number)) {
        Fail("protocol " + first + " is out of range (0 to " + std::to_string(kMaxProtocol) + ")");
      }
      found = AtomByName(first, protocol, atom);
    }
    Skip();
    data->clear();
    if (pos_ != s_.size()) Data(found, data);
    return true;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const { throw ToolError(where_ + ": " + what); }

  // The atom number and name (or ?) after a protocol number; the table's
  // atom with those numbers, or null when there is none.
  const ZAtom* AtomByNumbers(unsigned protocol, unsigned* atom) {
    std::string second;
    long long number = 0;
    Skip();
    if (Token(&second) || !ParseNumber(second, 0, kMaxAtom, &number)) {
      Fail("expected an atom number from 0 to " + std::to_string(kMaxAtom) + " after the protocol");
    }
    *atom = static_cast<unsigned>(number);
    const ZAtom* found = FindAtom(table_, cls_, protocol, *atom);
    Skip();
    if (pos_ == s_.size() || s_[pos_] == '=' || s_[pos_] == '[') {
      Fail("expected the atom's name (or ?) after its numbers");
    }
    std::string name;
    bool q = Token(&name);
    if ((q || name != "?") && found != nullptr && Str(found->GetName()) != name) {
      Fail("atom " + std::to_string(protocol) + " " + std::to_string(*atom) + " is named '" +
           Str(found->GetName()) + "' in the table, not '" + name + "'");
    }
    return found;
  }

  // The table's atom named name, with its numbers.
  const ZAtom* AtomByName(const std::string& name, unsigned* protocol, unsigned* atom) {
    if (table_ == nullptr) Fail("atom '" + name + "' named without a table");
    const ZAtom* found = table_->GetAtom(ZString(name.data(), static_cast<unsigned>(name.size())));
    if (found == nullptr) Fail("no atom named '" + name + "' in the table");
    *protocol = found->GetProtocol();
    *atom = found->GetAtom();
    if (*protocol > kMaxProtocol || *atom > kMaxAtom) {
      Fail("atom '" + name + "' has numbers an atom stream cannot hold");
    }
    return found;
  }

  // The data after the atom: "= TEXT" through found's enumeration, a quoted
  // text, or hex bytes in brackets.
  void Data(const ZAtom* found, Bytes* data) {
    if (s_[pos_] == '=') {
      Enumerated(found, s_.substr(pos_ + 1), data);
    } else if (s_[pos_] == '"') {
      std::string text;
      Token(&text);
      data->assign(text.begin(), text.end());
      Skip();
      if (pos_ != s_.size()) Fail("unexpected text after the data text");
    } else if (s_[pos_] == '[') {
      size_t close = s_.find(']', pos_);
      if (close == std::string::npos) Fail("missing ']' after the data bytes");
      std::string error;
      if (!ParseHex(s_.substr(pos_ + 1, close - pos_ - 1), data, &error)) Fail(error);
      pos_ = close + 1;
      Skip();
      if (pos_ != s_.size()) Fail("unexpected text after the data bytes");
    } else {
      Fail("expected '= TEXT', '[HEX BYTES]' or a quoted text after the atom");
    }
    if (data->size() > kMaxData) Fail("more than 32767 data bytes");
  }

  void Skip() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t')) ++pos_;
  }

  // A bare token or a double-quoted JSON string; true when quoted.
  bool Token(std::string* out) {
    if (pos_ < s_.size() && s_[pos_] == '"') {
      size_t end = pos_ + 1;
      while (end < s_.size() && s_[end] != '"') end += s_[end] == '\\' ? 2 : 1;
      if (end >= s_.size()) Fail("unterminated quoted text");
      std::string text;
      try {
        text = Json::parse(s_.substr(pos_, end + 1 - pos_)).get<std::string>();
      } catch (const Json::exception&) {
        Fail("bad quoted text");
      }
      if (!Utf8ToBytes(text, out)) Fail("characters above U+00FF in a quoted text");
      pos_ = end + 1;
      return true;
    }
    size_t start = pos_;
    while (pos_ < s_.size() && s_[pos_] != ' ' && s_[pos_] != '\t') ++pos_;
    *out = s_.substr(start, pos_ - start);
    return false;
  }

  void Enumerated(const ZAtom* found, const std::string& rest, Bytes* data) const {
    const ZEnum* e = found != nullptr ? found->GetEnum(0) : nullptr;
    if (e == nullptr) Fail("'=' needs an atom with an enumeration in the table");
    std::string text = CompactPieces(rest);
    bool ok = false;
    unsigned long value = e->Lookup(ZString(text.data(), static_cast<unsigned>(text.size())), &ok);
    if (!ok) Fail("'" + text + "' is not a value of the atom's enumeration");
    bool fits = false;
    *data = EncodeValue(*e, static_cast<uint32_t>(value), &fits);
    if (!fits) Fail("'" + text + "' does not fit the enumeration's size");
  }

  const ZAtomTable* table_;
  long cls_;
  const std::string& s_;
  const std::string& where_;
  size_t pos_ = 0;
};

// The enumerated form of data, when assembling it gives the same bytes.
bool EnumeratedLine(const ZAtomTable* table, long cls, const std::string& head, const ZAtom* atom,
                    const Bytes& data, std::string* line) {
  const ZEnum* e = atom != nullptr ? atom->GetEnum(0) : nullptr;
  if (e == nullptr || data.empty() || data.size() > 4) return false;
  uint32_t value = static_cast<uint32_t>(orb::GetBig(data.data(), data.size()));
  std::string text = CompactPieces(Str(e->Lookup(value)));
  if (text.empty() || text.find_first_of("\r\n") != std::string::npos) return false;
  std::string candidate = head + " = " + text;
  try {
    unsigned p = 0, a = 0;
    Bytes again;
    LineParser(table, cls, candidate, "").Parse(&p, &a, &again);
    if (again != data) return false;
  } catch (const ToolError&) {
    return false;
  }
  *line = candidate;
  return true;
}

// Why the disassembler cannot read the header that begins with first.
std::string HeaderFaultText(orb::HeaderFault fault, unsigned char first,
                            const orb::AtomHeader& header) {
  switch (fault) {
    case orb::HeaderFault::kFirstByte:
      return "byte " + FormatHex(&first, 1) + " does not begin an atom";
    case orb::HeaderFault::kSecondByte:
      return "bad second protocol byte";
    case orb::HeaderFault::kEndsInHeader:
      return "the stream ends inside an atom header";
    case orb::HeaderFault::kEndsBeforeLength:
      return "the stream ends before the atom's length";
    case orb::HeaderFault::kEndsInLength:
      return "the stream ends inside the atom's length";
    case orb::HeaderFault::kLongFormLength:
      return "length " + std::to_string(header.length) + " in the two-byte form";
    case orb::HeaderFault::kNone:
      break;
  }
  return "";
}

}  // namespace

std::string DisassembleStream(const ZAtomTable* table, long cls, const Bytes& bytes,
                              const std::string& source) {
  std::ostringstream out;
  size_t i = 0;
  auto fail = [&](size_t at, const std::string& what) {
    throw ToolError(source + ": offset " + std::to_string(at) + ": " + what);
  };
  while (i < bytes.size()) {
    size_t start = i;
    orb::AtomHeader header = {};
    size_t size = 0;
    orb::HeaderFault fault = orb::ReadAtomHeaderStrict(&bytes[i], bytes.size() - i, &header, &size);
    if (fault != orb::HeaderFault::kNone) fail(start, HeaderFaultText(fault, bytes[start], header));
    i += size;
    unsigned protocol = header.protocol;
    unsigned atomNumber = header.atom;
    size_t length = header.length;
    if (bytes.size() - i < length) {
      fail(start, "the atom's data runs past the end (" + std::to_string(length) +
                      " bytes declared, " + std::to_string(bytes.size() - i) + " left)");
    }
    Bytes data(bytes.begin() + static_cast<long>(i), bytes.begin() + static_cast<long>(i + length));
    i += length;

    const ZAtom* atom = FindAtom(table, cls, protocol, atomNumber);
    std::string head = std::to_string(protocol) + " " + std::to_string(atomNumber) + " " +
                       (atom != nullptr ? NameToken(Str(atom->GetName())) : "?");
    std::string line;
    if (data.empty()) {
      line = head;
    } else if (!EnumeratedLine(table, cls, head, atom, data, &line)) {
      line = head + " " + (Printable(data) ? QuotedText(data) : "[" + FormatHex(data) + "]");
    }
    out << line << "\n";
  }
  return out.str();
}

Bytes AssembleStream(const ZAtomTable* table, long cls, const std::string& text,
                     const std::string& source) {
  ZAtomBuffer buffer;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string where = source + ": line " + std::to_string(number);
    unsigned protocol = 0, atom = 0;
    Bytes data;
    if (!LineParser(table, cls, line, where).Parse(&protocol, &atom, &data)) continue;
    unsigned before = buffer.GetLength();
    if (data.empty()) {
      buffer.AppendAtom(static_cast<int>(protocol), static_cast<int>(atom));
    } else {
      buffer.AppendAtom(static_cast<int>(protocol), static_cast<int>(atom), data.data(),
                        static_cast<int>(data.size()));
    }
    if (buffer.GetLength() == before) throw ToolError(where + ": the atom could not be appended");
  }
  const unsigned char* p = buffer.GetBytePtr();
  return p == nullptr ? Bytes() : Bytes(p, p + buffer.GetLength());
}

}  // namespace orbtool
