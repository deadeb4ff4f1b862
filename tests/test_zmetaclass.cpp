// The class registry and the object protocol after Attach, driven through a
// test class with its own record.
#include <gtest/gtest.h>

#include <string>

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
  explicit TestNode(long v = 0, TestNode* o = nullptr) : value(v), other(o) {}

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

// Offset of the link field (offsetof is not for classes with virtual calls).
const TestNode kProbe;
const int kLink = static_cast<int>(reinterpret_cast<const char*>(&kProbe.link) -
                                   reinterpret_cast<const char*>(&kProbe));

bool LoadList(ZStreamer& s, TestNode*& head) {
  head = nullptr;
  return TestNode::P::LoadList(s, &head, kLink, TestNode::n_TestNode);
}

void FreeList(TestNode* head) {
  for (TestNode* next; head != nullptr; head = next) {
    next = head->link;
    delete head;
  }
}

// The stream header, then the items, the test class's tag before every
// identifier (a new object or a back-reference).
Bytes Stream(std::initializer_list<Bytes> items) {
  const unsigned long id = ZMetaClass::ClassId(TestNode::n_TestNode);
  Bytes out = {0x00, 0x01};
  for (const Bytes& item : items) {
    if (item[1] == 0xEB) {
      out.insert(out.end(), {0xFF, 0xEA, static_cast<unsigned char>(id >> 24),
                             static_cast<unsigned char>(id >> 16),
                             static_cast<unsigned char>(id >> 8), static_cast<unsigned char>(id)});
    }
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
  EXPECT_EQ(ZMetaClass::ClassId("ZString"), 418742016);
  EXPECT_EQ(ZMetaClass::ClassId("ZAtomTable"), 52044730);
  EXPECT_EQ(ZMetaClass::ClassId(""), 0);

  // The fifteen records in the order built, each named by its name constant.
#define RECORD(X) \
  { &X::c_##X, X::n_##X, #X }
  struct {
    const ZMetaClass* record;
    const char* name;
    const char* text;
  } const kOrder[] = {RECORD(ZActionTable),    RECORD(ZActionDescription),
                      RECORD(ZActionCode),     RECORD(ZActionFragment),
                      RECORD(ZActionArgument), RECORD(ZActionCondition),
                      RECORD(ZBuffer),         RECORD(ZString),
                      RECORD(ZEnumItem),       RECORD(ZEnum),
                      RECORD(ZMulti),          RECORD(ZAtom),
                      RECORD(ZProtocol),       RECORD(ZClass),
                      RECORD(ZAtomTable)};
#undef RECORD
  // The chain runs from the last built (the test class's) to the first.
  ASSERT_EQ(ZMetaClass::GetFirst(), &TestNode::c_TestNode);
  const ZMetaClass* r = ZMetaClass::GetFirst()->GetNext();
  for (int i = 14; i >= 0; --i, r = r->GetNext()) {
    ASSERT_EQ(r, kOrder[i].record) << kOrder[i].text;
    EXPECT_EQ(r->GetName(), kOrder[i].name);
    EXPECT_STREQ(r->GetName(), kOrder[i].text);
    EXPECT_EQ(r->GetId(), ZMetaClass::ClassId(kOrder[i].text));
    EXPECT_EQ(r->GetParent(), i == 7 ? &ZBuffer::c_ZBuffer : nullptr) << kOrder[i].text;
  }
  EXPECT_EQ(r, nullptr);

  EXPECT_EQ(Hooks::Find(418742016L), &ZString::c_ZString);
  std::string copy = "ZBuffer";
  EXPECT_EQ(Hooks::Find(copy.c_str(), false), &ZBuffer::c_ZBuffer);
  EXPECT_EQ(Hooks::Find("OldString", false), nullptr);
  EXPECT_EQ(Hooks::Find("OldString", true), &ZString::c_ZString);

  // Subclasses compare name constants by pointer.
  EXPECT_TRUE(ZString::c_ZString.IsSubClass(ZBuffer::n_ZBuffer));
  EXPECT_FALSE(ZBuffer::c_ZBuffer.IsSubClass(ZString::n_ZString));
  EXPECT_FALSE(ZString::c_ZString.IsSubClass(copy.c_str()));
}

TEST_F(RegistryTest, SharedObjectsAndCyclesLoadOnce) {
  TestNode a(1), b(2, &a);
  a.other = &b;  // a cycle
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(TestNode::P::SavePointer(s, &a) && TestNode::P::SavePointer(s, &b));
  });
  // a (tag, id 1, schema, value) holding b (id 2) holding a's back-reference;
  // then b's back-reference.
  EXPECT_EQ(bytes, Stream({{0xFF, 0xEB, 0, 0, 0, 1, 0x00, 0x01, 0xFF, 0xEA, 0, 0, 0, 1},
                           {0xFF, 0xEB, 0, 0, 0, 2, 0x00, 0x01, 0xFF, 0xEA, 0, 0, 0, 2},
                           {0xFF, 0xEB, 0, 0, 0, 1},
                           {0xFF, 0xEB, 0, 0, 0, 2}}));

  ZStreamer& s = Loader(bytes);
  TestNode *first = nullptr, *second = nullptr;
  ASSERT_TRUE(TestNode::P::LoadPointer(s, first, TestNode::n_TestNode) &&
              TestNode::P::LoadPointer(s, second, TestNode::n_TestNode));
  ASSERT_TRUE(second != nullptr && first->other == second);  // no second copy of b
  EXPECT_EQ(second->other, first);
  EXPECT_EQ(first->value, 1);
  EXPECT_EQ(second->value, 2);
  delete first;
  delete second;
}

// A list links up to the null reference. Every cut of it fails with the
// loaded elements linked and the broken one gone; every corrupted byte: no
// crash, no leak.
TEST_F(RegistryTest, ListsLoadAndDamagedListsFailWithoutLeaks) {
  TestNode dummy, *head = &dummy;
  EXPECT_TRUE(TestNode::P::LoadList(Loader({0x00, 0x01, 0xFF, 0xEA, 0, 0, 0, 0}), &head, kLink,
                                    TestNode::n_TestNode));
  EXPECT_EQ(head, nullptr);
  TestNode nodes[] = {TestNode(1), TestNode(2), TestNode(3)};
  const Bytes full = Save([&](ZStreamer& s) {
    for (TestNode& node : nodes) TestNode::P::SavePointer(s, &node);
    s.Null();
  });
  ASSERT_TRUE(LoadList(Loader(full), head));
  std::string values;
  for (TestNode* n = head; n != nullptr; n = n->link) values += std::to_string(n->value);
  EXPECT_EQ(values, "123");
  FreeList(head);

  for (size_t at = 2; at < full.size(); at++) {
    EXPECT_FALSE(LoadList(Loader(Bytes(full.begin(), full.begin() + at)), head)) << at;
    FreeList(head);
    Bytes bad = full;
    bad[at] ^= 0x5A;
    LoadList(Loader(bad), head);
    FreeList(head);
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
  TestNode* head = nullptr;
  EXPECT_FALSE(LoadList(s, head));
  ASSERT_TRUE(head != nullptr && head->value == 1 && head->link == nullptr);
  EXPECT_FALSE(s.Error());
  TestNode* later = nullptr;
  ASSERT_TRUE(TestNode::P::LoadPointer(s, later, TestNode::n_TestNode));
  ASSERT_NE(later, nullptr);
  EXPECT_EQ(later->value, 7);
  delete later;
  FreeList(head);
}

// A class tag of no registered class, or an item that is not a class tag,
// reads as the null reference; a class of another family is refused.
TEST_F(RegistryTest, UnknownClassReadsAsNull) {
  TestNode dummy, *p;
  for (const Bytes& bytes :
       {Bytes{0x00, 0x01, 0xFF, 0xEA, 0, 0, 0x30, 0x39, 0xFF, 0xEB, 0, 0, 0, 1},
        Bytes{0x00, 0x01, 0xFF, 0xEB, 0x18, 0xF5, 0x7F, 0x00}}) {
    ZStreamer& s = Loader(bytes);
    p = &dummy;
    EXPECT_TRUE(TestNode::P::LoadPointer(s, p, TestNode::n_TestNode));
    EXPECT_TRUE(p == nullptr && !s.Error());
  }
  p = &dummy;  // a ZBuffer's class tag
  EXPECT_FALSE(TestNode::P::LoadPointer(
      Loader({0x00, 0x01, 0xFF, 0xEA, 0x14, 0x3B, 0xAC, 0xDD, 0xFF, 0xEB, 0, 0, 0, 1}), p,
      TestNode::n_TestNode));
  EXPECT_EQ(p, &dummy);

  // A record that cannot make its object: null and false.
  p = &dummy;
  TestNode::c_TestNode.makeFails = true;
  EXPECT_FALSE(TestNode::P::LoadPointer(Loader(Stream({{0xFF, 0xEB, 0, 0, 0, 1}})), p,
                                        TestNode::n_TestNode));
  TestNode::c_TestNode.makeFails = false;
  EXPECT_EQ(p, nullptr);
}

}  // namespace
