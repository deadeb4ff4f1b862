// Overloads that stand for another form give what that form gives, objects
// made with new live in the host allocator, and null arguments are refused
// without being followed.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "hostkit/hostkit.h"
#include "orbcmn/orbcmn.h"
#include "platform/win32.h"
#include "support/tempfiles.h"
#include "support/text.h"

namespace {

TEST(Overloads, AgreeWithTheFormTheyStandFor) {
  ZBuffer one;
  one = 'c';
  const ZBuffer& fixed = one;
  EXPECT_EQ("c", Text(one));
  EXPECT_EQ('c', fixed[1]);
  EXPECT_EQ(0, fixed[2]) << "past the data";

  // ZString(int) reserves as ZString(unsigned int): 64 characters fit in
  // the block it made.
  ZString reserved(64);
  const char* block = reserved;
  reserved += std::string(64, 'x').c_str();
  EXPECT_EQ(64u, reserved.GetLength());
  EXPECT_EQ(block, static_cast<const char*>(reserved));

  const unsigned char bytes[] = {0x01, 0x80, 0xFF};
  ZAtomBuffer fromUnsigned(bytes, 3);
  ZAtomBuffer copy(fromUnsigned);
  EXPECT_EQ(Text(ZAtomBuffer("\x01\x80\xFF", 3)), Text(copy));
  ZAtomBuffer viaUnsigned, viaChar;
  viaUnsigned.AppendAtom(2, 30, static_cast<unsigned char>(0xE5));
  viaChar.AppendAtom(2, 30, static_cast<char>(0xE5));
  EXPECT_EQ(Text(viaChar), Text(viaUnsigned));
  EXPECT_EQ(4u, viaChar.GetLength()) << "header, length and the byte";

  ZSyntax syntax(ZRegExp("a+"), 7);
  ZString text("aab");
  ZListString parameters;
  EXPECT_EQ(7, syntax.GetToken());
  EXPECT_TRUE(syntax.Parse(text, parameters));
  EXPECT_EQ("b", Text(text));
}

// An object made with new is a host block (with whatever it holds), and
// delete gives every block back.
TEST(Objects, MadeWithNewLiveInTheHostAllocator) {
  long before = HostKit_LiveBlocks(nullptr);
  auto check = [before](auto* made, const char* name) {
    EXPECT_LT(before, HostKit_LiveBlocks(nullptr)) << name;
    delete made;
    EXPECT_EQ(before, HostKit_LiveBlocks(nullptr)) << name;
  };
  check(new ZFile, "ZFile");
  check(new ZTextFile, "ZTextFile");
  check(new ZFileFind(nullptr), "ZFileFind");
  check(new ZAtomBuffer, "ZAtomBuffer");
  check(new ZParser, "ZParser");
}

TEST(NullArguments, AreRefusedNotFollowed) {
  TempDir dir;
  std::string file = dir.File("a.txt");
  ASSERT_TRUE(WriteText(file, "data"));
  std::FILE* out = std::fopen(dir.File("out.txt").c_str(), "wb");
  EXPECT_EQ(0, AppendFile(nullptr, file.c_str()));
  EXPECT_EQ(0, AppendFile(out, nullptr));
  std::fclose(out);
  EXPECT_EQ("", ReadText(dir.File("out.txt")));

  char path[16] = "unchanged";
  GetPathFromFileName(nullptr, path);
  GetPathFromFileName("D:\\DIR\\F", nullptr);
  GetInstancePath(nullptr, nullptr);
  EXPECT_STREQ("unchanged", path);
  EXPECT_EQ(0, CheckAndMakePath("caption", nullptr, nullptr, 0));
  EXPECT_EQ(1, CheckAndMakePath2(nullptr));

  ZFile closed;
  EXPECT_FALSE(closed.Open(nullptr, ZFile::eRead, ZFile::eBinary));
  EXPECT_FALSE(closed.Flush());
  EXPECT_EQ(-1, closed.GetLength());
  EXPECT_FALSE(ZFile::Delete(nullptr));
  EXPECT_FALSE(ZFile::Exists(nullptr));
  EXPECT_EQ(0, ZMetaClass::ClassId(nullptr));

  // A null text is stored as the empty one: length 0, which reads as
  // nothing stored.
  std::string ini = dir.File("p.ini");
  char* read = nullptr;
  EXPECT_EQ(1, WritePrivateProfileLongString(ini.c_str(), "s", "len", "val", nullptr));
  EXPECT_EQ(0, GetPrivateProfileLongString(ini.c_str(), "s", "len", "val", &read));
  EXPECT_EQ(nullptr, read);
  char value[8];
  GetPrivateProfileStringA("s", "len", "", value, sizeof value, ini.c_str());
  EXPECT_STREQ("0", value);
}

}  // namespace
