// Transfers with the client: download on demand, form calls, uploads, file
// choice, waiting for a state change, button state, and whole files.
#include <cstring>

#include "host/toolcall.h"
#include "host/tools.h"
#include "hostkit/hostkit.h"
#include "lib/coding.h"
#include "lib/wholefile.h"
#include "orbcmn/orbhost.h"
#include "platform/win32.h"

namespace {

// Tool 4 builds and sends outgoing messages.
enum MessageSelector { kOpen = 0, kAppendData = 1, kAppendItem = 2, kToken = 6, kSend = 8 };

// Tool 8 lets the user choose a file through a handle; kQuery with
// kQueryCancelled or kQueryPath reads the outcome.
enum FileChoiceSelector {
  kChoiceOpen = 0,
  kChoiceRelease = 1,
  kChoiceSetUp = 3,
  kQuery = 4,
  kChoiceValue = 17
};
enum FileChoiceQuery { kQueryPath = 8, kQueryCancelled = 10 };

// Selectors of the other tools.
const int kPrepareFormCall = 0;  // tool 0
const int kPollState = 267;      // tool 1
const int kButtonRecord = 5;     // tool 3: the record that holds the state
const int kButtonDone = 7;       // tool 3: the record may be reused
const int kUploadBegin = 3;      // tool 7

const size_t kPieceSize = 100;
const size_t kHeaderSize = 12;
const size_t kMaxText = 0xFFFF;  // the record's length field is 16 bits

// A 32-bit value of the client, sign-extended to a tool-call argument.
intptr_t Value32(long value) { return static_cast<int32_t>(value); }

// Opens a message and gives it its two-character token ("f1" is 0x6631).
intptr_t OpenMessage(const char* token) {
  intptr_t handle = OrbToolCall(orb::kToolMessage, kOpen, {0, 159, 0});
  int word = orb::GetBig16(reinterpret_cast<const unsigned char*>(token));
  OrbToolCall(orb::kToolMessage, kToken, {handle, word});
  return handle;
}

// Sends one message carrying `size` bytes of `data` (none when null).
void SendBytes(const char* token, const unsigned char* data, size_t size) {
  intptr_t handle = OpenMessage(token);
  if (data != nullptr) {
    OrbToolCall(orb::kToolMessage, kAppendData,
                {handle, reinterpret_cast<intptr_t>(data), static_cast<intptr_t>(size), 14, 0});
  }
  OrbToolCall(orb::kToolMessage, kSend, {handle});
}

size_t TextLength(const char* text) {
  if (text == nullptr) return 0;
  size_t n = std::strlen(text);
  return n < kMaxText ? n : kMaxText;
}

}  // namespace

int OrbHost_DODRequest(unsigned long id) {
  unsigned long id32 = static_cast<uint32_t>(id);
  int exists = IDB_Exists(1, id32);
  if (exists != 0) return exists;
  return IDB_DodRequest(id32, 0);
}

void OrbHost_CallForm2(long value, int flag) {
  if (flag == 0) return;
  OrbToolCall(orb::kToolPrepare, kPrepareFormCall);
  intptr_t handle = OpenMessage("f1");
  OrbToolCall(orb::kToolMessage, kAppendItem, {handle, Value32(value), 4, 14, 0});
  OrbToolCall(orb::kToolMessage, kSend, {handle});
}

int OrbUtil_UploadFile(const char* t1, long a2, long a3, long a4, const char* t5, const char* t6,
                       const char* t7, const char* t8, const char* t9, const char* t10,
                       const char* t11, const char* t12, int flag) {
  const char* texts[] = {t5, t6, t7, t8, t1, t9, t10, t11, t12};
  size_t longest = 0;
  for (const char* text : texts) {
    size_t n = TextLength(text);
    if (n > longest) longest = n;
  }
  size_t size = longest + 4 > kHeaderSize ? longest + 4 : kHeaderSize;
  unsigned char* buffer =
      static_cast<unsigned char*>(HostKit_Alloc("032797", static_cast<unsigned>(size), 0));
  if (buffer == nullptr) return 0;
  if (flag != 0) OrbToolCall(orb::kToolUpload, kUploadBegin);

  orb::PutBig32(buffer, static_cast<uint32_t>(a2));
  orb::PutLittle(buffer + 4, static_cast<uint32_t>(a3), 4);
  orb::PutLittle(buffer + 8, static_cast<uint32_t>(a4), 4);
  SendBytes("Bf", buffer, kHeaderSize);

  for (const char* text : texts) {
    size_t n = TextLength(text);
    orb::PutBig16(buffer, static_cast<uint16_t>(n));
    if (n != 0) std::memcpy(buffer + 2, text, n);
    buffer[2 + n] = 0;
    buffer[3 + n] = 0;
    size_t record = n + 4;
    for (size_t at = 0; at < record; at += kPieceSize) {
      size_t piece = record - at < kPieceSize ? record - at : kPieceSize;
      SendBytes("Bg", buffer + at, piece);
    }
  }
  SendBytes("Bh", nullptr, 0);
  HostKit_Free("032797", buffer);
  return 1;
}

int OrbHost_GetFile(char* out, long value) {
  if (out == nullptr) return 0;
  intptr_t handle = OrbToolCall(orb::kToolFileChoice, kChoiceOpen);
  OrbToolCall(orb::kToolFileChoice, kChoiceSetUp, {handle, 16});
  OrbToolCall(orb::kToolFileChoice, kChoiceValue, {handle, Value32(value)});
  out[0] = '\0';
  if (static_cast<uint16_t>(OrbToolCall(orb::kToolFileChoice, kQuery, {handle, kQueryCancelled})) !=
      0) {
    OrbToolCall(orb::kToolFileChoice, kChoiceRelease, {handle});
    return 0;
  }
  const char* path = reinterpret_cast<const char*>(
      OrbToolCall(orb::kToolFileChoice, kQuery, {handle, kQueryPath}));
  if (path != nullptr) std::strcpy(out, path);
  OrbToolCall(orb::kToolFileChoice, kChoiceRelease, {handle});
  return 1;
}

void* OrbHost_ReadDataFromFile(const char* path, long count) {
  int32_t n = static_cast<int32_t>(count);
  if (n <= 0 || path == nullptr) return nullptr;
  OFSTRUCT info;
  HFILE file = OpenFile(path, &info, OF_READ);
  if (file == HFILE_ERROR) return nullptr;
  char* block = static_cast<char*>(HostKit_Alloc("042397", static_cast<unsigned>(n) + 1, 0));
  if (block != nullptr) {
    if (_hread(file, block, n) < n) {
      HostKit_Free("06109C", block);
      block = nullptr;
    } else {
      block[n] = '\0';
    }
  }
  _lclose(file);
  return block;
}

long OrbHost_WriteDataToFile(const char* path, const void* data, long count) {
  int32_t n = static_cast<int32_t>(count);
  if (path == nullptr) return 0;
  if (n < 0) return -1;
  int result = orb::ReplaceWholeFile(path, data, static_cast<std::size_t>(n));
  return result > 0 ? n : result;
}

intptr_t OrbHost_WaitForWndNotSame(unsigned long timeout, intptr_t current) {
  // The time-out is a 32-bit number of milliseconds; 0 means no limit.
  DWORD limit = static_cast<DWORD>(timeout);
  if (limit == 0) limit = 0xFFFFFFFFu;
  DWORD start = GetTickCount();
  while (static_cast<DWORD>(GetTickCount() - start) < limit) {
    intptr_t value = OrbToolCall(orb::kToolPoll, kPollState, {32});
    if (static_cast<uint32_t>(value) != static_cast<uint32_t>(current)) return value;
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return 0;
}

int OrbObj_IsBtnChecked(intptr_t object) {
  if (object == 0) return 0;
  intptr_t answer = OrbToolCall(orb::kToolButton, kButtonRecord, {0, 0, object, 0});
  if (answer == 0) return 0;
  unsigned char* record = reinterpret_cast<unsigned char*>(answer);
  const unsigned char* state;
  std::memcpy(&state, record, sizeof state);
  int checked = state != nullptr && *state != 0 ? 1 : 0;
  OrbToolCall(orb::kToolButton, kButtonDone);
  const uint32_t zero = 0;
  std::memcpy(record + 32, &zero, sizeof zero);
  return checked;
}
