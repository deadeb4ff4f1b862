// ZString and its ZBuffer base against a model: random sequences of edits
// and searches run on a ZString and on a std::string that follows the
// rules of each operation directly. Sequences mix front removal (which
// leaves bytes before the data), growth, self-insertion and Lock/Release,
// so the head offset, compaction and resizing meet every operation.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "orbcmn/orbcmn.h"

namespace {

std::string Str(const ZBuffer& b) {
  return b.GetLength() == 0 ? std::string() : std::string(b, b.GetLength());
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool InSet(char c, const std::string& set) {
  for (char s : set) {
    if (Upper(s) == Upper(c)) return true;
  }
  return false;
}

unsigned FindChar(const std::string& m, int inc, const std::string& set, int dir, unsigned start) {
  if (start == 0 || start > m.size() || (dir != 0 && dir != 1)) return 0;
  const bool wanted = inc == 0;
  if (dir == 0) {
    for (unsigned i = start; i <= m.size(); ++i) {
      if (InSet(m[i - 1], set) == wanted) return i;
    }
    return 0;
  }
  for (unsigned i = start; i > 0; --i) {
    if (InSet(m[i - 1], set) == wanted) return i;
  }
  return 0;
}

void Strip(std::string& m, int type, const std::string& set) {
  if (type != 0) {
    unsigned p = FindChar(m, 1, set, 0, 1);
    m = p == 0 ? std::string() : m.substr(p - 1);
  }
  if (type != 1) m.resize(FindChar(m, 1, set, 1, static_cast<unsigned>(m.size())));
  if (type == 3) {
    for (unsigned p; (p = FindChar(m, 0, set, 0, 1)) != 0;) m.erase(p - 1, 1);
  }
}

unsigned FindSubstring(const std::string& m, const std::string& sub, int dir, unsigned start,
                       bool caseSensitive) {
  if (start == 0) return 0;
  const size_t n = sub.size();
  auto equal = [&](size_t at) {
    for (size_t k = 0; k < n; ++k) {
      char x = caseSensitive ? m[at + k] : Lower(m[at + k]);
      char y = caseSensitive ? sub[k] : Lower(sub[k]);
      if (x != y) return false;
    }
    return true;
  };
  size_t i = start - 1;
  if (dir == 0) {
    for (; i + n <= m.size(); ++i) {
      if (equal(i)) return static_cast<unsigned>(i + 1);
    }
    return 0;
  }
  if (dir != 1 || i + n > m.size()) return 0;
  for (;; --i) {
    if (equal(i)) return static_cast<unsigned>(i + 1);
    if (i == 0) return 0;
  }
}

// Removes count characters at 1-based pos as ZBuffer::Remove does.
void Remove(std::string& m, unsigned pos, unsigned count) {
  if (pos == 0 || pos > m.size()) return;
  if (count == 0 || pos + count - 1 > m.size()) count = static_cast<unsigned>(m.size()) - pos + 1;
  m.erase(pos - 1, count);
}

void Insert(std::string& m, const std::string& s, unsigned pos) {
  m.insert(pos > m.size() ? m.size() : (pos == 0 ? 0 : pos - 1), s);
}

TEST(ReviewString, RandomEditsAndSearchesFollowTheModel) {
  const std::string alphabet = "aAbB \r\n-x";
  std::mt19937 random(1234567);
  auto text = [&](size_t maxLength) {
    std::string s(random() % (maxLength + 1), ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 1500; ++round) {
    ZString z;
    std::string m;
    for (int step = 0; step < 40; ++step) {
      const std::string a = text(5);
      const unsigned pos = static_cast<unsigned>(random() % (m.size() + 3));
      const unsigned count = random() % 5;
      const int choice = random() % 3;
      const int op = random() % 15;
      SCOPED_TRACE("operation " + std::to_string(op) + " at " + std::to_string(pos) + " count " +
                   std::to_string(count) + " with '" + a + "' on '" + m + "'");
      switch (op) {
        case 0:
          z += a.c_str();
          m += a;
          break;
        case 1:
          --z;
          if (!m.empty()) m.erase(0, 1);
          break;
        case 2:
          z--;
          if (!m.empty()) m.pop_back();
          break;
        case 3:
          z.Remove(pos, count);
          Remove(m, pos, count);
          break;
        case 4:
          z.Insert(ZString(a.c_str()), pos);
          Insert(m, a, pos);
          break;
        case 5:
          z.Replace(pos, count, ZString(a.c_str()));
          Remove(m, pos, count);
          Insert(m, a, pos);
          break;
        case 6: {
          const int type = random() % 5;  // 4 acts as eBoth
          z.Strip(static_cast<ZString::EStripType>(type), ZString(a.c_str()));
          Strip(m, type, a);
          break;
        }
        case 7: {
          ZString line = z.ExtractLine();
          std::string expected = m.substr(0, m.find_first_of("\r\n"));
          m.erase(0, expected.size());
          Strip(m, 2, "\r\n");
          ASSERT_EQ(expected, Str(line));
          break;
        }
        case 8: {
          const int dir = random() % 3;
          ASSERT_EQ(FindChar(m, choice, a, dir, pos),
                    z.FindChar(static_cast<ZString::EInclusive>(choice), ZString(a.c_str()),
                               static_cast<ZString::EDirection>(dir), pos));
          break;
        }
        case 9: {
          const bool caseSensitive = choice != 0;
          ASSERT_EQ(FindSubstring(m, a, choice, pos, caseSensitive),
                    z.FindSubstring(ZString(a.c_str()), static_cast<ZString::EDirection>(choice),
                                    pos, caseSensitive));
          break;
        }
        case 10:
          z += z;
          m += m;
          break;
        case 11:
          z.Insert(z, pos);
          Insert(m, std::string(m), pos);
          break;
        case 12: {
          const char c = alphabet[random() % alphabet.size()];
          size_t at = pos >= 1 && pos <= m.size() ? m.find(c, pos - 1) : std::string::npos;
          ASSERT_EQ(at == std::string::npos ? 0u : at + 1, z.Find(c, pos));
          break;
        }
        case 13: {
          char* block = z.Lock(pos + 20);
          ASSERT_NE(nullptr, block);
          std::memcpy(block, m.data(), m.size());
          block[m.size()] = 0;
          z.Release(0);
          break;
        }
        default:
          z = a.c_str();
          m = a;
          break;
      }
      ASSERT_EQ(m, Str(z));
      if (z.GetLength() > 0) {
        ASSERT_EQ(0, static_cast<const char*>(z)[z.GetLength()]);  // still terminated
      }
    }
  }
}

}  // namespace
