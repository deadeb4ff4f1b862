// Reading a dialog field without its surrounding spaces.
#include "orbcmn/util.h"
#include "orbcmn/utilversion.h"
#include "platform/win32.h"

char* UtilGetAndTrimField(HWND dialog, unsigned short id, char* buffer, unsigned short size) {
  if (buffer == nullptr || size == 0) return buffer;
  GetDlgItemTextA(dialog, id, buffer, size);
  lstrltrim(buffer);
  lstrrtrim(buffer);
  return buffer;
}
