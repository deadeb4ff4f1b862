// The class registry and the object protocol, after Attach. The protocol is
// driven here through a test class with its own record; the buffer records
// have their own tests.
#include <gtest/gtest.h>

#include <cstring>
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

  bool OpenLoad(ZFile& file, const Bytes& bytes) {
    return WriteBytes(path_, bytes) && file.Open(path_.c_str(), ZFile::eRead, ZFile::eBinary);
  }

  TempDir dir_;
  std::string path_ = dir_.File("reg.bin");
};

TEST_F(RegistryTest, ClassIds) {
  EXPECT_EQ(ZMetaClass::ClassId("ZBuffer"), 339455197);
  EXPECT_EQ(ZMetaClass::ClassId("ZString"), 418742016);
  EXPECT_EQ(ZMetaClass::ClassId("ZAtomTable"), 52044730);
  EXPECT_EQ(ZMetaClass::ClassId(""), 0);
  // A name whose hash is negative is taken as its absolute value.
  long id = ZMetaClass::ClassId("\x80\x80\x80");
  EXPECT_GE(id, 0);
  EXPECT_LT(id, 1073741827);
}

TEST_F(RegistryTest, RecordsAreBuiltInTheirFixedOrder) {
  // The fifteen records in the order they are built, each with its class's
  // name constant.
  struct {
    const ZMetaClass* record;
    char const* name;
    char const* text;
  } const kOrder[] = {
      {&ZActionTable::c_ZActionTable, ZActionTable::n_ZActionTable, "ZActionTable"},
      {&ZActionDescription::c_ZActionDescription, ZActionDescription::n_ZActionDescription,
       "ZActionDescription"},
      {&ZActionCode::c_ZActionCode, ZActionCode::n_ZActionCode, "ZActionCode"},
      {&ZActionFragment::c_ZActionFragment, ZActionFragment::n_ZActionFragment, "ZActionFragment"},
      {&ZActionArgument::c_ZActionArgument, ZActionArgument::n_ZActionArgument, "ZActionArgument"},
      {&ZActionCondition::c_ZActionCondition, ZActionCondition::n_ZActionCondition,
       "ZActionCondition"},
      {&ZBuffer::c_ZBuffer, ZBuffer::n_ZBuffer, "ZBuffer"},
      {&ZString::c_ZString, ZString::n_ZString, "ZString"},
      {&ZEnumItem::c_ZEnumItem, ZEnumItem::n_ZEnumItem, "ZEnumItem"},
      {&ZEnum::c_ZEnum, ZEnum::n_ZEnum, "ZEnum"},
      {&ZMulti::c_ZMulti, ZMulti::n_ZMulti, "ZMulti"},
      {&ZAtom::c_ZAtom, ZAtom::n_ZAtom, "ZAtom"},
      {&ZProtocol::c_ZProtocol, ZProtocol::n_ZProtocol, "ZProtocol"},
      {&ZClass::c_ZClass, ZClass::n_ZClass, "ZClass"},
      {&ZAtomTable::c_ZAtomTable, ZAtomTable::n_ZAtomTable, "ZAtomTable"},
  };
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
  EXPECT_TRUE(ZString::c_ZString.IsSubClass(ZString::n_ZString));
  EXPECT_FALSE(ZBuffer::c_ZBuffer.IsSubClass(ZString::n_ZString));
  EXPECT_FALSE(ZString::c_ZString.IsSubClass(copy.c_str()));
  // Attach again changes nothing.
  EXPECT_TRUE(ZMetaClass::Attach());
  EXPECT_EQ(ZString::c_ZString.GetParent(), &ZBuffer::c_ZBuffer);
}

TEST_F(RegistryTest, ClassTagsAndLoadNext) {
  Bytes bytes = Save([](ZStreamer& s) {
    EXPECT_TRUE(ZString::c_ZString.Save(s));
    s.Write(0L);
    s.Write(777L);
    s.Write(static_cast<long>(339455197));
    s.Write(static_cast<unsigned long>(418742016));
  });
  Bytes expected = {0x00, 0x01, 0xFF, 0xEA, 0x18, 0xF5, 0x7F, 0x00};
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin()));
  ZFile file;
  ASSERT_TRUE(OpenLoad(file, bytes));
  ZStreamer s(&file, false);
  EXPECT_EQ(ZMetaClass::LoadNext(s), &ZString::c_ZString);
  EXPECT_EQ(ZMetaClass::LoadNext(s), nullptr);  // the null reference
  EXPECT_EQ(ZMetaClass::LoadNext(s), nullptr);  // no such class
  EXPECT_TRUE(ZBuffer::c_ZBuffer.CheckNextStrict(s));
  EXPECT_EQ(ZMetaClass::LoadNext(s), nullptr);  // not a long
  EXPECT_FALSE(s.Error());
  ZFile file2;
  ASSERT_TRUE(OpenLoad(file2, {0x00, 0x01, 0xFF, 0xEA, 0x18}));
  ZStreamer t(&file2, false);
  EXPECT_FALSE(ZString::c_ZString.CheckNextStrict(t));  // cut short
  EXPECT_TRUE(t.Error());
}

TEST_F(RegistryTest, SharedObjectsAndCyclesLoadOnce) {
  TestNode a, b;
  a.value = 1;
  b.value = 2;
  a.other = &b;
  b.other = &a;  // a cycle
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(TestNode::P::SavePointer(s, &a));
    EXPECT_TRUE(TestNode::P::SavePointer(s, &b));  // written before: tag and identifier only
  });
  // a: tag, id 1, schema, value, then b: tag, id 2, schema, value, then a's
  // back-reference; then b's back-reference.
  long id = TestNode::c_TestNode.GetId();
  Bytes tag = {0xFF,
               0xEA,
               static_cast<unsigned char>(id >> 24),
               static_cast<unsigned char>(id >> 16),
               static_cast<unsigned char>(id >> 8),
               static_cast<unsigned char>(id)};
  Bytes expected = {0x00, 0x01};
  auto add = [&](const Bytes& more) { expected.insert(expected.end(), more.begin(), more.end()); };
  add(tag);
  add({0xFF, 0xEB, 0, 0, 0, 1, 0x00, 0x01, 0xFF, 0xEA, 0, 0, 0, 1});
  add(tag);
  add({0xFF, 0xEB, 0, 0, 0, 2, 0x00, 0x01, 0xFF, 0xEA, 0, 0, 0, 2});
  add(tag);
  add({0xFF, 0xEB, 0, 0, 0, 1});
  add(tag);
  add({0xFF, 0xEB, 0, 0, 0, 2});
  EXPECT_EQ(bytes, expected);

  ZFile file;
  ASSERT_TRUE(OpenLoad(file, bytes));
  ZStreamer s(&file, false);
  TestNode* first = nullptr;
  TestNode* second = nullptr;
  ASSERT_TRUE(TestNode::P::LoadPointer(s, first, TestNode::n_TestNode));
  ASSERT_TRUE(TestNode::P::LoadPointer(s, second, TestNode::n_TestNode));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->value, 1);
  ASSERT_NE(first->other, nullptr);
  EXPECT_EQ(first->other->value, 2);
  EXPECT_EQ(first->other->other, first);
  EXPECT_EQ(second, first->other);  // the extra object made for it was destroyed
  delete first->other;
  delete first;
}

TEST_F(RegistryTest, LoadListLinksUpToTheNullReference) {
  TestNode a, b;
  a.value = 10;
  b.value = 20;
  Bytes two = Save([&](ZStreamer& s) {
    TestNode::P::SavePointer(s, &a);
    TestNode::P::SavePointer(s, &b);
    s.Null();
  });
  ZFile file;
  ASSERT_TRUE(OpenLoad(file, two));
  {
    ZStreamer s(&file, false);
    TestNode* head = nullptr;
    ASSERT_TRUE(TestNode::P::LoadList(s, &head, kLink, TestNode::n_TestNode));
    ASSERT_NE(head, nullptr);
    ASSERT_NE(head->link, nullptr);
    EXPECT_EQ(head->value, 10);
    EXPECT_EQ(head->link->value, 20);
    EXPECT_EQ(head->link->link, nullptr);
    delete head->link;
    delete head;
  }
  file.Close();

  Bytes none = Save([](ZStreamer& s) { s.Null(); });
  ASSERT_TRUE(OpenLoad(file, none));
  ZStreamer s(&file, false);
  TestNode dummy;
  TestNode* head = &dummy;
  EXPECT_TRUE(TestNode::P::LoadList(s, &head, kLink, TestNode::n_TestNode));
  EXPECT_EQ(head, nullptr);
}

TEST_F(RegistryTest, DamagedStreamsFailWithoutLeaks) {
  TestNode a, b, c;
  a.value = 1;
  b.value = 2;
  c.value = 3;
  Bytes full = Save([&](ZStreamer& s) {
    TestNode::P::SavePointer(s, &a);
    TestNode::P::SavePointer(s, &b);
    TestNode::P::SavePointer(s, &c);
    s.Null();
  });
  // Every cut of the stream fails (or, cut at a tag, loads less) and leaks
  // nothing: the elements that loaded stay linked, the broken one is gone.
  for (size_t cut = 2; cut < full.size(); cut++) {
    ZFile file;
    ASSERT_TRUE(OpenLoad(file, Bytes(full.begin(), full.begin() + cut)));
    ZStreamer s(&file, false);
    TestNode* head = nullptr;
    EXPECT_FALSE(TestNode::P::LoadList(s, &head, kLink, TestNode::n_TestNode)) << cut;
    EXPECT_TRUE(s.Error());
    while (head != nullptr) {
      TestNode* next = head->link;
      delete head;
      head = next;
    }
  }
  // Corrupt every byte in turn: never a crash, never a leak.
  for (size_t at = 2; at < full.size(); at++) {
    Bytes bad = full;
    bad[at] ^= 0x5A;
    ZFile file;
    ASSERT_TRUE(OpenLoad(file, bad));
    ZStreamer s(&file, false);
    TestNode* head = nullptr;
    TestNode::P::LoadList(s, &head, kLink, TestNode::n_TestNode);
    while (head != nullptr) {
      TestNode* next = head->link;
      delete head;
      head = next;
    }
  }
}

TEST_F(RegistryTest, UnknownClassReadsAsNull) {
  Bytes bytes = {0x00, 0x01, 0xFF, 0xEA, 0x00, 0x00, 0x30, 0x39, 0xFF, 0xEB, 0, 0, 0, 1};
  ZFile file;
  ASSERT_TRUE(OpenLoad(file, bytes));
  ZStreamer s(&file, false);
  TestNode dummy;
  TestNode* p = &dummy;
  EXPECT_TRUE(TestNode::P::LoadPointer(s, p, TestNode::n_TestNode));
  EXPECT_EQ(p, nullptr);
  // A class of another family (ZBuffer) is refused and p is kept.
  file.Close();
  ASSERT_TRUE(
      OpenLoad(file, {0x00, 0x01, 0xFF, 0xEA, 0x14, 0x3B, 0xAC, 0xDD, 0xFF, 0xEB, 0, 0, 0, 1}));
  ZStreamer t(&file, false);
  p = &dummy;
  EXPECT_FALSE(TestNode::P::LoadPointer(t, p, TestNode::n_TestNode));
  EXPECT_EQ(p, &dummy);
}

}  // namespace
