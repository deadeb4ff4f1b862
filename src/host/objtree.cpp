// The client's object tree through tool 24: walks, counts, the selection,
// adding objects, paths and unique names.
#include <cstring>

#include "host/toolcall.h"
#include "host/tools.h"
#include "hostkit/hostkit.h"
#include "orbcmn/orbhost.h"
#include "orbcmn/util.h"

namespace {

enum Selector {
  kAdd = 4,
  kSelected = 5,
  kType = 6,
  kChildByName = 7,
  kChildCount = 14,
  kParent = 17,
  kChild = 18,
  kName = 29,
  kAddBeside = 30,
  kCanHold = 31,
  kPrepareSelection = 39,
  kSelection = 40,
  kSelectionCount = 41,
  kSelectionEntry = 42,
  kReleaseSelection = 43,
};

// Tool 13.
const int kTreeServiceUp = 14;

const int kNameSize = 104;

intptr_t Tree(int selector, std::initializer_list<intptr_t> args) {
  return OrbToolCall(orb::kToolTree, selector, args);
}

// A walk's callback; a null callback visits without stopping.
int Visit(OrbMuiCallback callback, intptr_t object, intptr_t data) {
  return callback != nullptr ? callback(object, data) : 0;
}

bool Same(intptr_t a, intptr_t b) { return static_cast<uint32_t>(a) == static_cast<uint32_t>(b); }

bool HasType(intptr_t object, int type) {
  return static_cast<uint16_t>(Tree(kType, {object})) == static_cast<uint16_t>(type);
}

int ChildCount(intptr_t object) { return static_cast<uint16_t>(Tree(kChildCount, {object})); }

intptr_t Child(intptr_t object, int index) { return Tree(kChild, {object, index}); }

intptr_t Root() { return Tree(kChildByName, {0, 0}); }

// Selection entries of `object` with type `type`, each passed to the
// callback when there is one; returns how many matched.
int ScanSelection(intptr_t object, int type, OrbMuiCallback callback, intptr_t data) {
  intptr_t list = Tree(kSelection, {object});
  int32_t count = static_cast<int32_t>(Tree(kSelectionCount, {list}));
  int matched = 0;
  for (int32_t i = 0; i < count; i++) {
    intptr_t entry = Tree(kSelectionEntry, {list, i});
    if (entry == 0 || !HasType(entry, type)) continue;
    Visit(callback, entry, data);
    matched++;
  }
  Tree(kReleaseSelection, {list});
  return matched;
}

// Puts the name of `object` in front of `path` ("name\path"); on
// allocation failure the path stays as it was.
char* PrefixName(intptr_t object, char* path) {
  char name[kNameSize] = {};
  Tree(kName, {object, reinterpret_cast<intptr_t>(name)});
  name[kNameSize - 1] = '\0';
  size_t nameLength = std::strlen(name);
  if (path == nullptr) {
    char* block = static_cast<char*>(HostKit_Alloc("orbmui", nameLength + 1, 0));
    if (block != nullptr) std::memcpy(block, name, nameLength + 1);
    return block;
  }
  size_t pathLength = std::strlen(path);
  char* block = static_cast<char*>(HostKit_Alloc("orbmui", nameLength + pathLength + 2, 0));
  if (block == nullptr) return path;
  std::memcpy(block, name, nameLength);
  block[nameLength] = '\\';
  std::memcpy(block + nameLength + 1, path, pathLength + 1);
  HostKit_Free("06109B", path);
  return block;
}

}  // namespace

int OrbMUI_Initialized(void) {
  if (OrbToolCall(orb::kToolTreeService, kTreeServiceUp) == 0) return 0;
  return Root() != 0 ? 1 : 0;
}

int OrbMUI_WalkTree(intptr_t object, OrbMuiCallback callback, intptr_t data) {
  if (object == 0) return 1;
  if (Visit(callback, object, data) != 0) return 1;
  int count = ChildCount(object);
  for (int i = 0; i < count; i++) {
    intptr_t child = Child(object, i);
    if (child != 0 && OrbMUI_WalkTree(child, callback, data) != 0) return 1;
  }
  return 0;
}

int OrbMUI_WalkTreeBackwards(intptr_t object, OrbMuiCallback callback, intptr_t data) {
  if (object == 0) return 1;
  if (Visit(callback, object, data) != 0) return 1;
  for (int i = ChildCount(object) - 1; i >= 0; i--) {
    intptr_t child = Child(object, i);
    if (child != 0) OrbMUI_WalkTreeBackwards(child, callback, data);
  }
  return 0;
}

int OrbMUI_WalkType(intptr_t object, int type, OrbMuiCallback callback, intptr_t data) {
  if (object == 0) return 0;
  if (HasType(object, type)) Visit(callback, object, data);
  int count = ChildCount(object);
  for (int i = 0; i < count; i++) {
    intptr_t child = Child(object, i);
    if (child != 0) OrbMUI_WalkType(child, type, callback, data);
  }
  return 1;
}

int OrbMUI_CountType(intptr_t object, int type, int* counter) {
  if (counter == nullptr) return 0;
  if (object == 0) return *counter;
  if (HasType(object, type)) ++*counter;
  for (int i = ChildCount(object) - 1; i >= 0; i--) {
    intptr_t child = Child(object, i);
    if (child != 0) OrbMUI_CountType(child, type, counter);
  }
  return *counter;
}

int OrbMUI_WalkSelectedType(intptr_t object, int type, OrbMuiCallback callback, intptr_t data) {
  Tree(kPrepareSelection, {object});
  return ScanSelection(object, type, callback, data) != 0 ? 1 : 0;
}

int OrbMUI_CountSelectedType(intptr_t object, int type) {
  return ScanSelection(object, type, nullptr, 0);
}

intptr_t OrbHost_GetSink(intptr_t object) {
  if (Tree(kCanHold, {object}) != 0) return object;
  return Tree(kParent, {object});
}

intptr_t OrbHost_GetSelection(intptr_t object, intptr_t fallback) {
  if (object == 0) return fallback;
  intptr_t selected = Tree(kSelected, {object});
  return selected != 0 ? selected : fallback;
}

intptr_t OrbHostMui_AddObject(intptr_t target, intptr_t newObject) {
  if (Tree(kCanHold, {target}) != 0) return Tree(kAdd, {target, newObject});
  return Tree(kAddBeside, {target, newObject});
}

char* OrbMUI_GetFullPath(intptr_t object, char* path) {
  if (Same(object, Root())) return path;
  do {
    path = PrefixName(object, path);
    object = Tree(kParent, {object});
  } while (object != 0 && !Same(object, Root()));
  return path;
}

char* OrbMUI_GetUniqueName(intptr_t parent, const char* base, char* out) {
  if (base == nullptr || out == nullptr) return out;
  bool taken = Tree(kChildByName, {parent, reinterpret_cast<intptr_t>(base)}) != 0;
  if (out != base) std::memmove(out, base, std::strlen(base) + 1);
  if (!taken) return out;
  size_t length = std::strlen(out);
  uint16_t n = 1;
  for (;;) {
    std::strcpy(out + length, fltoa(n));
    if (Tree(kChildByName, {parent, reinterpret_cast<intptr_t>(out)}) == 0 || n == 0) break;
    n++;
  }
  return out;
}
