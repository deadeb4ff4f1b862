// Files: open modes and text translation, whole-file reads, line reading
// with push-back, and wildcard enumeration.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "hostkit/hostkit.h"
#include "orbcmn/orbcmn.h"
#include "support/tempfiles.h"

namespace {

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(ZFileTest, ModesTextTranslationAndWholeFileReads) {
  TempDir dir;
  std::string path = dir.File("f.txt");
  ZFile f;
  EXPECT_FALSE(f.Open(path.c_str(), 0, 0));  // rb: no such file

  // wb writes bytes as they are, ab (any action above 1) appends, at turns LF
  // into CR LF.
  EXPECT_TRUE(f.Open(path.c_str(), 1, 0) && f.Write("a\nb", 3) == 3 && f.Close());
  EXPECT_TRUE(f.Open(path.c_str(), 7, 0) && f.Write("\n", 1) == 1 && f.Close());
  EXPECT_TRUE(f.Open(path.c_str(), 2, 1) && f.Write(ZBuffer("c\n\r\rd", 5)) && f.Close());
  EXPECT_EQ(ReadBytes(path), B("a\nb\nc\r\n\r\rd"));

  ASSERT_TRUE(WriteBytes(path, B("1\r\n2\r3\r\n\r")));
  ASSERT_TRUE(f.Open(path.c_str(), 0, 1));  // rt: CR LF becomes LF, a lone CR stays
  char got[16] = {};
  // One item of a few bytes, then a long run.
  EXPECT_TRUE(f.Read(got, 2) == 2u && f.Read(got + 2, sizeof got - 2) == 5u && !f.Read(got, 1));
  EXPECT_EQ(std::string(got, 7), "1\n2\r3\n\r");
  f.Close();

  EXPECT_TRUE(ZFile::Exists(path.c_str()) && ZFile::Delete(path.c_str()));
  EXPECT_FALSE(ZFile::Delete(path.c_str()) || ZFile::Exists(path.c_str()));

  // Whole-file reads stop below 65000 bytes (b kept); in text mode fewer
  // bytes arrive than the file holds (b emptied).
  ZBuffer b("old", 3);
  auto read = [&](const Bytes& bytes, ZFile::EType type) {
    ZFile f;
    EXPECT_TRUE(WriteBytes(path, bytes) && f.Open(path.c_str(), ZFile::eRead, type));
    return f.Read(b);
  };
  Bytes data(64999);
  for (size_t i = 0; i < data.size(); i++) data[i] = static_cast<unsigned char>(i * 7);
  EXPECT_TRUE(read(data, ZFile::eBinary) &&
              b == ZBuffer(reinterpret_cast<const char*>(data.data()), 64999));
  data.push_back(1);
  EXPECT_TRUE(!read(data, ZFile::eBinary) && b.GetLength() == 64999u);
  EXPECT_TRUE(read({}, ZFile::eBinary) && b.IsEmpty());
  b = ZBuffer("old", 3);
  EXPECT_TRUE(!read(B("a\r\nb"), ZFile::eText) && b.IsEmpty());
}

// Every line of a file at path holding text, read in binary mode, each
// ended with "|".
std::string Lines(const std::string& path, const std::string& text) {
  ZTextFile f;
  EXPECT_TRUE(WriteBytes(path, B(text)) && f.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
  std::string lines;
  ZString line("junk");
  while (f.ReadLine(line)) lines += std::string(line, line.GetLength()) + "|";
  EXPECT_TRUE(line.IsEmpty());
  return lines;
}

TEST(ZTextFileTest, ReadUnreadAndWriteLine) {
  TempDir dir;
  std::string path = dir.File("lines.txt");
  EXPECT_EQ(Lines(path, "a\r\n\r\nb\r\n"), "a\r|\r|b\r|");
  // Lines longer than the buffer, a line feed on a buffer boundary, and a
  // last line without one.
  std::string longLine(20000, 'q'), first(8191, 'p');
  EXPECT_EQ(Lines(path, first + "\n" + longLine + "\nend"), first + "|" + longLine + "|end|");
  EXPECT_EQ(Lines(path, ""), "");

  ASSERT_TRUE(WriteBytes(path, B("one\ntwo\n")));
  ZTextFile f;
  ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
  ZString line;
  std::string read;
  ASSERT_TRUE(f.ReadLine(line));  // one
  for (const char* pushed : {"x", "y", "z"}) EXPECT_TRUE(f.UnreadLine(ZString(pushed)));
  while (f.ReadLine(line)) read += std::string(line) + ",";
  EXPECT_EQ(read, "z,y,x,two,");
  // Pushed back after the end, a line is read again; one is left for the
  // destructor to release.
  f.UnreadLine(ZString("again"));
  f.UnreadLine(ZString("left"));
  EXPECT_TRUE(f.ReadLine(line) && line == "left");
  EXPECT_FALSE(f.WriteLine(ZString("x")));  // writing lines is not supported
}

using Names = std::multiset<std::string>;

Names FindAll(const std::string& pattern) {
  ZFileFind find(pattern.c_str());
  Names found;
  while (find.Next()) found.insert(std::string(find.GetPathName(), find.GetPathName().GetLength()));
  return found;
}

TEST(ZFileFindTest, PatternsDirectoriesAndRestart) {
  TempDir dir;
  for (const char* name : {"one.txt", "Two.TXT", "three.dat", "noext"}) {
    ASSERT_TRUE(WriteBytes(dir.File(name), {}));
  }
  // Names come back after the pattern's directory part, which ends at the
  // last backslash; case does not count in the match.
  std::string prefix = dir.path() + "\\";
  EXPECT_EQ(FindAll(prefix + "*.txt"), (Names{prefix + "one.txt", prefix + "Two.TXT"}));
  EXPECT_EQ(FindAll(prefix + "*.*").size(), 6u);  // every name, "." and ".." too
  EXPECT_EQ(FindAll(dir.path() + "/*.dat"), (Names{"three.dat"}));
  EXPECT_TRUE(FindAll("").empty());
  ZFileFind root("\\*");  // the separator first: names after it
  EXPECT_TRUE(root.Next() && static_cast<const char*>(root.GetPathName())[0] == '\\');

  // A failed first Next starts over; so does Next after Reset.
  ZFileFind find((prefix + "late*").c_str());
  EXPECT_FALSE(find.Next());
  ASSERT_TRUE(WriteBytes(dir.File("late1"), {}) && WriteBytes(dir.File("late2"), {}));
  EXPECT_TRUE(find.Next() && find.GetPathName() == (prefix + "late1").c_str());
  EXPECT_TRUE(find.Next() && !find.Next() && find.Reset());
  EXPECT_TRUE(find.Next() && find.GetPathName() == (prefix + "late1").c_str());

  // A copy, or a finder assigned over one with a search running, holds the
  // pattern, directory and last entry, and searches anew from its next Next.
  ZFileFind copy(find), assigned((dir.path() + "/*.*").c_str());
  ASSERT_TRUE(assigned.Next());
  assigned = find;
  for (ZFileFind* f : {&copy, &assigned}) {
    EXPECT_TRUE(f->GetPathName() == (prefix + "late1").c_str() && f->Next() && f->Next() &&
                !f->Next());
  }
  // A copy or an assignment that cannot copy the pattern forgets the
  // directory too: the last entry's name alone.
  HostKitFailHandler failFirst = [](void*, int, const char*, unsigned, unsigned long serial) {
    return serial == 1 ? 1 : 0;
  };
  ZFileFind assignedLost("");
  HostKit_SetFailHandler(failFirst, nullptr);
  ZFileFind copiedLost(find);
  HostKit_SetFailHandler(failFirst, nullptr);  // counts from 1 again
  assignedLost = find;
  HostKit_SetFailHandler(nullptr, nullptr);
  EXPECT_TRUE(copiedLost.GetPathName() == "late1" && assignedLost.GetPathName() == "late1");
}

}  // namespace
