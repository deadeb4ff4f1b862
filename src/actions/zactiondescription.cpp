// ZActionDescription: one action with its arguments and codes.
#include "actions/shares.h"
#include "lib/alloc.h"
#include "orbcmn/zactiontable.h"

ORBCMN_DEFINE_ALLOC(ZActionDescription)

ZActionDescription::ZActionDescription()
    : flags_(0), codeVariants_(0), accessRight_(0), holders_(0) {}

ZActionDescription::ZActionDescription(ZString& name, unsigned int flags)
    : flags_(static_cast<unsigned short>(flags)),
      name_(name),
      codeVariants_(0),
      accessRight_(0),
      holders_(0) {}

ZActionDescription::ZActionDescription(const ZActionDescription& other)
    : flags_(other.flags_),
      name_(other.name_),
      codeVariants_(other.codeVariants_),
      serverName_(other.serverName_),
      accessRight_(other.accessRight_),
      holders_(0) {
  ZActionShares::Assign(arguments_, other.arguments_);
  ZActionShares::Assign(codes_, other.codes_);
}

ZActionDescription& ZActionDescription::operator=(const ZActionDescription& other) {
  if (this == &other) return *this;
  flags_ = other.flags_;
  name_ = other.name_;
  codeVariants_ = other.codeVariants_;
  serverName_ = other.serverName_;
  accessRight_ = other.accessRight_;
  ZActionShares::Assign(arguments_, other.arguments_);
  ZActionShares::Assign(codes_, other.codes_);
  return *this;
}

ZActionDescription::~ZActionDescription() {
  ZActionShares::Release(codes_);
  ZActionShares::Release(arguments_);
}

ZActionCode* ZActionDescription::AddCode(unsigned int variant) {
  ZActionCode* code = orb::MakeWhole<ZActionCode>(variant);
  if (code == nullptr || !ZActionShares::Append(codes_, code)) return nullptr;
  codeVariants_ |= code->GetVariant();
  return code;
}

bool ZActionDescription::AddArgument(unsigned int number, ZActionArgument::EType type,
                                     ZString& name, int size, int shift) {
  if (number <= static_cast<unsigned int>(arguments_.size())) return false;
  ZActionArgument* argument = orb::MakeWhole<ZActionArgument>(type, name, size, shift);
  return argument != nullptr && ZActionShares::Append(arguments_, argument);
}

ZActionArgument* ZActionDescription::GetArgument(int index) {
  if (index < 0 || index >= arguments_.size()) return nullptr;
  ZListActionArgumentP::ZIterator it = arguments_.begin();
  for (int i = 0; i < index; ++i) ++it;
  return *it;
}

const ZActionArgument* ZActionDescription::GetArgument(int index) const {
  return const_cast<ZActionDescription*>(this)->GetArgument(index);
}

int ZActionDescription::GetNumArgs() const { return arguments_.size(); }

ZString ZActionDescription::GetArgName(int index) {
  ZActionArgument* argument = GetArgument(index);
  return argument != nullptr ? argument->GetName() : ZString("Unknown");
}

ZString ZActionDescription::GetName() const { return name_; }

void ZActionDescription::SetServerName(const ZString& name) { serverName_ = name; }

ZString ZActionDescription::GetServerName() const { return serverName_; }

void ZActionDescription::SetAccessRight(unsigned long right) {
  accessRight_ = static_cast<unsigned int>(right);
}

unsigned long ZActionDescription::GetAccessRight() const { return accessRight_; }

bool ZActionDescription::CanHaveMagic() { return (codeVariants_ & OptionMagic) != 0; }

bool ZActionDescription::CanHavePop() { return (codeVariants_ & OptionPop) != 0; }

bool ZActionDescription::CanHavePayFree() {
  return (flags_ & (OptionMarker22 | OptionMarker21)) != 0;
}

bool ZActionDescription::CanHaveWaitOn() { return (flags_ & OptionWaitOn) != 0; }

bool ZActionDescription::Recognize(ZBuffer& bytes, unsigned int* options, ZVectorString& args) {
  for (ZActionCode* code : codes_) {
    if (code->Recognize(this, bytes, options, args)) return true;
  }
  return false;
}

int ZActionDescription::Generate(unsigned int options, ZVectorString& args, ZBuffer& out) {
  for (ZActionCode* code : codes_) {
    if (code->CheckForMatch(options, args) && code->SlotsFit(this, args)) {
      return code->Generate(this, options, args, out);
    }
  }
  return -1;
}
