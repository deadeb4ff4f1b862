// The file records of the six action classes, in one place.
#include "actions/shares.h"
#include "orbcmn/zactiontable.h"
#include "orbcmn/zstreamer.h"
#include "persist/protocol.h"

ORBCMN_DEFINE_PERSISTENT(ZActionTable)
ORBCMN_DEFINE_PERSISTENT(ZActionDescription)
ORBCMN_DEFINE_PERSISTENT(ZActionCode)
ORBCMN_DEFINE_PERSISTENT(ZActionFragment)
ORBCMN_DEFINE_PERSISTENT(ZActionArgument)
ORBCMN_DEFINE_PERSISTENT(ZActionCondition)

namespace {

// The largest count a record holds.
constexpr int kMaxCount = 0xFFFF;

// True when the list's count fits its 16-bit field; otherwise the stream
// is marked failed.
template <class T>
bool CountFits(ZStreamer& s, const ZListP<T>& list) {
  if (list.size() <= kMaxCount) return true;
  s.Fail();
  return false;
}

// True when an enumeration value loads back as written from its 16-bit
// field (read with sign extension); otherwise the stream is marked failed.
bool ShortFits(ZStreamer& s, int value) {
  if (value >= -32768 && value <= 32767) return true;
  s.Fail();
  return false;
}

bool WriteCount(ZStreamer& s, int count) { return s.Write(static_cast<unsigned short>(count)); }

// Writes each element of list with T::Save.
template <class T>
bool SaveAll(ZStreamer& s, const ZListP<T>& list) {
  for (T* element : list) {
    if (!T::Save(s, element)) return false;
  }
  return true;
}

// Reads a count, then that many elements into list.
template <class T>
bool LoadCounted(ZStreamer& s, ZListP<T>& list) {
  unsigned short count = 0;
  return s.Read(count) && ZActionShares::LoadInto(s, list, count);
}

// Reads a short into a 32-bit enumeration, sign-extended.
template <class E>
bool ReadShort(ZStreamer& s, E& value) {
  short raw = 0;
  if (!s.Read(raw)) return false;
  value = E(raw);
  return true;
}

// Replaces text with the embedded string record that follows.
bool LoadString(ZStreamer& s, ZString& text) {
  text.Empty();
  return ZString::Load(s, text);
}

}  // namespace

bool ZActionTable::File(ZStreamer& s) {
  if (s.Saving()) {
    return CountFits(s, descriptions_) && s.Schema(1) && WriteCount(s, descriptions_.size()) &&
           SaveAll(s, descriptions_);
  }
  return s.Schema() == 1 && LoadCounted(s, descriptions_);
}

bool ZActionDescription::File(ZStreamer& s) {
  if (s.Saving()) {
    return CountFits(s, arguments_) && CountFits(s, codes_) && s.Schema(2) && s.Write(flags_) &&
           ZString::Save(s, name_) && s.Write(codeVariants_) && ZString::Save(s, serverName_) &&
           s.Write(static_cast<unsigned long>(accessRight_)) && WriteCount(s, arguments_.size()) &&
           SaveAll(s, arguments_) && WriteCount(s, codes_.size()) && SaveAll(s, codes_);
  }
  unsigned long right = 0;
  if (s.Schema() != 2 || !s.Read(flags_) || !LoadString(s, name_) || !s.Read(codeVariants_) ||
      !LoadString(s, serverName_) || !s.Read(right)) {
    return false;
  }
  accessRight_ = static_cast<unsigned int>(right);
  return LoadCounted(s, arguments_) && LoadCounted(s, codes_);
}

bool ZActionCode::File(ZStreamer& s) {
  if (s.Saving()) {
    return CountFits(s, fragments_) && CountFits(s, conditions_) && s.Schema(1) &&
           s.Write(variant_) && WriteCount(s, fragments_.size()) && SaveAll(s, fragments_) &&
           WriteCount(s, conditions_.size()) && SaveAll(s, conditions_);
  }
  return s.Schema() == 1 && s.Read(variant_) && LoadCounted(s, fragments_) &&
         LoadCounted(s, conditions_);
}

bool ZActionFragment::File(ZStreamer& s) {
  if (s.Saving()) {
    return ShortFits(s, type_) && s.Schema(1) && s.Write(static_cast<short>(type_)) &&
           s.Write(index_) && ZBuffer::Save(s, bytes_);
  }
  if (s.Schema() != 1 || !ReadShort(s, type_) || !s.Read(index_)) return false;
  bytes_.Empty();
  return ZBuffer::Load(s, bytes_);
}

bool ZActionArgument::File(ZStreamer& s) {
  if (s.Saving()) {
    return ShortFits(s, type_) && s.Schema(2) && s.Write(static_cast<short>(type_)) &&
           s.Write(size_) && s.Write(shift_) && ZString::Save(s, name_);
  }
  return s.Schema() == 2 && ReadShort(s, type_) && s.Read(size_) && s.Read(shift_) &&
         LoadString(s, name_);
}

bool ZActionCondition::File(ZStreamer& s) {
  if (s.Saving()) {
    return ShortFits(s, operation_) && ShortFits(s, combine_) && s.Schema(1) &&
           s.Write(argNumber_) && s.Write(static_cast<short>(operation_)) &&
           s.Write(static_cast<short>(combine_)) && s.Write(static_cast<long>(number_)) &&
           ZString::Save(s, text_);
  }
  long number = 0;
  if (s.Schema() != 1 || !s.Read(argNumber_) || !ReadShort(s, operation_) ||
      !ReadShort(s, combine_) || !s.Read(number)) {
    return false;
  }
  number_ = static_cast<int>(number);
  return LoadString(s, text_);
}
