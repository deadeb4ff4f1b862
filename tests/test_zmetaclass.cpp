// The class registry after Attach: the record chain, ids, lookups by id,
// name and alias, parents and the subclass links.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "orbcmn/orbcmn.h"

namespace {

// Records of test classes: a root and two subclasses of it.
struct TestRecord : ZMetaClass {
  TestRecord(const char* name, const char* parent) : ZMetaClass(name, parent) {}
  void* Make() override { return nullptr; }
};
TestRecord g_root("TestRoot", nullptr), g_subA("SubA", "TestRoot"), g_subB("SubB", "TestRoot");

// A link of a record, counted back from its end: 1 its next sibling, 2 its
// first subclass (the record's layout is part of the binary form).
const ZMetaClass* Link(const ZMetaClass& record, int back) {
  const ZMetaClass* link;
  std::memcpy(&link, reinterpret_cast<const char*>(&record) + sizeof record - back * sizeof link,
              sizeof link);
  return link;
}

class Hooks : public ZMetaClass {
 public:
  using ZMetaClass::Find;
};

ZMetaClassAlias g_alias("ZString", "OldString");

TEST(Registry, RecordOrderIdsAndLookups) {
  EXPECT_EQ(ZString::c_ZString.GetParent(), nullptr);         // loading the library links nothing
  EXPECT_TRUE(ZMetaClass::Attach() && ZMetaClass::Attach());  // the second changes nothing
  EXPECT_EQ(ZMetaClass::ClassId("ZBuffer"), 339455197);       // a negative hash
  EXPECT_EQ(ZMetaClass::ClassId(""), 0);

  // The chain runs from the last record built to the first; Attach gave
  // the subclasses their parents and linked a parent's subclasses.
  std::string chain, parents;
  for (const ZMetaClass* r = ZMetaClass::GetFirst(); r != nullptr; r = r->GetNext()) {
    chain += std::string(" ") + r->GetName();
    EXPECT_EQ(r->GetId(), ZMetaClass::ClassId(r->GetName())) << r->GetName();
    if (r->GetParent() != nullptr)
      parents += std::string(r->GetName()) + "<" + r->GetParent()->GetName() + " ";
  }
  EXPECT_EQ(chain,
            " SubB SubA TestRoot ZAtomTable ZClass ZProtocol ZAtom ZMulti ZEnum ZEnumItem ZString"
            " ZBuffer ZActionCondition ZActionArgument ZActionFragment ZActionCode"
            " ZActionDescription ZActionTable");
  EXPECT_EQ(parents, "SubB<TestRoot SubA<TestRoot ZString<ZBuffer ");
  EXPECT_TRUE(Link(g_root, 2) == &g_subA && Link(g_subA, 1) == &g_subB &&
              Link(g_subB, 1) == nullptr);

  EXPECT_EQ(Hooks::Find(418742016L), &ZString::c_ZString);
  std::string copy = "ZBuffer";
  EXPECT_EQ(Hooks::Find(copy.c_str(), false), &ZBuffer::c_ZBuffer);
  EXPECT_TRUE(Hooks::Find("OldString", false) == nullptr &&
              Hooks::Find("OldString", true) == &ZString::c_ZString);

  // Subclasses compare name constants by pointer.
  EXPECT_TRUE(ZString::c_ZString.IsSubClass(ZBuffer::n_ZBuffer) &&
              !ZBuffer::c_ZBuffer.IsSubClass(ZString::n_ZString) &&
              !ZString::c_ZString.IsSubClass(copy.c_str()));
}

}  // namespace
