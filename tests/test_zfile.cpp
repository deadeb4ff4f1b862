// Files: open modes and text translation, whole-file reads, line reading
// with push-back, and wildcard enumeration.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "orbcmn/orbcmn.h"
#include "support/tempfiles.h"

namespace {

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A file owns its stream; a copy would close it a second time.
static_assert(!std::is_copy_constructible<ZFile>::value && !std::is_copy_assignable<ZFile>::value,
              "ZFile must not be copyable");

TEST(ZFileTest, ModesAndTextTranslation) {
  TempDir dir;
  std::string path = dir.File("f.txt");
  ZFile f;
  EXPECT_EQ(f.GetLength(), -1);
  EXPECT_EQ(f.Write("x", 1), 0u);
  EXPECT_FALSE(f.Open(path.c_str(), 0, 0));  // rb: no such file
  EXPECT_FALSE(ZFile::Exists(path.c_str()));

  ASSERT_TRUE(f.Open(path.c_str(), 1, 0));  // wb: bytes as they are
  EXPECT_EQ(f.Write("a\nb", 3), 3u);
  EXPECT_TRUE(f.Close());
  EXPECT_TRUE(f.Close());
  EXPECT_EQ(ReadBytes(path), B("a\nb"));
  EXPECT_TRUE(ZFile::Exists(path.c_str()));

  ASSERT_TRUE(f.Open(path.c_str(), 7, 0));  // ab: appends
  EXPECT_EQ(f.Write("\n", 1), 1u);
  f.Close();
  EXPECT_EQ(ReadBytes(path), B("a\nb\n"));

  ASSERT_TRUE(f.Open(path.c_str(), 2, 1));  // at: appends, LF becomes CR LF
  EXPECT_EQ(f.Write("c\n\nd", 4), 4u);
  EXPECT_EQ(f.GetLength(), 4);  // the bytes on disk, before the buffered ones
  f.Close();
  EXPECT_EQ(ReadBytes(path), B("a\nb\nc\r\n\r\nd"));

  ASSERT_TRUE(f.Open(path.c_str(), 1, 1));  // wt
  ZBuffer text("x\ny\r\rz\r", 7);
  EXPECT_TRUE(f.Write(text));
  f.Close();
  EXPECT_EQ(ReadBytes(path), B("x\r\ny\r\rz\r"));

  ASSERT_TRUE(WriteBytes(path, B("1\r\n2\r3\r\n\r")));
  ASSERT_TRUE(f.Open(path.c_str(), 0, 1));  // rt: CR LF becomes LF, a lone CR stays
  char got[16] = {};
  EXPECT_EQ(f.Read(got, sizeof got), 7u);
  EXPECT_EQ(std::string(got, 7), "1\n2\r3\n\r");
  f.Close();

  // A backslash separates directories as well.
  std::string sub = dir.File("sub");
  ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
  std::string dosPath = dir.path() + "\\sub\\g.bin";
  ASSERT_TRUE(f.Open(dosPath.c_str(), ZFile::eWrite, ZFile::eBinary));
  f.Close();
  EXPECT_TRUE(ZFile::Exists((sub + "/g.bin").c_str()));
  EXPECT_TRUE(ZFile::Exists(dosPath.c_str()));
  EXPECT_TRUE(ZFile::Delete(dosPath.c_str()));
  EXPECT_FALSE(ZFile::Delete(dosPath.c_str()));
  EXPECT_FALSE(ZFile::Exists(dosPath.c_str()));
}

// Items of a few bytes (as a streamer writes them) and long runs take
// different paths: both give the same bytes, the same counts at the end of
// the file and the same text translation.
TEST(ZFileTest, ShortAndLongItemsAgree) {
  TempDir dir;
  std::string path = dir.File("items.bin");
  ZFile f;
  ASSERT_TRUE(f.Open(path.c_str(), ZFile::eWrite, ZFile::eBinary));
  std::string all;
  for (unsigned n : {1u, 2u, 16u, 17u, 4u, 40u, 8u}) {
    std::string item(n, static_cast<char>('a' + n % 26));
    item[0] = '\0';
    EXPECT_EQ(f.Write(item.data(), n), n);
    all += item;
  }
  f.Close();
  EXPECT_EQ(ReadBytes(path), B(all));

  ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
  EXPECT_EQ(f.Write("x", 1), 0u);  // read-only: nothing written either way
  EXPECT_EQ(f.Write(all.data(), 20), 0u);
  std::string back(all.size() + 32, '?');
  unsigned at = 0;
  for (unsigned n : {3u, 16u, 30u, 2u}) at += f.Read(&back[at], n);
  unsigned got;
  while ((got = f.Read(&back[at], 16)) == 16) at += got;
  EXPECT_EQ(got, 5u);  // runs out: a short count
  at += got;
  EXPECT_EQ(at, all.size());
  EXPECT_EQ(back.substr(0, at), all);
  EXPECT_EQ(f.Read(&back[0], 1), 0u);
  EXPECT_EQ(f.Read(&back[0], 64), 0u);
  f.Close();

  // Text mode, one byte at a time: CR LF still reads as LF.
  ASSERT_TRUE(WriteBytes(path, B("1\r\n2\r\n")));
  ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eText));
  std::string text;
  char c;
  while (f.Read(&c, 1) == 1) text += c;
  EXPECT_EQ(text, "1\n2\n");
  f.Close();
}

TEST(ZFileTest, WholeFileReadLimit) {
  TempDir dir;
  std::string path = dir.File("big.bin");
  Bytes data(64999);
  for (size_t i = 0; i < data.size(); i++) data[i] = static_cast<unsigned char>(i * 7);
  ASSERT_TRUE(WriteBytes(path, data));
  ZFile f;
  ZBuffer b("old", 3);
  ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
  EXPECT_EQ(f.GetLength(), 64999);
  EXPECT_TRUE(f.Read(b));
  ASSERT_EQ(b.GetLength(), 64999u);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), b.GetBytePtr()));
  f.Close();

  data.push_back(1);
  ASSERT_TRUE(WriteBytes(path, data));
  ZBuffer c("old", 3);
  ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
  EXPECT_FALSE(f.Read(c));  // 65000 bytes: refused
  EXPECT_TRUE(c == ZBuffer("old", 3));
  f.Close();

  ASSERT_TRUE(WriteBytes(path, {}));
  ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
  EXPECT_TRUE(f.Read(c));
  EXPECT_TRUE(c.IsEmpty());
  f.Close();

  // In text mode fewer bytes arrive than the file holds.
  ASSERT_TRUE(WriteBytes(path, B("a\r\nb")));
  ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eText));
  ZBuffer d("old", 3);
  EXPECT_FALSE(f.Read(d));
  EXPECT_TRUE(d.IsEmpty());
  f.Close();
  ZBuffer e;
  EXPECT_FALSE(f.Read(e));  // closed
}

std::vector<std::string> AllLines(ZTextFile& f) {
  std::vector<std::string> lines;
  ZString line("junk");
  while (f.ReadLine(line)) lines.push_back(std::string(line, line.GetLength()));
  EXPECT_TRUE(line.IsEmpty());
  return lines;
}

TEST(ZTextFileTest, ReadLine) {
  TempDir dir;
  std::string path = dir.File("lines.txt");
  ASSERT_TRUE(WriteBytes(path, B("a\nb")));
  {
    ZTextFile f;
    ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
    EXPECT_EQ(AllLines(f), (std::vector<std::string>{"a", "b"}));
  }
  ASSERT_TRUE(WriteBytes(path, B("a\r\n\r\nb\r\n")));
  {
    ZTextFile f;
    ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
    EXPECT_EQ(AllLines(f), (std::vector<std::string>{"a\r", "\r", "b\r"}));
  }
  {
    ZTextFile f;
    ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eText));
    EXPECT_EQ(AllLines(f), (std::vector<std::string>{"a", "", "b"}));
  }
  // Lines longer than the buffer, and a line feed on a buffer boundary.
  std::string longLine(20000, 'q');
  std::string first(8191, 'p');
  ASSERT_TRUE(WriteBytes(path, B(first + "\n" + longLine + "\nend\n")));
  {
    ZTextFile f;
    ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
    EXPECT_EQ(AllLines(f), (std::vector<std::string>{first, longLine, "end"}));
  }
  ASSERT_TRUE(WriteBytes(path, {}));
  {
    ZTextFile f;
    ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
    ZString line;
    EXPECT_FALSE(f.ReadLine(line));
  }
  ZTextFile closed;
  ZString line;
  EXPECT_FALSE(closed.ReadLine(line));
}

TEST(ZTextFileTest, UnreadAndWriteLine) {
  TempDir dir;
  std::string path = dir.File("lines.txt");
  ASSERT_TRUE(WriteBytes(path, B("one\ntwo\n")));
  ZTextFile f;
  ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
  ZString line;
  ASSERT_TRUE(f.ReadLine(line));
  EXPECT_EQ(line, "one");
  EXPECT_TRUE(f.UnreadLine(ZString("x")));
  EXPECT_TRUE(f.UnreadLine(ZString("y")));
  EXPECT_TRUE(f.UnreadLine(ZString("z")));
  ASSERT_TRUE(f.ReadLine(line));
  EXPECT_EQ(line, "z");
  ASSERT_TRUE(f.ReadLine(line));
  EXPECT_EQ(line, "y");
  ASSERT_TRUE(f.ReadLine(line));
  EXPECT_EQ(line, "x");
  ASSERT_TRUE(f.ReadLine(line));
  EXPECT_EQ(line, "two");
  EXPECT_FALSE(f.ReadLine(line));
  // Pushed back after the end, a line is read again; one is left for the
  // destructor to release.
  f.UnreadLine(ZString("again"));
  f.UnreadLine(ZString("left"));
  ASSERT_TRUE(f.ReadLine(line));
  EXPECT_EQ(line, "left");

  ZTextFile w;
  ASSERT_TRUE(w.Open(path.c_str(), ZFile::eAppend, ZFile::eBinary));
  EXPECT_FALSE(w.WriteLine(ZString("more")));
  w.Close();
  EXPECT_EQ(ReadBytes(path), B("one\ntwo\n"));
}

std::multiset<std::string> FindAll(ZFileFind& find) {
  std::multiset<std::string> found;
  while (find.Next()) found.insert(std::string(find.GetPathName(), find.GetPathName().GetLength()));
  return found;
}

TEST(ZFileFindTest, PatternsAndDirectories) {
  TempDir dir;
  for (const char* name : {"one.txt", "Two.TXT", "three.dat", "C:x.txt", "noext"}) {
    ASSERT_TRUE(WriteBytes(dir.File(name), {}));
  }
  std::string prefix = dir.path() + "\\";
  {
    ZFileFind find((prefix + "*.txt").c_str());
    EXPECT_EQ(FindAll(find), (std::multiset<std::string>{prefix + "C:x.txt", prefix + "one.txt",
                                                         prefix + "Two.TXT"}));
  }
  {
    ZFileFind find((prefix + "t?O.*").c_str());
    EXPECT_EQ(FindAll(find), (std::multiset<std::string>{prefix + "Two.TXT"}));
  }
  {
    ZFileFind find((prefix + "*.*").c_str());
    EXPECT_EQ(FindAll(find).size(), 7u);  // every name, "." and ".." too
    // A slash does not make a directory part: names come back bare.
    ZFileFind slashed((dir.path() + "/*.dat").c_str());
    EXPECT_EQ(FindAll(slashed), (std::multiset<std::string>{"three.dat"}));
  }

  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  {
    ZFileFind bare("*.dat");
    EXPECT_EQ(FindAll(bare), (std::multiset<std::string>{"three.dat"}));
    // Only a backslash separates the directory.
    ZFileFind drive("C:*.txt");
    EXPECT_EQ(FindAll(drive), (std::multiset<std::string>{"C:x.txt"}));
  }
  ASSERT_EQ(chdir(cwd), 0);

  ZFileFind none("");
  EXPECT_FALSE(none.Next());
}

TEST(ZFileFindTest, RestartResetAndCopy) {
  TempDir dir;
  std::string prefix = dir.path() + "\\";
  ZFileFind find((prefix + "late*").c_str());
  EXPECT_FALSE(find.Next());
  ASSERT_TRUE(WriteBytes(dir.File("late1"), {}));
  ASSERT_TRUE(WriteBytes(dir.File("late2"), {}));
  EXPECT_TRUE(find.Next());  // a failed first Next starts over
  EXPECT_EQ(find.GetPathName(), (prefix + "late1").c_str());

  // A copy has the last entry but runs its own search from the start.
  ZFileFind copy(find);
  EXPECT_EQ(copy.GetPathName(), (prefix + "late1").c_str());
  EXPECT_TRUE(find.Next());
  EXPECT_EQ(find.GetPathName(), (prefix + "late2").c_str());
  EXPECT_FALSE(find.Next());
  EXPECT_EQ(FindAll(copy).size(), 2u);

  EXPECT_TRUE(find.Reset());
  EXPECT_TRUE(find.Next());
  EXPECT_EQ(find.GetPathName(), (prefix + "late1").c_str());
  ZFileFind assigned("other");
  assigned = find;
  EXPECT_TRUE(assigned.Next());
  EXPECT_EQ(assigned.GetPathName(), (prefix + "late1").c_str());
}

}  // namespace
