// The property shared by the table fuzz programs: a table loaded from
// hostile bytes (completely or in part) saves, and what it saves loads
// back completely and saves to the very same bytes.
#ifndef ORB_FUZZ_TABLE_H_
#define ORB_FUZZ_TABLE_H_

#include <memory>
#include <string>

#include "fuzz_stream.h"
#include "fuzz_support.h"
#include "orbcmn/zstreamer.h"

// Loads a table of class T from n bytes at p through the pointer form of
// Load; *loaded is its result. The caller owns the table (null when the
// stream held none).
template <class T>
T* FuzzLoadTable(const void* p, size_t n, bool* loaded) {
  FuzzReadFile file(p, n);
  ZStreamer s(&file, false);
  T* table = nullptr;
  *loaded = T::Load(s, table);
  return table;
}

// Saves table through the pointer form of Save; false when saving failed.
template <class T>
bool FuzzSaveTable(T* table, std::string* bytes) {
  FuzzWriteFile file;
  bool saved;
  {
    ZStreamer s(&file, true);
    saved = T::Save(s, table) && !s.Error();
  }
  *bytes = file.Bytes();
  return saved;
}

// use, when given, is run on the loaded table before it is saved.
template <class T>
void FuzzTableRoundTrip(const uint8_t* data, size_t size,
                        void (*use)(T* table, const uint8_t* data, size_t size) = nullptr) {
  FuzzLeakCheck leaks;
  bool loaded;
  T* table = FuzzLoadTable<T>(data, size, &loaded);
  if (table == nullptr) return;
  if (use != nullptr) use(table, data, size);

  std::string first;
  bool saved = FuzzSaveTable(table, &first);
  // Whatever loaded completely can be written back.
  if (loaded) FUZZ_CHECK(saved);
  delete table;
  if (!saved) return;

  T* again = FuzzLoadTable<T>(first.data(), first.size(), &loaded);
  FUZZ_CHECK(loaded && again != nullptr);
  std::string second;
  FUZZ_CHECK(FuzzSaveTable(again, &second));
  delete again;
  FUZZ_CHECK(second == first);
}

#endif  // ORB_FUZZ_TABLE_H_
