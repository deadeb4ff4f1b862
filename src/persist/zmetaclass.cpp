// The class registry: records chained at load, found by id or name.
#include "orbcmn/zmetaclass.h"

#include <cstdint>
#include <cstring>

#include "lib/alloc.h"
#include "orbcmn/zstreamer.h"

ORBCMN_DEFINE_ALLOC(ZMetaClass)
ORBCMN_DEFINE_ALLOC(ZMetaClassAlias)

// Both heads are constant-initialised, so records built by any static
// constructor find them ready.
ZMetaClass* ZMetaClass::s_head = nullptr;
ZMetaClassAlias* ZMetaClassAlias::s_head = nullptr;

long ZMetaClass::ClassId(const char* name) {
  if (name == nullptr) return 0;
  std::size_t length = std::strlen(name);
  std::uint32_t h = static_cast<std::uint32_t>(length);
  for (std::size_t i = 0; i < length; i++) {
    h = h * 613u + static_cast<std::uint32_t>(static_cast<signed char>(name[i]));
  }
  std::int32_t v = static_cast<std::int32_t>(h);
  // Negating the smallest value leaves it negative, as 32-bit arithmetic does.
  if (v < 0) v = static_cast<std::int32_t>(0u - h);
  return v % 1073741827;
}

ZMetaClass::ZMetaClass(const char* name) : ZMetaClass(name, nullptr) {}

ZMetaClass::ZMetaClass(const char* name, const char* parentName)
    : name_(name),
      id_(ClassId(name)),
      parentName_(parentName),
      next_(s_head),
      parent_(nullptr),
      firstSubClass_(nullptr),
      nextSibling_(nullptr) {
  s_head = this;
}

ZMetaClass::~ZMetaClass() {}

bool ZMetaClass::Attach() {
  for (ZMetaClass* record = s_head; record != nullptr; record = record->next_) {
    if (record->parentName_ == nullptr || record->parent_ != nullptr) continue;
    ZMetaClass* parent = Find(record->parentName_, false);
    if (parent != nullptr) parent->AttachSubClass(record);
  }
  return true;
}

bool ZMetaClass::Save(ZStreamer& s) { return s.Write(id_); }

ZMetaClass* ZMetaClass::LoadNext(ZStreamer& s) {
  long id;
  if (!s.Read(id) || id == 0) return nullptr;
  return Find(id);
}

bool ZMetaClass::CheckNextStrict(ZStreamer& s) { return LoadNext(s) == this; }

bool ZMetaClass::IsSubClass(const char* name) const {
  for (const ZMetaClass* record = this; record != nullptr; record = record->parent_) {
    if (record->name_ == name) return true;
  }
  return false;
}

ZMetaClass* ZMetaClass::Find(long id) {
  for (ZMetaClass* record = s_head; record != nullptr; record = record->next_) {
    if (record->id_ == id) return record;
  }
  return nullptr;
}

ZMetaClass* ZMetaClass::Find(const char* name, bool useAliases) {
  if (name == nullptr) return nullptr;
  for (ZMetaClass* record = s_head; record != nullptr; record = record->next_) {
    if (record->name_ == name ||
        (record->name_ != nullptr && std::strcmp(record->name_, name) == 0))
      return record;
  }
  if (!useAliases) return nullptr;
  for (ZMetaClassAlias* alias = ZMetaClassAlias::s_head; alias != nullptr; alias = alias->next_) {
    if (alias->alias_ != nullptr && std::strcmp(alias->alias_, name) == 0)
      return Find(alias->className_, false);
  }
  return nullptr;
}

void ZMetaClass::AttachSubClass(ZMetaClass* sub) {
  sub->AttachSibling(firstSubClass_);
  sub->parent_ = this;
  firstSubClass_ = sub;
}

void ZMetaClass::AttachSibling(ZMetaClass* s) { nextSibling_ = s; }

ZMetaClassAlias::ZMetaClassAlias(const char* className, const char* aliasName)
    : alias_(aliasName), className_(className), next_(s_head) {
  s_head = this;
}
