// Walking the client's object tree and selection, against an in-memory
// client that answers tool 24 and logs every call as "selector args;".
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/toolcall.h"
#include "hostkit/hostkit.h"
#include "orbcmn/orbhost.h"
#include "support/alloclog.h"

namespace {

std::vector<intptr_t> g_visited;

// Callback: logs the object; stops where the data names it.
int Visit(intptr_t object, intptr_t data) {
  g_visited.push_back(object);
  return object == data ? 1 : 0;
}

struct Node {
  int type;  // types 1 and 2 can hold objects
  std::string name;
  intptr_t parent;
  std::vector<intptr_t> children;  // 0 entries stand for missing children
};

// The client: a small form tree; Page has the selection 4, none, 8, 5 and
// the selected object 5.
//   1 Root (1)
//     2 Page (2): 4 Button (3), 5 Edit (4), 6 Edit1 (4)
//     3 Page2 (2): 8 Check (3), a missing child
//     7 Third (5)
class FakeTree : public testing::Test {
 protected:
  void SetUp() override {
    nodes_ = {
        {1, {1, "Root", 0, {2, 3, 7}}}, {2, {2, "Page", 1, {4, 5, 6}}},
        {3, {2, "Page2", 1, {8, 0}}},   {4, {3, "Button", 2, {}}},
        {5, {4, "Edit", 2, {}}},        {6, {4, "Edit1", 2, {}}},
        {7, {5, "Third", 1, {}}},       {8, {3, "Check", 3, {}}},
    };
    g_visited.clear();
    HostKit_SetToolHandler(Handler, this);
  }
  void TearDown() override {
    HostKit_SetToolHandler(nullptr, nullptr);
    EXPECT_EQ(0, liveLists_) << "selection lists released";
  }

  // Selection lists are 1000 + the object; type codes carry noise above their 16 bits.
  static intptr_t Handler(void* user, int tool, int sel, void*, int argc, const intptr_t* a) {
    FakeTree* t = static_cast<FakeTree*>(user);
    bool pointer = sel == 7 || sel == 29;  // a name or a buffer
    t->log_ += (tool == 24 ? "" : std::to_string(tool) + "/") + std::to_string(sel);
    for (int i = 0; i < argc && !(pointer && i == 1); i++) t->log_ += " " + std::to_string(a[i]);
    t->log_ += ";";
    if (tool == 13) return t->serviceUp_;
    if (sel == 7 && a[0] == 0 && a[1] == 0) return t->root_;
    Node& n = t->nodes_[a[0] >= 1000 ? a[0] - 1000 : a[0]];
    if (sel == 7) {
      for (intptr_t c : n.children) {
        if (c != 0 && t->nodes_[c].name == reinterpret_cast<const char*>(a[1])) return c;
      }
    }
    if (sel == 14) return static_cast<intptr_t>(n.children.size());
    if (sel == 18) return n.children.at(static_cast<size_t>(a[1]));
    if (sel == 6) return 0x70000 | n.type;
    if (sel == 17) return n.parent;
    if (sel == 31) return n.type <= 2 ? 1 : 0;
    if (sel == 4 || sel == 30) return 77;
    if (sel == 5) return a[0] == 2 ? 5 : 0;
    if (sel == 29) std::strcpy(reinterpret_cast<char*>(a[1]), n.name.c_str());
    if (sel == 40 || sel == 43) t->liveLists_ += sel == 40 ? 1 : -1;
    if (sel == 40) return 1000 + a[0];
    const intptr_t selection[] = {4, 0, 8, 5};
    if (sel == 41) return a[0] == 1002 ? 4 : 0;
    if (sel == 42) return selection[a[1]];
    return 0;
  }

  // The calls logged since the last Take.
  std::string Take() { return std::exchange(log_, std::string()); }
  std::map<intptr_t, Node> nodes_;
  std::string log_;
  intptr_t root_ = 1, serviceUp_ = 1;
  int liveLists_ = 0;
};

using V = std::vector<intptr_t>;

TEST_F(FakeTree, WalksStopOrSkipAtTheSecondChild) {
  EXPECT_EQ(1, OrbMUI_WalkTree(0, Visit, 0));
  EXPECT_EQ(1, OrbMUI_WalkTreeBackwards(0, Visit, 0));
  EXPECT_EQ("", log_);
  EXPECT_EQ(1, OrbMUI_WalkTree(1, Visit, 3));
  EXPECT_EQ(0, OrbMUI_WalkTreeBackwards(1, Visit, 3)) << "only Page2's children are skipped";
  EXPECT_EQ(1, OrbMUI_WalkTreeBackwards(1, Visit, 1));
  EXPECT_EQ(0, OrbMUI_WalkTree(1, Visit, -1)) << "passes over the missing child";
  EXPECT_EQ((V{1, 2, 4, 5, 6, 3, /**/ 1, 7, 3, 2, 6, 5, 4, /**/ 1, /**/ 1, 2, 4, 5, 6, 3, 8, 7}),
            g_visited);
}

TEST_F(FakeTree, WalksAndCountsByTypeAndSelection) {
  EXPECT_EQ(0, OrbMUI_WalkType(0, 4, Visit, 0));
  EXPECT_EQ(1, OrbMUI_WalkType(1, 4, Visit, 5)) << "the callback's result is ignored";
  EXPECT_EQ((V{5, 6}), g_visited);

  int counter = 0;
  EXPECT_EQ(2, OrbMUI_CountType(1, 3, &counter));
  EXPECT_EQ(4, OrbMUI_CountType(1, 0x50002, &counter)) << "16-bit type; the counter adds up";
  EXPECT_EQ(0, OrbMUI_CountType(1, 3, nullptr));
  log_.clear();
  EXPECT_EQ(4, OrbMUI_CountType(0, 3, &counter)) << "no object: nothing asked";
  OrbMUI_CountType(2, 9, &counter);
  EXPECT_EQ("6 2;14 2;18 2 2;6 6;14 6;18 2 1;6 5;14 5;18 2 0;6 4;14 4;", Take())
      << "children from the last down";

  // Selection walks release their list, an empty one too.
  g_visited.clear();
  EXPECT_EQ(1, OrbMUI_WalkSelectedType(2, 3, Visit, 0));
  EXPECT_EQ((V{4, 8}), g_visited);
  EXPECT_EQ("39 2;40 2;41 1002;42 1002 0;6 4;42 1002 1;42 1002 2;6 8;42 1002 3;6 5;43 1002;",
            Take());
  EXPECT_EQ(0, OrbMUI_WalkSelectedType(4, 3, Visit, 0));
  EXPECT_EQ("39 4;40 4;41 1004;43 1004;", Take());
  EXPECT_EQ(2, OrbMUI_CountSelectedType(2, 3));
  EXPECT_EQ("40 2;", Take().substr(0, 5)) << "no preparing call when counting";
}

TEST_F(FakeTree, SinkSelectionAddAndInitialized) {
  EXPECT_EQ(2, OrbHost_GetSink(2));
  EXPECT_EQ(2, OrbHost_GetSink(4));
  Take();
  EXPECT_EQ(99, OrbHost_GetSelection(0, 99));
  EXPECT_EQ("", Take());
  EXPECT_EQ(5, OrbHost_GetSelection(2, 99));
  EXPECT_EQ(99, OrbHost_GetSelection(4, 99));
  Take();
  EXPECT_EQ(77, OrbHostMui_AddObject(2, 50));
  EXPECT_EQ(77, OrbHostMui_AddObject(4, 51));
  EXPECT_EQ("31 2;4 2 50;31 4;30 4 51;", Take());

  EXPECT_EQ(1, OrbMUI_Initialized());
  root_ = 0;
  EXPECT_EQ(0, OrbMUI_Initialized());
  serviceUp_ = 0;
  Take();
  EXPECT_EQ(0, OrbMUI_Initialized());
  EXPECT_EQ("13/14;", Take()) << "no root asked for when the service is down";
}

TEST_F(FakeTree, FullPathsAndUniqueNames) {
  AllocLog log;
  char* path = OrbMUI_GetFullPath(4, nullptr);
  EXPECT_STREQ("Page\\Button", path);
  EXPECT_EQ("106 orbmui 7, 106 orbmui 12, 108 06109B 0", log.Take());
  // An existing path gets the names in front; the root leaves it as it is.
  char* longer = OrbMUI_GetFullPath(8, path);
  EXPECT_STREQ("Page2\\Check\\Page\\Button", longer);
  EXPECT_EQ(longer, OrbMUI_GetFullPath(1, longer));
  EXPECT_EQ(nullptr, OrbMUI_GetFullPath(1, nullptr));
  HostKit_Free("test", longer);
  // An object outside the tree (no parent) ends the walk instead of looping.
  nodes_[9] = Node{3, "Loose", 0, {}};
  char* loose = OrbMUI_GetFullPath(9, nullptr);
  EXPECT_STREQ("Loose", loose);
  HostKit_Free("test", loose);

  // Unique names among the siblings under an object.
  char out[32];
  EXPECT_EQ(out, OrbMUI_GetUniqueName(2, "Edit", out));
  EXPECT_STREQ("Edit2", out);
  EXPECT_STREQ("Button1", OrbMUI_GetUniqueName(2, "Button", out));
  EXPECT_STREQ("Edit", OrbMUI_GetUniqueName(3, "Edit", out));
}

}  // namespace
