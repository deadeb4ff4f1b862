// The class registry and the object protocol after Attach, driven through a
// test class with its own record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lib/coding.h"
#include "orbcmn/orbcmn.h"
#include "persist/protocol.h"
#include "support/streamfile.h"

namespace {

// Built as the library's classes are: virtual File and Class, no virtual
// destructor. Its record: schema 1, the value, then `other` as a reference.
class TestNode final {
 public:
  class ZMetaZTestNode : public ZMetaClass {
   public:
    ZMetaZTestNode() : ZMetaClass(n_TestNode) {}
    void* Make() override { return makeFails ? nullptr : new TestNode; }
    bool makeFails = false;  // as when memory runs out
  };
  static const char* const n_TestNode;
  static ZMetaZTestNode c_TestNode;
  typedef orb::Persistence<TestNode> P;
  explicit TestNode(long v = 0) : value(v) {}

  virtual bool File(ZStreamer& s) {
    if (s.Saving()) {
      s.Schema(1);
      s.Write(value);
      return P::SavePointer(s, other);
    }
    return s.Schema() == 1 && s.Read(value) && P::LoadPointer(s, other, n_TestNode);
  }
  virtual ZMetaClass* Class() { return &c_TestNode; }

  long value = 0;
  TestNode* other = nullptr;
  TestNode* link = nullptr;
};

const char* const TestNode::n_TestNode = "TestNode";
TestNode::ZMetaZTestNode TestNode::c_TestNode;

// Two subclasses of the test class, for Attach to link as siblings.
struct ZMetaSub : ZMetaClass {
  explicit ZMetaSub(const char* name) : ZMetaClass(name, TestNode::n_TestNode) {}
  void* Make() override { return nullptr; }
};
ZMetaSub g_subA("SubA"), g_subB("SubB");

// A link of a record, counted back from its end: 1 its next sibling, 2 its
// first subclass (the record's layout is part of the binary form).
const ZMetaClass* Link(const ZMetaClass& record, int back) {
  const ZMetaClass* link;
  std::memcpy(&link, reinterpret_cast<const char*>(&record) + sizeof record - back * sizeof link,
              sizeof link);
  return link;
}

// Offset of the link field (offsetof is not for classes with virtual calls).
const TestNode kProbe;
const int kLink = static_cast<int>(reinterpret_cast<const char*>(&kProbe.link) -
                                   reinterpret_cast<const char*>(&kProbe));

bool LoadList(ZStreamer& s, TestNode*& head) {
  head = nullptr;
  return TestNode::P::LoadList(s, &head, kLink, TestNode::n_TestNode);
}

// The values of a loaded list, front to back; the list is freed.
std::string Take(TestNode* head) {
  std::string values;
  for (TestNode* next; head != nullptr; head = next) {
    values += std::to_string(head->value);
    next = head->link;
    delete head;
  }
  return values;
}

// The stream header, then the items, the test class's tag before every
// identifier (a new object or a back-reference).
Bytes Stream(std::initializer_list<Bytes> items) {
  unsigned char tag[6] = {0xFF, 0xEA};
  orb::PutBig32(tag + 2, ZMetaClass::ClassId(TestNode::n_TestNode));
  Bytes out = {0x00, 0x01};
  for (const Bytes& item : items) {
    if (item[1] == 0xEB) out.insert(out.end(), tag, tag + 6);
    out.insert(out.end(), item.begin(), item.end());
  }
  return out;
}

class Hooks : public ZMetaClass {
 public:
  using ZMetaClass::Find;
};

ZMetaClassAlias g_alias("ZString", "OldString");

class RegistryTest : public StreamFileTest {
 protected:
  static void SetUpTestSuite() { ZMetaClass::Attach(); }
};

TEST_F(RegistryTest, RecordOrderIdsAndLookups) {
  EXPECT_TRUE(ZMetaClass::Attach());                     // a second Attach changes nothing below
  EXPECT_EQ(ZMetaClass::ClassId("ZBuffer"), 339455197);  // a negative hash
  EXPECT_EQ(ZMetaClass::ClassId("ZAtomTable"), 52044730);
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
            " SubB SubA TestNode ZAtomTable ZClass ZProtocol ZAtom ZMulti ZEnum ZEnumItem ZString"
            " ZBuffer ZActionCondition ZActionArgument ZActionFragment ZActionCode"
            " ZActionDescription ZActionTable");
  EXPECT_EQ(parents, "SubB<TestNode SubA<TestNode ZString<ZBuffer ");
  EXPECT_TRUE(Link(TestNode::c_TestNode, 2) == &g_subA && Link(g_subA, 1) == &g_subB &&
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

// A list links up to the null reference. Every cut of it fails with the
// loaded elements linked and the broken one gone; every corrupted byte: no
// crash, no leak.
TEST_F(RegistryTest, ListsLoadAndDamagedListsFailWithoutLeaks) {
  TestNode dummy, *head = &dummy;
  EXPECT_TRUE(TestNode::P::LoadList(Loader({0x00, 0x01, 0xFF, 0xEA, 0, 0, 0, 0}), &head, kLink,
                                    TestNode::n_TestNode) &&
              head == nullptr);
  TestNode nodes[] = {TestNode(1), TestNode(2), TestNode(3)};
  const Bytes full = Save([&](ZStreamer& s) {
    for (TestNode& node : nodes) TestNode::P::SavePointer(s, &node);
    s.Null();
  });
  EXPECT_TRUE(LoadList(Loader(full), head) && Take(head) == "123");
  for (size_t at = 2; at < full.size(); at++) {
    EXPECT_FALSE(LoadList(Loader(Bytes(full.begin(), full.begin() + at)), head)) << at;
    EXPECT_EQ(std::string("123").find(Take(head)), 0u) << at;
    Bytes bad = full;
    bad[at] ^= 0x5A;
    LoadList(Loader(bad), head);
    Take(head);
  }
}

// An element whose record fails is destroyed without failing the stream:
// its identifier is forgotten, so a later reference to it reads as a new
// object instead of handing out the destroyed one.
TEST_F(RegistryTest, FailedElementIsForgottenAndTheStreamGoesOn) {
  ZStreamer& s = Loader(Stream({{0xFF, 0xEB, 0, 0, 0, 1, 0x00, 0x01, 0xFF, 0xEA, 0, 0, 0, 1},
                                {0xFF, 0xEA, 0, 0, 0, 0},              // first's other: null
                                {0xFF, 0xEB, 0, 0, 0, 2, 0x00, 0x02},  // schema 2: fails
                                {0xFF, 0xEB, 0, 0, 0, 2, 0x00, 0x01, 0xFF, 0xEA, 0, 0, 0, 7},
                                {0xFF, 0xEA, 0, 0, 0, 0}}));
  TestNode *head = nullptr, *later = nullptr;
  EXPECT_TRUE(!LoadList(s, head) && !s.Error());
  EXPECT_EQ(Take(head), "1");
  ASSERT_TRUE(TestNode::P::LoadPointer(s, later, TestNode::n_TestNode) && later != nullptr);
  EXPECT_EQ(later->value, 7);
  delete later;
}

// A class tag of no registered class, or an item that is not a class tag,
// reads as the null reference; a class of another family is refused, and a
// record whose object cannot be made gives null and false.
TEST_F(RegistryTest, UnknownClassReadsAsNull) {
  const struct {
    Bytes bytes;
    bool loaded, kept;
  } cases[] = {
      {{0x00, 0x01, 0xFF, 0xEA, 0, 0, 0x30, 0x39, 0xFF, 0xEB, 0, 0, 0, 1}, true, false},
      {{0x00, 0x01, 0xFF, 0xEB, 0x18, 0xF5, 0x7F, 0x00}, true, false},
      {{0x00, 0x01, 0xFF, 0xEA, 0x14, 0x3B, 0xAC, 0xDD, 0xFF, 0xEB, 0, 0, 0, 1}, false, true},
      {Stream({{0xFF, 0xEB, 0, 0, 0, 1}}), false, false},  // Make fails
  };
  for (const auto& c : cases) {
    TestNode dummy, *p = &dummy;
    TestNode::c_TestNode.makeFails = &c == &cases[3];
    ZStreamer& s = Loader(c.bytes);
    EXPECT_EQ(TestNode::P::LoadPointer(s, p, TestNode::n_TestNode), c.loaded) << &c - cases;
    EXPECT_TRUE(p == (c.kept ? &dummy : nullptr) && !s.Error()) << &c - cases;
  }
  TestNode::c_TestNode.makeFails = false;
}

}  // namespace
