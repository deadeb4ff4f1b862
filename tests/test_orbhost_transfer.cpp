// Transfers with the client, against a client that records every tool call
// and the messages built with tool 4.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "hostkit/hostkit.h"
#include "orbcmn/orbhost.h"
#include "platform/win32.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Call {
  int tool;
  int selector;
  std::vector<intptr_t> args;
};

// An outgoing message as the client saw it.
struct Message {
  std::string token;
  Bytes data;
  std::vector<intptr_t> items;
  bool sent = false;
};

class Recorder : public testing::Test {
 public:
  void SetUp() override { HostKit_SetToolHandler(Handler, this); }
  void TearDown() override {
    HostKit_SetToolHandler(nullptr, nullptr);
    HostKit_SetAllocObserver(nullptr, nullptr);
  }

  static intptr_t Handler(void* user, int tool, int selector, void* context, int argc,
                          const intptr_t* argv) {
    Recorder* r = static_cast<Recorder*>(user);
    EXPECT_EQ(static_cast<void*>(HostKit_Context()), context);
    r->calls_.push_back({tool, selector, std::vector<intptr_t>(argv, argv + argc)});
    if (tool == 4) return r->Build(selector, argc, argv);
    if (tool == 8 && selector == 0) return 555;
    if (tool == 8 && selector == 4) return argv[1] == 10 ? r->cancel_ : r->chosen_;
    if (tool == 1 && selector == 267) {
      r->polls_++;
      return r->foreground_;
    }
    if (tool == 3 && selector == 5) return r->button_;
    return 0;
  }

  // Tool 4: every message must be opened, tokened, filled and sent in order.
  intptr_t Build(int selector, int argc, const intptr_t* argv) {
    if (selector == 0) {
      EXPECT_EQ((std::vector<intptr_t>{0, 159, 0}), std::vector<intptr_t>(argv, argv + argc));
      EXPECT_TRUE(messages_.empty() || messages_.back().sent) << "previous message not sent";
      messages_.push_back(Message{});
      return 9000 + static_cast<intptr_t>(messages_.size());
    }
    EXPECT_EQ(9000 + static_cast<intptr_t>(messages_.size()), argv[0]) << "current handle";
    Message& m = messages_.back();
    switch (selector) {
      case 6:
        EXPECT_EQ(2, argc);
        m.token = {static_cast<char>(argv[1] >> 8), static_cast<char>(argv[1] & 0xFF)};
        break;
      case 1: {
        EXPECT_EQ(5, argc);
        EXPECT_EQ(14, argv[3]);
        EXPECT_EQ(0, argv[4]);
        const unsigned char* p = reinterpret_cast<const unsigned char*>(argv[1]);
        m.data.insert(m.data.end(), p, p + argv[2]);
        break;
      }
      case 2:
        EXPECT_EQ((std::vector<intptr_t>{4, 14, 0}), std::vector<intptr_t>(argv + 2, argv + 5));
        m.items.push_back(argv[1]);
        break;
      case 8:
        EXPECT_FALSE(m.token.empty()) << "token set before sending";
        m.sent = true;
        break;
      default:
        ADD_FAILURE() << "selector " << selector;
    }
    return 0;
  }

  std::vector<Call> calls_;
  std::vector<Message> messages_;
  intptr_t cancel_ = 0;
  intptr_t chosen_ = 0;
  intptr_t foreground_ = 0;
  intptr_t button_ = 0;
  int polls_ = 0;
};

// Sizes asked of the allocator under a tag, and tags of releases.
struct AllocLog {
  std::vector<std::string> events;
};
AllocLog g_alloc;

void ObserveAllocations() {
  g_alloc.events.clear();
  HostKit_SetAllocObserver(
      [](void*, int entry, const char* tag, void*, unsigned size) {
        g_alloc.events.push_back(std::to_string(entry) + " " + tag + " " + std::to_string(size));
      },
      nullptr);
}

Bytes Record(const std::string& text) {
  Bytes b(text.size() + 4, 0);
  b[0] = static_cast<unsigned char>(text.size() >> 8);
  b[1] = static_cast<unsigned char>(text.size() & 0xFF);
  std::memcpy(b.data() + 2, text.data(), text.size());
  return b;
}

TEST_F(Recorder, UploadOfNineEmptyTextsIsElevenMessages) {
  ObserveAllocations();
  EXPECT_EQ(1, OrbUtil_UploadFile(nullptr, 0x01020304, 0x01020304, -2, "", nullptr, "", "", "",
                                  nullptr, "", "", 0));
  ASSERT_EQ(11u, messages_.size());
  EXPECT_EQ("Bf", messages_[0].token);
  EXPECT_EQ((Bytes{1, 2, 3, 4, 4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF}), messages_[0].data);
  for (int i = 1; i <= 9; i++) {
    EXPECT_EQ("Bg", messages_[i].token);
    EXPECT_EQ((Bytes{0, 0, 0, 0}), messages_[i].data);
  }
  EXPECT_EQ("Bh", messages_[10].token);
  EXPECT_TRUE(messages_[10].data.empty());
  EXPECT_TRUE(messages_[10].sent);
  // The "Bh" message is opened, tokened and sent, with no data call.
  ASSERT_GE(calls_.size(), 3u);
  EXPECT_EQ(0, calls_[calls_.size() - 3].selector);
  EXPECT_EQ(6, calls_[calls_.size() - 2].selector);
  EXPECT_EQ(0x4268, calls_[calls_.size() - 2].args[1]);
  EXPECT_EQ(8, calls_.back().selector);
  for (const Call& c : calls_) EXPECT_NE(7, c.tool) << "no 7/3 without the flag";
  EXPECT_EQ((std::vector<std::string>{"106 032797 12", "108 032797 0"}), g_alloc.events);
}

TEST_F(Recorder, UploadCutsRecordsIntoPiecesInTextOrder) {
  std::string big(250, 'x');
  big[0] = 'A';
  big[249] = 'Z';
  ObserveAllocations();
  EXPECT_EQ(1,
            OrbUtil_UploadFile(big.c_str(), 1, 2, 3, "5", "6", "7", "8", "9", "10", "11", "12", 1));
  ASSERT_FALSE(calls_.empty());
  EXPECT_EQ(7, calls_[0].tool) << "the flag makes tool call 7/3 first";
  EXPECT_EQ(3, calls_[0].selector);
  EXPECT_EQ("106 032797 254", g_alloc.events.at(0)) << "longest text + 4";

  std::vector<Bytes> pieces;
  for (const Message& m : messages_) {
    if (m.token == "Bg") pieces.push_back(m.data);
  }
  ASSERT_EQ(11u, pieces.size());
  EXPECT_EQ(Record("5"), pieces[0]);
  EXPECT_EQ(Record("8"), pieces[3]);
  Bytes record = Record(big);
  ASSERT_EQ(254u, record.size());
  EXPECT_EQ(Bytes(record.begin(), record.begin() + 100), pieces[4]);
  EXPECT_EQ(0x00, pieces[4][0]);
  EXPECT_EQ(0xFA, pieces[4][1]);
  EXPECT_EQ(Bytes(record.begin() + 100, record.begin() + 200), pieces[5]);
  EXPECT_EQ(Bytes(record.begin() + 200, record.end()), pieces[6]);
  EXPECT_EQ(54u, pieces[6].size());
  EXPECT_EQ(Record("9"), pieces[7]);
  EXPECT_EQ(Record("12"), pieces[10]);
  EXPECT_EQ("Bh", messages_.back().token);
}

TEST_F(Recorder, FormCallSendsOneItemOnlyWithTheFlag) {
  OrbHost_CallForm2(0x12345678, 0);
  EXPECT_TRUE(calls_.empty());
  OrbHost_CallForm2(-7, 1);
  ASSERT_EQ(5u, calls_.size());
  EXPECT_EQ(0, calls_[0].tool);
  EXPECT_EQ(0, calls_[0].selector);
  EXPECT_TRUE(calls_[0].args.empty());
  ASSERT_EQ(1u, messages_.size());
  EXPECT_EQ("f1", messages_[0].token);
  EXPECT_EQ(0x6631, calls_[2].args[1]);
  EXPECT_EQ((std::vector<intptr_t>{-7}), messages_[0].items);
  EXPECT_TRUE(messages_[0].data.empty());
  EXPECT_TRUE(messages_[0].sent);
}

TEST_F(Recorder, FileChoiceCancelledOrChosen) {
  char out[64] = "stale";
  cancel_ = 1;
  EXPECT_EQ(0, OrbHost_GetFile(out, 33));
  EXPECT_STREQ("", out);
  ASSERT_EQ(5u, calls_.size());
  EXPECT_EQ((std::vector<intptr_t>{555, 16}), calls_[1].args);
  EXPECT_EQ((std::vector<intptr_t>{555, 33}), calls_[2].args);
  EXPECT_EQ((std::vector<intptr_t>{555, 10}), calls_[3].args);
  EXPECT_EQ(1, calls_[4].selector) << "handle released";

  calls_.clear();
  cancel_ = 0x10000;  // only the low 16 bits tell
  chosen_ = reinterpret_cast<intptr_t>("C:\\forms\\a.frm");
  EXPECT_EQ(1, OrbHost_GetFile(out, 33));
  EXPECT_STREQ("C:\\forms\\a.frm", out);
  ASSERT_EQ(6u, calls_.size());
  EXPECT_EQ((std::vector<intptr_t>{555, 8}), calls_[4].args);
  EXPECT_EQ(1, calls_[5].selector);
}

HWND g_poked = nullptr;
Recorder* g_recorder = nullptr;

// Changes the client's answer when its message is dispatched.
LRESULT CALLBACK PokeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) {
    g_poked = window;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Recorder, WaitReturnsTheChangedValueOrTimesOut) {
  foreground_ = 5;
  DWORD start = GetTickCount();
  EXPECT_EQ(0, OrbHost_WaitForWndNotSame(20, 5));
  EXPECT_GE(GetTickCount() - start, 20u);
  EXPECT_GT(polls_, 1);
  EXPECT_EQ((std::vector<intptr_t>{32}), calls_[0].args);
  // Only the low 32 bits are compared.
  EXPECT_EQ(0, OrbHost_WaitForWndNotSame(5, static_cast<intptr_t>(0x100000005LL)));

  // No limit: returns when a dispatched message makes the value change.
  WNDCLASSA cls = {};
  cls.lpfnWndProc = PokeProc;
  cls.lpszClassName = "Poke";
  ASSERT_NE(0, RegisterClassA(&cls));
  HWND w = CreateWindowExA(0, "Poke", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  g_poked = nullptr;
  g_recorder = this;
  HostKit_SetToolHandler(
      [](void* user, int tool, int selector, void* context, int argc, const intptr_t* argv) {
        if (g_poked != nullptr) g_recorder->foreground_ = 9;
        return Handler(user, tool, selector, context, argc, argv);
      },
      this);
  ASSERT_TRUE(PostMessageA(w, WM_USER, 0, 0));
  polls_ = 0;
  EXPECT_EQ(9, OrbHost_WaitForWndNotSame(0, 5));
  EXPECT_EQ(w, g_poked);
  EXPECT_EQ(2, polls_) << "one poll before the message, one after";
  // The time-out is 32-bit: a wider value whose low 32 bits are 0 is no limit.
  g_poked = nullptr;
  foreground_ = 5;
  ASSERT_TRUE(PostMessageA(w, WM_USER, 0, 0));
  EXPECT_EQ(9, OrbHost_WaitForWndNotSame(static_cast<unsigned long>(uint64_t{1} << 32), 5));
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  DestroyWindow(w);
  UnregisterClassA("Poke", nullptr);
}

TEST_F(Recorder, ButtonStateFromTheClientRecord) {
  EXPECT_EQ(0, OrbObj_IsBtnChecked(0));
  EXPECT_TRUE(calls_.empty());
  EXPECT_EQ(0, OrbObj_IsBtnChecked(12)) << "no record";
  ASSERT_EQ(1u, calls_.size());
  EXPECT_EQ((std::vector<intptr_t>{0, 0, 12, 0}), calls_[0].args);

  struct ClientRecord {
    const unsigned char* state;
    unsigned char middle[24];
    uint32_t word32;
    uint32_t after;
  };
  static_assert(offsetof(ClientRecord, word32) == 32, "layout");
  unsigned char state = 1;
  ClientRecord record = {&state, {}, 0xDEADBEEF, 0xCAFEF00D};
  button_ = reinterpret_cast<intptr_t>(&record);
  calls_.clear();
  EXPECT_EQ(1, OrbObj_IsBtnChecked(12));
  EXPECT_EQ(0u, record.word32);
  EXPECT_EQ(0xCAFEF00Du, record.after);
  ASSERT_EQ(2u, calls_.size());
  EXPECT_EQ(7, calls_[1].selector);
  EXPECT_TRUE(calls_[1].args.empty());
  state = 0;
  EXPECT_EQ(0, OrbObj_IsBtnChecked(12));
}

TEST(HostTransfer, DownloadOnDemandAsksTheDatabaseFirst) {
  static std::vector<std::string> seen;
  seen.clear();
  HostKit_SetDatabaseHandlers(
      [](void*, int one, unsigned long id) {
        seen.push_back("exists " + std::to_string(one) + " " + std::to_string(id));
        return id == 10 ? 5 : 0;
      },
      [](void*, unsigned long id, int zero) {
        seen.push_back("dod " + std::to_string(id) + " " + std::to_string(zero));
        return 7;
      },
      nullptr);
  EXPECT_EQ(5, OrbHost_DODRequest(10));
  EXPECT_EQ(7, OrbHost_DODRequest(11));
  HostKit_SetDatabaseHandlers(nullptr, nullptr, nullptr);
  EXPECT_EQ((std::vector<std::string>{"exists 1 10", "exists 1 11", "dod 11 0"}), seen);
}

TEST(HostTransfer, WholeFilesInAndOut) {
  std::string dir = ::testing::TempDir();
  std::string path = dir + "orbhost_" + std::to_string(getpid()) + ".bin";
  const char data[] = "abc\0e";
  EXPECT_EQ(5, OrbHost_WriteDataToFile(path.c_str(), data, 5));
  EXPECT_EQ(3, OrbHost_WriteDataToFile(path.c_str(), "xyz", 3)) << "rewritten, not appended";
  EXPECT_EQ(5, OrbHost_WriteDataToFile(path.c_str(), data, 5));
  EXPECT_EQ(0, OrbHost_WriteDataToFile((dir + "no/such/dir/f").c_str(), data, 5));

  ObserveAllocations();
  char* block = static_cast<char*>(OrbHost_ReadDataFromFile(path.c_str(), 5));
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(0, std::memcmp(block, data, 5));
  EXPECT_EQ(0, block[5]);
  EXPECT_EQ("106 042397 6", g_alloc.events.at(0));
  HostKit_Free("test", block);

  g_alloc.events.clear();
  EXPECT_EQ(nullptr, OrbHost_ReadDataFromFile(path.c_str(), 6)) << "file shorter than count";
  EXPECT_EQ((std::vector<std::string>{"106 042397 7", "108 06109C 0"}), g_alloc.events);
  g_alloc.events.clear();
  EXPECT_EQ(nullptr, OrbHost_ReadDataFromFile(path.c_str(), 0));
  EXPECT_EQ(nullptr, OrbHost_ReadDataFromFile((dir + "missing.bin").c_str(), 5));
  EXPECT_TRUE(g_alloc.events.empty());
  HostKit_SetAllocObserver(nullptr, nullptr);
  unlink(path.c_str());
}

}  // namespace
