// Helpers of the fuzz programs: ZBuffer, ZString and ZListString as standard
// strings, for comparing results.
#ifndef ORB_FUZZ_TEXT_UTIL_H_
#define ORB_FUZZ_TEXT_UTIL_H_

#include <string>
#include <vector>

#include "orbcmn/zlist.h"
#include "orbcmn/zstring.h"

inline std::string Str(const ZBuffer& s) {
  const char* p = s;
  return p == nullptr ? std::string() : std::string(p, s.GetLength());
}

inline std::vector<std::string> Strings(const ZListString& list) {
  std::vector<std::string> out;
  for (ZListString::ZIterator it = list.begin(); it != list.end(); ++it) out.push_back(Str(*it));
  return out;
}

inline ZString Z(const std::string& s) {
  return ZString(s.data(), static_cast<unsigned int>(s.size()));
}

#endif  // ORB_FUZZ_TEXT_UTIL_H_
