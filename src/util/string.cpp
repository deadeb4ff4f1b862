// Trimming, digit tests and number text on single-byte strings.
#include <stdint.h>

#include <cstdio>
#include <cstring>

#include "orbcmn/util.h"
#include "platform/win32.h"

namespace {
char g_number[16];  // the text fltoa returns, shared by all callers
}

int AllDigits(const char* text) {
  if (text == nullptr) return 1;
  for (const char* p = text; *p != '\0'; p = CharNextA(p)) {
    if (!IsCharAlphaNumericA(*p) || IsCharAlphaA(*p)) return 0;
  }
  return 1;
}

char* lstrrtrim(char* text) {
  if (text == nullptr) return text;
  uint16_t length = static_cast<uint16_t>(std::strlen(text));
  if (length == 0) return text;
  char* end = text + length;
  while (end > text) {
    char* previous = CharPrevA(text, end);
    if (*previous != ' ') break;
    end = previous;
  }
  *end = '\0';
  return text;
}

char* lstrltrim(char* text) {
  if (text == nullptr) return text;
  char* first = text;
  while (*first == ' ') first = CharNextA(first);
  if (first != text) std::memmove(text, first, std::strlen(first) + 1);
  return text;
}

char* lstrtrim(char* text) { return lstrrtrim(lstrltrim(text)); }

char* fltoa(long value) {
  std::snprintf(g_number, sizeof g_number, "%d", static_cast<int32_t>(value));
  return g_number;
}
