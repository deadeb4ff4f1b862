// Reading a dialog field without its surrounding spaces.
#include "orbcmn/util.h"
#include "orbcmn/utilversion.h"
#include "platform/win32.h"

char* UtilGetAndTrimField(HWND dialog, unsigned short id, char* buffer, unsigned short size) {
  // A size of 0 reads nothing; what the buffer holds is trimmed all the same.
  // Windows' control would write through a null buffer: none is passed on.
  if (buffer == nullptr) return nullptr;
  GetDlgItemTextA(dialog, id, buffer, size);
  lstrltrim(buffer);
  lstrrtrim(buffer);
  return buffer;
}
