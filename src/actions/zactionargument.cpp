// ZActionArgument: conversion of one argument between its encoded bytes
// and its text.
#include <cstdint>
#include <cstring>

#include "actions/sequences.h"
#include "lib/alloc.h"
#include "lib/plugin.h"
#include "orbcmn/zactiontable.h"

ORBCMN_DEFINE_ALLOC(ZActionArgument)

namespace {

// The plug-in conversion kind of a type it converts: Number, AdaKind5 or
// AdaKind1.
int KindOf(ZActionArgument::EType type) {
  if (type == ZActionArgument::Number) return ADA_KIND_UNSIGNED;
  return type == ZActionArgument::AdaKind5 ? ADA_KIND_SIGNED : ADA_KIND_HEX_BYTES;
}

// value shifted left by bits (right, logically, when bits is negative);
// 0 for shifts of 32 bits or more either way.
uint32_t Shift(uint32_t value, int bits) {
  if (bits >= 32 || bits <= -32) return 0;
  return bits >= 0 ? value << bits : value >> -bits;
}

// Rewrites text as its unsigned 32-bit number shifted by bits, printed as
// a signed 32-bit decimal.
void ShiftText(ZString& text, int bits) {
  uint32_t value = static_cast<uint32_t>(static_cast<unsigned long>(text));
  text.Format("%d", static_cast<int32_t>(Shift(value, bits)));
}

}  // namespace

ZActionArgument::ZActionArgument() : type_(None), size_(0), shift_(0), holders_(0) {}

ZActionArgument::ZActionArgument(EType type, ZString name, int size, int shift)
    : type_(type),
      name_(name),
      size_(static_cast<unsigned short>(size)),
      shift_(static_cast<short>(shift)),
      holders_(0) {}

ZActionArgument::ZActionArgument(const ZActionArgument& other)
    : type_(other.type_),
      name_(other.name_),
      size_(other.size_),
      shift_(other.shift_),
      holders_(0) {}

ZActionArgument& ZActionArgument::operator=(const ZActionArgument& other) {
  type_ = other.type_;
  name_ = other.name_;
  size_ = other.size_;
  shift_ = other.shift_;
  return *this;
}

ZActionArgument::~ZActionArgument() {}

ZString ZActionArgument::GetName() const { return name_; }

int ZActionArgument::Get(ZBuffer& data, ZString& text) {
  switch (type_) {
    case TwoBytes:
      if (data.GetLength() < 2) return ActionShortArgument;
      text.Append(static_cast<const char*>(data), 2);
      orb::DropFront(data, 2);
      return 0;
    case Text:
      text = ZString(static_cast<const char*>(data), data.GetLength());
      return 0;
    case Number:
    case AdaKind5:
    case AdaKind1: {
      int result = Disassemble(KindOf(type_), data, text);
      if (type_ == Number && shift_ != 0) ShiftText(text, shift_);
      return result;
    }
    default:
      return 0;
  }
}

int ZActionArgument::Disassemble(int kind, ZBuffer& data, ZString& text) {
  unsigned int n = size_ == 0 ? 4 : size_;
  if (n > data.GetLength()) n = data.GetLength();
  ZBuffer value(static_cast<const char*>(data), n);
  orb::DropFront(data, n);
  AdaDisassembleArgumentFn disassemble = g_orbPlugin.disassemble;
  if (disassemble == nullptr) return ActionNoPlugin;
  char area[ADA_TEXT_AREA] = {};
  int32_t size = ADA_TEXT_AREA;
  int result = disassemble(kind, value.GetBytePtr(), static_cast<int32_t>(n), 0, area, &size);
  // The text ends at the first zero byte, or with the area.
  text = ZString(area, static_cast<unsigned int>(strnlen(area, ADA_TEXT_AREA)));
  return result;
}

int ZActionArgument::Add(ZBuffer& data, ZString& text) {
  text.Strip(ZString::eBoth, ZString(" \t"));
  if (text.IsEmpty()) return ActionEmptyText;
  switch (type_) {
    case TwoBytes:
      if (text.GetLength() < 2) return ActionShortArgument;
      data.Append(static_cast<const char*>(text), 2);
      return 0;
    case Text:
      data.Append(static_cast<const char*>(text), text.GetLength());
      return 0;
    case Number:
    case AdaKind5:
    case AdaKind1:
      if (type_ == Number && shift_ != 0) ShiftText(text, -shift_);
      return Assemble(KindOf(type_), data, text);
    default:
      return 0;
  }
}

int ZActionArgument::Assemble(int kind, ZBuffer& data, ZString& text) {
  AdaAssembleArgumentFn assemble = g_orbPlugin.assemble;
  if (assemble == nullptr) return ActionNoPlugin;
  unsigned char area[ADA_BYTE_AREA] = {};
  int32_t size = ADA_BYTE_AREA;
  int result = assemble(kind, static_cast<const char*>(text), 0, area, &size);
  if (result != ADA_OK) return result;
  // Only what lies inside the area is taken, whatever size is reported.
  unsigned int produced = size < 0 ? 0 : size > ADA_BYTE_AREA ? ADA_BYTE_AREA : size;
  const unsigned char* value = area;
  if (size_ != 0 && produced > size_) {
    value += produced - size_;
    produced = size_;
  }
  for (unsigned int pad = produced; pad < size_; ++pad) data += '\0';
  data.Append(reinterpret_cast<const char*>(value), produced);
  return 0;
}
