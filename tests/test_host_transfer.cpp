// Transfers with the client, against a client that logs every tool call as
// "tool/selector args;" (the bytes of a message's data call in hex).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "host/toolcall.h"
#include "hostkit/hostkit.h"
#include "orbcmn/orbhost.h"
#include "platform/win32.h"
#include "support/alloclog.h"
#include "support/tempfiles.h"

namespace {

std::string Hex(const std::string& bytes) {
  std::string s;
  for (unsigned char c : bytes) s += {"0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
  return s;
}

HWND g_poked = nullptr;  // the window the posted message was dispatched to

class Recorder : public testing::Test {
 public:
  void SetUp() override { HostKit_SetToolHandler(Handler, this); }
  void TearDown() override { HostKit_SetToolHandler(nullptr, nullptr); }

  static intptr_t Handler(void* user, int tool, int sel, void* context, int argc,
                          const intptr_t* argv) {
    Recorder* r = static_cast<Recorder*>(user);
    EXPECT_EQ(static_cast<void*>(OrbToolContext()), context);
    std::string call = std::to_string(tool) + "/" + std::to_string(sel);
    for (int i = 0; i < argc; i++) {
      bool data = tool == 4 && sel == 1 && i == 1 && argc == 5;
      call += " " + (data ? Hex(std::string(reinterpret_cast<const char*>(argv[1]), argv[2]))
                          : std::to_string(argv[i]));
    }
    r->calls_ += call + ";";
    if (tool == 4 && sel == 0) return 9000 + ++r->opened_;
    if (tool == 8 && sel == 0) return 555;
    if (tool == 8 && sel == 4) return argv[1] == 10 ? r->cancel_ : r->chosen_;
    if (tool == 1 && sel == 267) return g_poked != nullptr ? 9 : 5;
    if (tool == 3 && sel == 5) return r->button_;
    return 0;
  }

  std::string calls_;
  AllocLog alloc_;
  intptr_t cancel_ = 0, chosen_ = 0, button_ = 0;
  int opened_ = 0;
};

// Appends the calls that open message `n` (handle 9000 + n), give it its
// token, append the bytes `hex` (no data call when empty) and send it.
void Send(std::string& out, int n, const char* token, const std::string& hex) {
  std::string h = " " + std::to_string(9000 + n);
  out += "4/0 0 159 0;4/6" + h + " " + std::to_string(token[0] * 256 + token[1]) + ";";
  if (!hex.empty()) out += "4/1" + h + " " + hex + " " + std::to_string(hex.size() / 2) + " 14 0;";
  out += "4/8" + h + ";";
}

// The upload record of `text`: 16-bit length, most significant byte first,
// the text and two zero bytes.
std::string Record(const std::string& text) {
  std::string length = {static_cast<char>(text.size() >> 8), static_cast<char>(text.size())};
  return Hex(length + text + std::string(2, '\0'));
}

// Nine empty texts make eleven messages and a work buffer of 12 bytes;
// longer texts go in the order 5-8, 1, 9-12, cut into pieces, the longest
// setting the buffer's size (+ 4). The flag makes tool call 7/3 first.
TEST_F(Recorder, UploadSendsAHeaderTheRecordsInPiecesAndAnEnd) {
  EXPECT_EQ(1, OrbUtil_UploadFile(nullptr, 0x01020304, 0x01020304, -2, "", nullptr, "", "", "",
                                  nullptr, "", "", 0));
  std::string want;
  Send(want, 1, "Bf", "0102030404030201FEFFFFFF");
  for (int i = 2; i <= 10; i++) Send(want, i, "Bg", "00000000");
  Send(want, 11, "Bh", "");
  EXPECT_EQ(want, std::exchange(calls_, ""));
  EXPECT_EQ("106 032797 12, 108 032797 0", alloc_.Take());

  std::string big = "A" + std::string(248, 'x') + "Z";
  EXPECT_EQ(1,
            OrbUtil_UploadFile(big.c_str(), 1, 2, 3, "5", "6", "7", "8", "9", "10", "11", "12", 1));
  EXPECT_EQ("106 032797 254", alloc_.calls.at(0));
  want = "7/3;";
  Send(want, 12, "Bf", "000000010200000003000000");
  int n = 13;
  for (const char* t : {"5", "6", "7", "8"}) Send(want, n++, "Bg", Record(t));
  std::string record = Record(big);
  for (size_t at = 0; at < record.size(); at += 200) Send(want, n++, "Bg", record.substr(at, 200));
  for (const char* t : {"9", "10", "11", "12"}) Send(want, n++, "Bg", Record(t));
  Send(want, n, "Bh", "");
  EXPECT_EQ(want, calls_);
}

TEST_F(Recorder, FileChoiceCancelledOrChosen) {
  char out[64] = "stale";
  EXPECT_EQ(0, OrbHost_GetFile(nullptr, 33));  // nowhere to put a path: nothing asked
  cancel_ = 1;
  EXPECT_EQ(0, OrbHost_GetFile(out, 33));
  EXPECT_STREQ("", out);
  cancel_ = 0x10000;  // only the low 16 bits tell
  chosen_ = reinterpret_cast<intptr_t>("C:\\forms\\a.frm");
  EXPECT_EQ(1, OrbHost_GetFile(out, 33));
  EXPECT_STREQ("C:\\forms\\a.frm", out);
  EXPECT_EQ(
      "8/0;8/3 555 16;8/17 555 33;8/4 555 10;8/1 555;"
      "8/0;8/3 555 16;8/17 555 33;8/4 555 10;8/4 555 8;8/1 555;",
      calls_);
}

// Notes that the posted message was dispatched to its window.
LRESULT CALLBACK PokeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) g_poked = window;
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Recorder, WaitReturnsTheChangedValueOrTimesOut) {
  g_poked = nullptr;
  DWORD start = GetTickCount();
  // Only the low 32 bits are compared.
  EXPECT_EQ(0, OrbHost_WaitForWndNotSame(20, static_cast<intptr_t>(0x100000005LL)));
  EXPECT_GE(GetTickCount() - start, 20u);
  EXPECT_EQ("1/267 32;1/267 32;", calls_.substr(0, 18)) << "polled again";

  // No limit: returns once a dispatched message has made the value change.
  WNDCLASSA cls = {};
  cls.lpfnWndProc = PokeProc;
  cls.lpszClassName = "Poke";
  ASSERT_NE(0, RegisterClassA(&cls));
  HWND w = CreateWindowExA(0, "Poke", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  // A wider time-out whose low 32 bits are 0 is no limit, not an immediate time-out.
  for (unsigned long timeout : {0ul, static_cast<unsigned long>(uint64_t{1} << 32)}) {
    g_poked = nullptr;
    calls_.clear();
    ASSERT_TRUE(PostMessageA(w, WM_USER, 0, 0));
    EXPECT_EQ(9, OrbHost_WaitForWndNotSame(timeout, 5)) << timeout;
    EXPECT_EQ("1/267 32;1/267 32;", calls_) << "one poll before the message, one after";
  }
  DestroyWindow(w);
  UnregisterClassA("Poke", nullptr);
}

TEST_F(Recorder, FormCallAndButtonStateFromTheClientRecord) {
  OrbHost_CallForm2(0x12345678, 0);  // no form call without the flag
  EXPECT_EQ(0, OrbObj_IsBtnChecked(0)) << "no object, no call";
  OrbHost_CallForm2(-7, 1);
  EXPECT_EQ(0, OrbObj_IsBtnChecked(12)) << "no record";
  EXPECT_EQ("0/0;4/0 0 159 0;4/6 9001 26161;4/2 9001 -7 4 14 0;4/8 9001;3/5 0 0 12 0;", calls_);

  // The state byte is reached through the record's first pointer; the
  // 32-bit word at byte offset 32 is cleared, nothing after it.
  unsigned char state = 1;
  const unsigned char* pointer = &state;
  std::vector<uint32_t> record(10, 0xEEEEEEEEu);
  std::memcpy(record.data(), &pointer, sizeof pointer);
  button_ = reinterpret_cast<intptr_t>(record.data());
  calls_.clear();
  EXPECT_EQ(1, OrbObj_IsBtnChecked(12));
  EXPECT_EQ("3/5 0 0 12 0;3/7;", calls_);
  EXPECT_EQ(0u, record[8]);
  EXPECT_EQ(0xEEEEEEEEu, record[9]);
  state = 0;
  EXPECT_EQ(0, OrbObj_IsBtnChecked(12));
}

TEST(HostTransfer, DownloadOnDemandAsksTheDatabaseFirst) {
  static std::string seen;
  HostKit_SetDatabaseHandlers(
      [](void*, int one, unsigned long id) {
        seen += " exists " + std::to_string(one) + "," + std::to_string(id);
        return id == 10 ? 5 : 0;
      },
      [](void*, unsigned long id, int zero) {
        seen += " dod " + std::to_string(id) + "," + std::to_string(zero);
        return 7;
      },
      nullptr);
  EXPECT_EQ(5, OrbHost_DODRequest(10));
  EXPECT_EQ(7, OrbHost_DODRequest(static_cast<unsigned long>(uint64_t{1} << 32 | 11)));
  HostKit_SetDatabaseHandlers(nullptr, nullptr, nullptr);
  EXPECT_EQ(" exists 1,10 exists 1,11 dod 11,0", seen) << "32-bit ids";
}

TEST(HostTransfer, WholeFilesInAndOut) {
  TempDir dir;
  AllocLog alloc;
  std::string path = dir.File("data.bin");
  const char data[] = "abc\0e";
  EXPECT_EQ(7, OrbHost_WriteDataToFile(path.c_str(), "abcdefg", 7));
  EXPECT_EQ(5, OrbHost_WriteDataToFile(path.c_str(), data, 5));
  EXPECT_EQ(0, OrbHost_WriteDataToFile(dir.File("no/such/f").c_str(), data, 5));
  // A save that fails leaves the old file whole: a new file that cannot
  // be made, a rename that fails (over a directory) and leaves no new file
  // behind.
  HostKit_MakePath((path + ".orbnew").c_str());
  EXPECT_EQ(0, OrbHost_WriteDataToFile(path.c_str(), "other", 5));
  std::filesystem::remove(path + ".orbnew");
  HostKit_MakePath(dir.File("sub/inner").c_str());
  EXPECT_EQ(-1, OrbHost_WriteDataToFile(dir.File("sub").c_str(), "other", 5));
  EXPECT_FALSE(std::filesystem::exists(dir.File("sub.orbnew")));
  EXPECT_EQ(Bytes(data, data + 5), ReadBytes(path));
  char* block = static_cast<char*>(OrbHost_ReadDataFromFile(path.c_str(), 5));
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(0, std::memcmp(block, data, 6)) << "with a terminator";
  HostKit_Free("test", block);
  EXPECT_EQ(nullptr, OrbHost_ReadDataFromFile(path.c_str(), 6))
      << "shorter than the count: the longer file was replaced";
  EXPECT_EQ(nullptr, OrbHost_ReadDataFromFile(path.c_str(), 0));
  EXPECT_EQ(nullptr, OrbHost_ReadDataFromFile(dir.File("missing.bin").c_str(), 5));
  EXPECT_EQ(nullptr, OrbHost_ReadDataFromFile(dir.File("sub").c_str(), 5)) << "a directory";
  EXPECT_EQ("106 042397 6, 108 test 0, 106 042397 7, 108 06109C 0", alloc.Take());
}

}  // namespace
