// Strings of any length in profile files, kept as a length key and a value
// key, since a profile read cannot tell how long a stored value is.
#include <stdint.h>

#include <cstdio>
#include <cstring>

#include "hostkit/hostkit.h"
#include "orbcmn/util.h"
#include "platform/win32.h"

int GetPrivateProfileLongString(const char* file, const char* section, const char* lengthKey,
                                const char* valueKey, char** block) {
  if (block == nullptr) return 0;
  *block = nullptr;
  uint32_t length = GetPrivateProfileIntA(section, lengthKey, 0, file);
  // A negative number in the file asks for more than a 32-bit process can
  // allocate: it fails as such an allocation would.
  if (length == 0 || length > 0x7FFFFFFFu) return 0;
  char* text = static_cast<char*>(HostKit_Alloc("ORB003", length + 1u, 0));
  if (text == nullptr) return 0;
  *block = text;
  return static_cast<int>(GetPrivateProfileStringA(section, valueKey, "", text, length + 1u, file));
}

int WritePrivateProfileLongString(const char* file, const char* section, const char* lengthKey,
                                  const char* valueKey, const char* text) {
  if (text == nullptr) text = "";
  char length[16];
  std::snprintf(length, sizeof length, "%d", static_cast<int32_t>(std::strlen(text)));
  // The old length goes back when the value cannot be written, so that the
  // two keys change together. A profile value never holds a control
  // character, so "\x01" stands for a missing key.
  char old[64];
  GetPrivateProfileStringA(section, lengthKey, "\x01", old, sizeof old, file);
  if (!WritePrivateProfileStringA(section, lengthKey, length, file)) return 0;
  if (WritePrivateProfileStringA(section, valueKey, text, file)) return 1;
  WritePrivateProfileStringA(section, lengthKey, std::strcmp(old, "\x01") == 0 ? nullptr : old,
                             file);
  return 0;
}
