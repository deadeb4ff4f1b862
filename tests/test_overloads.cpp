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
  EXPECT_TRUE(Text(one) == "c" && fixed[1] == 'c' && fixed[2] == 0);  // then the terminator

  // ZString(int) reserves as ZString(unsigned int): 64 characters fit in
  // the block it made.
  ZString reserved(64);
  const char* block = reserved;
  reserved += std::string(64, 'x').c_str();
  EXPECT_TRUE(reserved.GetLength() == 64u && block == static_cast<const char*>(reserved));

  const unsigned char bytes[] = {0x01, 0x80, 0xFF};
  EXPECT_EQ(Text(ZAtomBuffer(bytes, 3)), "\x01\x80\xFF");
  ZAtomBuffer viaUnsigned, viaChar;
  viaUnsigned.AppendAtom(2, 30, static_cast<unsigned char>(0xE5));
  viaChar.AppendAtom(2, 30, static_cast<char>(0xE5));
  EXPECT_TRUE(Text(viaChar) == Text(viaUnsigned) && viaChar.GetLength() == 4u);  // header, byte

  ZSyntax syntax(ZRegExp("a+"), 7);
  ZString text("aab");
  ZListString parameters;
  EXPECT_TRUE(syntax.GetToken() == 7 && syntax.Parse(text, parameters) && Text(text) == "b");
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
  std::FILE* out = std::fopen(dir.File("out.txt").c_str(), "wb");
  EXPECT_EQ(AppendFile(out, nullptr), 0);
  std::fclose(out);
  EXPECT_EQ("", ReadText(dir.File("out.txt")));
  GetPathFromFileName("D:\\DIR\\F", nullptr);
  GetInstancePath(nullptr, nullptr);
  EXPECT_TRUE(CheckAndMakePath("caption", nullptr, nullptr, 0) == 0 &&
              CheckAndMakePath2(nullptr) == 1);

  ZFile closed;
  EXPECT_TRUE(!closed.Open(nullptr, ZFile::eRead, ZFile::eBinary) && !closed.Flush() &&
              closed.GetLength() == -1);
  EXPECT_TRUE(!ZFile::Delete(nullptr) && !ZFile::Exists(nullptr) &&
              ZMetaClass::ClassId(nullptr) == 0);

  // A null text is stored as the empty one, length 0.
  std::string ini = dir.File("p.ini");
  char value[8];
  EXPECT_EQ(1, WritePrivateProfileLongString(ini.c_str(), "s", "len", "val", nullptr));
  GetPrivateProfileStringA("s", "len", "", value, sizeof value, ini.c_str());
  EXPECT_STREQ("0", value);
}

}  // namespace
