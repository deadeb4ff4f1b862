// The class registry and the object protocol, after Attach. The protocol is
// driven here through a test class with its own record; the buffer records
// have their own tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "orbcmn/orbcmn.h"
#include "persist/protocol.h"
#include "support/tempfiles.h"

namespace {

// A persistent class as the library's own are built: virtual File and
// Class, no virtual destructor, a record of its own.
class TestNode final {
 public:
  class ZMetaZTestNode : public ZMetaClass {
   public:
    ZMetaZTestNode() : ZMetaClass(n_TestNode) {}
    void* Make() override { return new TestNode; }
  };
  static char const* const n_TestNode;
  static ZMetaZTestNode c_TestNode;

  typedef Persistence<TestNode> P;

  // Record: schema 1, the value, then `other` as a reference.
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

char const* const TestNode::n_TestNode = "TestNode";
TestNode::ZMetaZTestNode TestNode::c_TestNode;

// Byte offset of the link field (offsetof is not for classes with virtual
// operations).
const TestNode kProbe;
const int kLink = static_cast<int>(reinterpret_cast<const char*>(&kProbe.link) -
                                   reinterpret_cast<const char*>(&kProbe));

bool LoadList(ZStreamer& s, TestNode*& head) {
  head = nullptr;
  return TestNode::P::LoadList(s, &head, kLink, TestNode::n_TestNode);
}

void FreeList(TestNode* head) {
  while (head != nullptr) {
    TestNode* next = head->link;
    delete head;
    head = next;
  }
}

class Hooks : public ZMetaClass {
 public:
  using ZMetaClass::Find;
};

ZMetaClassAlias g_alias("ZString", "OldString");

class RegistryTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { ZMetaClass::Attach(); }

  template <typename Body>
  Bytes Save(Body body) {
    ZFile file;
    EXPECT_TRUE(file.Open(path_.c_str(), ZFile::eWrite, ZFile::eBinary));
    {
      ZStreamer s(&file, true);
      body(s);
      EXPECT_FALSE(s.Error());
    }
    file.Close();
    return ReadBytes(path_);
  }

  // A loading streamer over bytes; it replaces the one before.
  ZStreamer& Loader(const Bytes& bytes) {
    loader_.reset();
    file_.Close();
    EXPECT_TRUE(WriteBytes(path_, bytes));
    EXPECT_TRUE(file_.Open(path_.c_str(), ZFile::eRead, ZFile::eBinary));
    loader_.reset(new ZStreamer(&file_, false));
    return *loader_;
  }

  // Nodes of the given values saved as a list ended by the null reference.
  Bytes SaveList(std::initializer_list<long> values) {
    std::vector<TestNode> nodes(values.size());
    return Save([&](ZStreamer& s) {
      auto value = values.begin();
      for (TestNode& node : nodes) {
        node.value = *value++;
        TestNode::P::SavePointer(s, &node);
      }
      s.Null();
    });
  }

  TempDir dir_;
  std::string path_ = dir_.File("reg.bin");
  ZFile file_;
  std::unique_ptr<ZStreamer> loader_;
};

TEST_F(RegistryTest, RecordsAreBuiltInTheirFixedOrder) {
  EXPECT_EQ(ZMetaClass::ClassId("ZBuffer"), 339455197);  // a negative hash
  EXPECT_EQ(ZMetaClass::ClassId("ZString"), 418742016);
  EXPECT_EQ(ZMetaClass::ClassId("ZAtomTable"), 52044730);
  EXPECT_EQ(ZMetaClass::ClassId(""), 0);

  // The fifteen records in the order they are built, each named by its
  // class's name constant.
#define RECORD(X) \
  { &X::c_##X, X::n_##X, #X }
  struct {
    const ZMetaClass* record;
    char const* name;
    char const* text;
  } const kOrder[] = {RECORD(ZActionTable),    RECORD(ZActionDescription),
                      RECORD(ZActionCode),     RECORD(ZActionFragment),
                      RECORD(ZActionArgument), RECORD(ZActionCondition),
                      RECORD(ZBuffer),         RECORD(ZString),
                      RECORD(ZEnumItem),       RECORD(ZEnum),
                      RECORD(ZMulti),          RECORD(ZAtom),
                      RECORD(ZProtocol),       RECORD(ZClass),
                      RECORD(ZAtomTable)};
#undef RECORD
  // The chain runs from the record built last to the first one; the test
  // class's record is built after the library's, so it leads.
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
}

TEST_F(RegistryTest, FindAndSubClasses) {
  EXPECT_EQ(Hooks::Find(418742016L), &ZString::c_ZString);
  EXPECT_EQ(Hooks::Find(12345L), nullptr);
  std::string copy = "ZBuffer";
  EXPECT_EQ(Hooks::Find(copy.c_str(), false), &ZBuffer::c_ZBuffer);
  EXPECT_EQ(Hooks::Find("OldString", false), nullptr);
  EXPECT_EQ(Hooks::Find("OldString", true), &ZString::c_ZString);
  EXPECT_EQ(Hooks::Find("NoSuchClass", true), nullptr);

  // Subclasses compare name constants by pointer.
  EXPECT_TRUE(ZString::c_ZString.IsSubClass(ZBuffer::n_ZBuffer));
  EXPECT_FALSE(ZBuffer::c_ZBuffer.IsSubClass(ZString::n_ZString));
  EXPECT_FALSE(ZString::c_ZString.IsSubClass(copy.c_str()));
  // Attach again changes nothing.
  EXPECT_TRUE(ZMetaClass::Attach());
  EXPECT_EQ(ZString::c_ZString.GetParent(), &ZBuffer::c_ZBuffer);
}

TEST_F(RegistryTest, SharedObjectsAndCyclesLoadOnce) {
  TestNode a, b;
  a.value = 1;
  a.other = &b;
  b.value = 2;
  b.other = &a;  // a cycle
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(TestNode::P::SavePointer(s, &a));
    EXPECT_TRUE(TestNode::P::SavePointer(s, &b));  // written before: tag and identifier only
  });
  // a: tag, id 1, schema, value, then b: tag, id 2, schema, value, then a's
  // back-reference; then b's back-reference.
  Bytes tag = Save([](ZStreamer& s) { TestNode::c_TestNode.Save(s); });
  tag.erase(tag.begin(), tag.begin() + 2);
  Bytes expected = {0x00, 0x01};
  for (const Bytes& more : {Bytes{0xFF, 0xEB, 0, 0, 0, 1, 0x00, 0x01, 0xFF, 0xEA, 0, 0, 0, 1},
                            Bytes{0xFF, 0xEB, 0, 0, 0, 2, 0x00, 0x01, 0xFF, 0xEA, 0, 0, 0, 2},
                            Bytes{0xFF, 0xEB, 0, 0, 0, 1}, Bytes{0xFF, 0xEB, 0, 0, 0, 2}}) {
    expected.insert(expected.end(), tag.begin(), tag.end());
    expected.insert(expected.end(), more.begin(), more.end());
  }
  EXPECT_EQ(bytes, expected);

  ZStreamer& s = Loader(bytes);
  TestNode* first = nullptr;
  TestNode* second = nullptr;
  ASSERT_TRUE(TestNode::P::LoadPointer(s, first, TestNode::n_TestNode));
  ASSERT_TRUE(TestNode::P::LoadPointer(s, second, TestNode::n_TestNode));
  EXPECT_EQ(first->value, 1);
  ASSERT_NE(first->other, nullptr);
  EXPECT_EQ(first->other->value, 2);
  EXPECT_EQ(first->other->other, first);
  EXPECT_EQ(second, first->other);  // the extra object made for it was destroyed
  delete first->other;
  delete first;
}

TEST_F(RegistryTest, LoadListLinksUpToTheNullReference) {
  TestNode* head = nullptr;
  ASSERT_TRUE(LoadList(Loader(SaveList({10, 20})), head));
  ASSERT_NE(head->link, nullptr);
  EXPECT_EQ(head->value, 10);
  EXPECT_EQ(head->link->value, 20);
  EXPECT_EQ(head->link->link, nullptr);
  FreeList(head);

  TestNode dummy;
  head = &dummy;
  EXPECT_TRUE(TestNode::P::LoadList(Loader(SaveList({})), &head, kLink, TestNode::n_TestNode));
  EXPECT_EQ(head, nullptr);
}

// Every cut of the stream fails and leaks nothing: the elements that loaded
// stay linked, the broken one is gone. Every corrupted byte: no crash, no
// leak.
TEST_F(RegistryTest, DamagedStreamsFailWithoutLeaks) {
  const Bytes full = SaveList({1, 2, 3});
  for (size_t cut = 2; cut < full.size(); cut++) {
    ZStreamer& s = Loader(Bytes(full.begin(), full.begin() + cut));
    TestNode* head;
    EXPECT_FALSE(LoadList(s, head)) << cut;
    EXPECT_TRUE(s.Error());
    FreeList(head);
  }
  for (size_t at = 2; at < full.size(); at++) {
    Bytes bad = full;
    bad[at] ^= 0x5A;
    TestNode* head;
    LoadList(Loader(bad), head);
    FreeList(head);
  }
}

// A class tag of no registered class, or an item that is not a class tag,
// reads as the null reference; a class of another family is refused.
TEST_F(RegistryTest, UnknownClassReadsAsNull) {
  TestNode dummy;
  for (const Bytes& bytes :
       {Bytes{0x00, 0x01, 0xFF, 0xEA, 0, 0, 0x30, 0x39, 0xFF, 0xEB, 0, 0, 0, 1},
        Bytes{0x00, 0x01, 0xFF, 0xEB, 0x18, 0xF5, 0x7F, 0x00}}) {
    TestNode* p = &dummy;
    ZStreamer& s = Loader(bytes);
    EXPECT_TRUE(TestNode::P::LoadPointer(s, p, TestNode::n_TestNode));
    EXPECT_EQ(p, nullptr);
    EXPECT_FALSE(s.Error());
  }
  TestNode* p = &dummy;
  ZStreamer& t = Loader({0x00, 0x01, 0xFF, 0xEA, 0x14, 0x3B, 0xAC, 0xDD, 0xFF, 0xEB, 0, 0, 0, 1});
  EXPECT_FALSE(TestNode::P::LoadPointer(t, p, TestNode::n_TestNode));
  EXPECT_EQ(p, &dummy);
}

}  // namespace
