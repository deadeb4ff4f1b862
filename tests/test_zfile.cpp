// Files: open modes and text translation, whole-file reads, line reading
// with push-back, and wildcard enumeration.
#include <gtest/gtest.h>

#include <filesystem>
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
  EXPECT_EQ(f.Read(got, 2), 2u);  // one item of a few bytes, then a long run
  EXPECT_EQ(f.Read(got + 2, sizeof got - 2), 5u);
  EXPECT_EQ(std::string(got, 7), "1\n2\r3\n\r");
  EXPECT_EQ(f.Read(got, 1), 0u);
  f.Close();

  // A backslash separates directories as well.
  std::string sub = dir.File("sub");
  ASSERT_TRUE(std::filesystem::create_directory(sub));
  std::string dosPath = dir.path() + "\\sub\\g.bin";
  EXPECT_TRUE(f.Open(dosPath.c_str(), ZFile::eWrite, ZFile::eBinary) && f.Close());
  EXPECT_TRUE(ZFile::Exists((sub + "/g.bin").c_str()));
  EXPECT_TRUE(ZFile::Delete(dosPath.c_str()));
  EXPECT_FALSE(ZFile::Delete(dosPath.c_str()));
}

// Whole-file reads stop below 65000 bytes (b kept); in text mode fewer bytes
// arrive than the file holds (b emptied).
TEST(ZFileTest, WholeFileReadLimit) {
  TempDir dir;
  std::string path = dir.File("big.bin");
  ZBuffer b("old", 3);
  auto read = [&](const Bytes& bytes, ZFile::EType type) {
    ZFile f;
    EXPECT_TRUE(WriteBytes(path, bytes) && f.Open(path.c_str(), ZFile::eRead, type));
    return f.Read(b);
  };
  Bytes data(64999);
  for (size_t i = 0; i < data.size(); i++) data[i] = static_cast<unsigned char>(i * 7);
  EXPECT_TRUE(read(data, ZFile::eBinary));
  EXPECT_TRUE(b == ZBuffer(reinterpret_cast<const char*>(data.data()), 64999));
  data.push_back(1);
  EXPECT_FALSE(read(data, ZFile::eBinary));
  EXPECT_EQ(b.GetLength(), 64999u);
  EXPECT_TRUE(read({}, ZFile::eBinary));
  EXPECT_TRUE(b.IsEmpty());
  b = ZBuffer("old", 3);
  EXPECT_FALSE(read(B("a\r\nb"), ZFile::eText));
  EXPECT_TRUE(b.IsEmpty());
}

// Every line of the file at path, opened with the given type.
std::vector<std::string> Lines(const std::string& path, int type) {
  ZTextFile f;
  EXPECT_TRUE(f.Open(path.c_str(), ZFile::eRead, type));
  std::vector<std::string> lines;
  ZString line("junk");
  while (f.ReadLine(line)) lines.push_back(std::string(line, line.GetLength()));
  EXPECT_TRUE(line.IsEmpty());
  return lines;
}

TEST(ZTextFileTest, ReadUnreadAndWriteLine) {
  TempDir dir;
  std::string path = dir.File("lines.txt");
  ASSERT_TRUE(WriteBytes(path, B("a\r\n\r\nb\r\n")));
  EXPECT_EQ(Lines(path, ZFile::eBinary), (std::vector<std::string>{"a\r", "\r", "b\r"}));
  EXPECT_EQ(Lines(path, ZFile::eText), (std::vector<std::string>{"a", "", "b"}));
  // Lines longer than the buffer, a line feed on a buffer boundary, and a
  // last line without one.
  std::string longLine(20000, 'q'), first(8191, 'p');
  ASSERT_TRUE(WriteBytes(path, B(first + "\n" + longLine + "\nend")));
  EXPECT_EQ(Lines(path, ZFile::eBinary), (std::vector<std::string>{first, longLine, "end"}));
  ASSERT_TRUE(WriteBytes(path, {}));
  EXPECT_TRUE(Lines(path, ZFile::eBinary).empty());

  ASSERT_TRUE(WriteBytes(path, B("one\ntwo\n")));
  ZTextFile f;
  ASSERT_TRUE(f.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
  ZString line;
  std::string read;
  ASSERT_TRUE(f.ReadLine(line));
  for (const char* pushed : {"x", "y", "z"}) EXPECT_TRUE(f.UnreadLine(ZString(pushed)));
  while (f.ReadLine(line)) read += std::string(line) + ",";
  EXPECT_EQ(read, "z,y,x,two,");
  // Pushed back after the end, a line is read again; one is left for the
  // destructor to release.
  f.UnreadLine(ZString("again"));
  f.UnreadLine(ZString("left"));
  EXPECT_TRUE(f.ReadLine(line) && line == "left");

  ZTextFile w;
  ASSERT_TRUE(w.Open(path.c_str(), ZFile::eAppend, ZFile::eBinary));
  EXPECT_FALSE(w.WriteLine(ZString("more")));
  w.Close();
  EXPECT_EQ(ReadBytes(path), B("one\ntwo\n"));
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
#if defined(_WIN32)
  // "C:" names a drive: "C:*.txt" searches that drive's current folder.
  const std::string drive = dir.path().substr(0, 2);
  const char* colon = "x.txt";
  const Names bareNames = {"one.txt", "Two.TXT", "x.txt"};
#else
  // "C:" is part of a name.
  const std::string drive = "C:";
  const char* colon = "C:x.txt";
  const Names bareNames = {"C:x.txt"};
#endif
  for (const char* name : {"one.txt", "Two.TXT", "three.dat", colon, "noext"}) {
    ASSERT_TRUE(WriteBytes(dir.File(name), {}));
  }
  // Names come back after the pattern's directory part, which ends at the
  // last backslash; case does not count in the match.
  std::string prefix = dir.path() + "\\";
  EXPECT_EQ(FindAll(prefix + "*.txt"),
            (Names{prefix + colon, prefix + "one.txt", prefix + "Two.TXT"}));
  EXPECT_EQ(FindAll(prefix + "t?O.*"), (Names{prefix + "Two.TXT"}));
  EXPECT_EQ(FindAll(prefix + "*.*").size(), 7u);  // every name, "." and ".." too
  EXPECT_EQ(FindAll(dir.path() + "/*.dat"), (Names{"three.dat"}));

  // Only a backslash ends the directory part: a drive prefix is none.
  std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  Names bare = FindAll(drive + "*.txt");
  std::filesystem::current_path(cwd);
  EXPECT_EQ(bare, bareNames);
  EXPECT_TRUE(FindAll("").empty());

  // A failed first Next starts over; so does Next after Reset.
  ZFileFind find((prefix + "late*").c_str());
  EXPECT_FALSE(find.Next());
  ASSERT_TRUE(WriteBytes(dir.File("late1"), {}));
  ASSERT_TRUE(WriteBytes(dir.File("late2"), {}));
  EXPECT_TRUE(find.Next());
  EXPECT_EQ(find.GetPathName(), (prefix + "late1").c_str());
  EXPECT_TRUE(find.Next() && !find.Next() && find.Reset());
  EXPECT_TRUE(find.Next());
  EXPECT_EQ(find.GetPathName(), (prefix + "late1").c_str());

  // A copy, or a finder assigned over one with a search running, holds the
  // pattern, directory and last entry, and searches anew from its next Next.
  ZFileFind copy(find), assigned((dir.path() + "/*.*").c_str());
  ASSERT_TRUE(assigned.Next());
  assigned = find;
  for (ZFileFind* f : {&copy, &assigned}) {
    EXPECT_EQ(f->GetPathName(), (prefix + "late1").c_str());
    EXPECT_TRUE(f->Next() && f->Next() && !f->Next());
  }
}

}  // namespace
