// Walking the client's object tree and selection, against an in-memory
// client that answers tool 24 and records every call.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "hostkit/hostkit.h"
#include "orbcmn/orbhost.h"

namespace {

struct Node {
  int type;
  std::string name;
  intptr_t parent;
  bool canHold;
  std::vector<intptr_t> children;  // 0 entries stand for missing children
  std::vector<intptr_t> selection;
  intptr_t selected;
};

struct Call {
  int tool;
  int selector;
  std::vector<intptr_t> args;
};

// The client: a small form tree.
//   1 Root (1)
//     2 Page (2, holder): 4 Button (3), 5 Edit (4), 6 Edit1 (4)
//     3 Page2 (2, holder): 8 Check (3), a missing child
//     7 Third (5)
class FakeTree : public testing::Test {
 protected:
  void SetUp() override {
    nodes_ = {
        {1, {1, "Root", 0, true, {2, 3, 7}, {}, 0}},
        {2, {2, "Page", 1, true, {4, 5, 6}, {4, 0, 8, 5}, 5}},
        {3, {2, "Page2", 1, true, {8, 0}, {}, 0}},
        {4, {3, "Button", 2, false, {}, {}, 0}},
        {5, {4, "Edit", 2, false, {}, {}, 0}},
        {6, {4, "Edit1", 2, false, {}, {}, 0}},
        {7, {5, "Third", 1, false, {}, {}, 0}},
        {8, {3, "Check", 3, false, {}, {}, 0}},
    };
    self_ = this;
    HostKit_SetToolHandler(Handler, this);
  }
  void TearDown() override {
    HostKit_SetToolHandler(nullptr, nullptr);
    EXPECT_EQ(0, liveLists_) << "selection lists released";
  }

  static intptr_t Handler(void* user, int tool, int selector, void* context, int argc,
                          const intptr_t* argv) {
    FakeTree* t = static_cast<FakeTree*>(user);
    EXPECT_EQ(static_cast<void*>(HostKit_Context()), context);
    t->calls_.push_back({tool, selector, std::vector<intptr_t>(argv, argv + argc)});
    if (tool == 13 && selector == 14) return t->serviceUp_;
    if (tool != 24) return 0;
    auto node = [t](intptr_t id) -> Node* {
      auto it = t->nodes_.find(id);
      return it == t->nodes_.end() ? nullptr : &it->second;
    };
    switch (selector) {
      case 7: {
        if (argv[0] == 0 && argv[1] == 0) return t->root_;
        const char* name = reinterpret_cast<const char*>(argv[1]);
        for (intptr_t c : node(argv[0])->children) {
          if (c != 0 && node(c)->name == name) return c;
        }
        return 0;
      }
      case 14:
        return static_cast<intptr_t>(node(argv[0])->children.size());
      case 18:
        return node(argv[0])->children.at(static_cast<size_t>(argv[1]));
      case 6:  // the high bits are noise: types are 16-bit
        return 0x70000 | node(argv[0])->type;
      case 17:
        return node(argv[0])->parent;
      case 31:
        return node(argv[0])->canHold ? 1 : 0;
      case 4:
      case 30:
        return 77;
      case 5:
        return node(argv[0])->selected;
      case 29:
        std::strcpy(reinterpret_cast<char*>(argv[1]), node(argv[0])->name.c_str());
        return 0;
      case 40:
        t->liveLists_++;
        return 1000 + argv[0];
      case 41:
        return static_cast<intptr_t>(node(argv[0] - 1000)->selection.size());
      case 42:
        return node(argv[0] - 1000)->selection.at(static_cast<size_t>(argv[1]));
      case 43:
        t->liveLists_--;
        return 0;
      default:
        return 0;
    }
  }

  static int Record(intptr_t object, intptr_t data) {
    self_->visited_.push_back(object);
    return object == data ? 1 : 0;
  }

  std::vector<int> Selectors() const {
    std::vector<int> s;
    for (const Call& c : calls_) s.push_back(c.selector);
    return s;
  }

  static FakeTree* self_;
  std::map<intptr_t, Node> nodes_;
  std::vector<Call> calls_;
  std::vector<intptr_t> visited_;
  intptr_t root_ = 1;
  intptr_t serviceUp_ = 1;
  int liveLists_ = 0;
};

FakeTree* FakeTree::self_ = nullptr;

using V = std::vector<intptr_t>;

TEST_F(FakeTree, WalksStopOrSkipAtTheSecondChild) {
  EXPECT_EQ(1, OrbMUI_WalkTree(0, Record, 0));
  EXPECT_TRUE(visited_.empty());
  EXPECT_TRUE(calls_.empty());

  EXPECT_EQ(1, OrbMUI_WalkTree(1, Record, 3));
  EXPECT_EQ((V{1, 2, 4, 5, 6, 3}), visited_);

  visited_.clear();
  EXPECT_EQ(0, OrbMUI_WalkTreeBackwards(1, Record, 3));
  EXPECT_EQ((V{1, 7, 3, 2, 6, 5, 4}), visited_) << "only Page2's children are skipped";

  visited_.clear();
  EXPECT_EQ(1, OrbMUI_WalkTreeBackwards(1, Record, 1));
  EXPECT_EQ((V{1}), visited_);
  EXPECT_EQ(1, OrbMUI_WalkTreeBackwards(0, Record, 0));

  // A walk that never stops visits everything, passing over missing children.
  visited_.clear();
  EXPECT_EQ(0, OrbMUI_WalkTree(1, Record, -1));
  EXPECT_EQ((V{1, 2, 4, 5, 6, 3, 8, 7}), visited_);
}

TEST_F(FakeTree, WalksAndCountsByType) {
  EXPECT_EQ(0, OrbMUI_WalkType(0, 4, Record, 0));
  EXPECT_EQ(1, OrbMUI_WalkType(1, 4, Record, 5)) << "the callback's result is ignored";
  EXPECT_EQ((V{5, 6}), visited_);

  int counter = 0;
  EXPECT_EQ(2, OrbMUI_CountType(1, 3, &counter));
  EXPECT_EQ(2, counter);
  EXPECT_EQ(4, OrbMUI_CountType(1, 0x50002, &counter)) << "16-bit type; the counter adds up";
  EXPECT_EQ(4, OrbMUI_CountType(0, 3, &counter));
  EXPECT_EQ(0, OrbMUI_CountType(1, 3, nullptr));
  // Counting goes from the last child down.
  calls_.clear();
  counter = 0;
  OrbMUI_CountType(2, 9, &counter);
  std::vector<intptr_t> order;
  for (const Call& c : calls_) {
    if (c.selector == 18) order.push_back(c.args[1]);
  }
  EXPECT_EQ((V{2, 1, 0}), order);
}

TEST_F(FakeTree, SelectionWalksReleaseTheirList) {
  EXPECT_EQ(1, OrbMUI_WalkSelectedType(2, 3, Record, 0));
  EXPECT_EQ((V{4, 8}), visited_);
  EXPECT_EQ((std::vector<int>{39, 40, 41, 42, 6, 42, 42, 6, 42, 6, 43}), Selectors());
  EXPECT_EQ(2, calls_[0].args[0]);
  EXPECT_EQ(1002, calls_.back().args[0]);

  calls_.clear();
  EXPECT_EQ(1, OrbMUI_CountSelectedType(2, 4));
  EXPECT_EQ(40, calls_.front().selector) << "no preparing call when counting";
  EXPECT_EQ(2, OrbMUI_CountSelectedType(2, 3));
  EXPECT_EQ(0, OrbMUI_CountSelectedType(2, 9));

  // An empty selection is released too.
  calls_.clear();
  visited_.clear();
  EXPECT_EQ(0, OrbMUI_WalkSelectedType(4, 3, Record, 0));
  EXPECT_TRUE(visited_.empty());
  EXPECT_EQ((std::vector<int>{39, 40, 41, 43}), Selectors());
}

TEST_F(FakeTree, SinkSelectionAddAndInitialized) {
  EXPECT_EQ(2, OrbHost_GetSink(2));
  EXPECT_EQ(2, OrbHost_GetSink(4));
  calls_.clear();
  EXPECT_EQ(99, OrbHost_GetSelection(0, 99));
  EXPECT_TRUE(calls_.empty());
  EXPECT_EQ(5, OrbHost_GetSelection(2, 99));
  EXPECT_EQ(99, OrbHost_GetSelection(4, 99));

  calls_.clear();
  EXPECT_EQ(77, OrbHostMui_AddObject(2, 50));
  EXPECT_EQ(77, OrbHostMui_AddObject(4, 51));
  ASSERT_EQ(4u, calls_.size());
  EXPECT_EQ(4, calls_[1].selector);
  EXPECT_EQ((V{2, 50}), calls_[1].args);
  EXPECT_EQ(30, calls_[3].selector);
  EXPECT_EQ((V{4, 51}), calls_[3].args);

  EXPECT_EQ(1, OrbMUI_Initialized());
  root_ = 0;
  EXPECT_EQ(0, OrbMUI_Initialized());
  root_ = 1;
  serviceUp_ = 0;
  calls_.clear();
  EXPECT_EQ(0, OrbMUI_Initialized());
  EXPECT_EQ(1u, calls_.size()) << "no root asked for when the service is down";
}

struct Released {
  std::vector<std::string> tags;
};

TEST_F(FakeTree, FullPathFromTheTopWithoutTheRoot) {
  static Released released;
  released.tags.clear();
  HostKit_SetAllocObserver([](void*, int entry, const char* tag, void*,
                              unsigned) { released.tags.push_back(std::to_string(entry) + tag); },
                           nullptr);
  char* path = OrbMUI_GetFullPath(4, nullptr);
  ASSERT_NE(nullptr, path);
  EXPECT_STREQ("Page\\Button", path);
  EXPECT_EQ((std::vector<std::string>{"106orbmui", "106orbmui", "10806109B"}), released.tags);

  // An existing path gets the names in front; the root leaves it as it is.
  char* longer = OrbMUI_GetFullPath(8, path);
  EXPECT_STREQ("Page2\\Check\\Page\\Button", longer);
  EXPECT_EQ(longer, OrbMUI_GetFullPath(1, longer));
  EXPECT_EQ(nullptr, OrbMUI_GetFullPath(1, nullptr));
  HostKit_SetAllocObserver(nullptr, nullptr);
  HostKit_Free("test", longer);

  // An object outside the tree (no parent) ends the walk instead of looping.
  nodes_[9] = Node{3, "Loose", 0, false, {}, {}, 0};
  char* loose = OrbMUI_GetFullPath(9, nullptr);
  EXPECT_STREQ("Loose", loose);
  HostKit_Free("test", loose);
}

TEST_F(FakeTree, UniqueNamesAmongSiblings) {
  char out[32];
  EXPECT_EQ(out, OrbMUI_GetUniqueName(2, "Edit", out));
  EXPECT_STREQ("Edit2", out);
  EXPECT_STREQ("Label", OrbMUI_GetUniqueName(2, "Label", out));
  EXPECT_STREQ("Button1", OrbMUI_GetUniqueName(2, "Button", out));
  EXPECT_STREQ("Edit", OrbMUI_GetUniqueName(3, "Edit", out));
}

}  // namespace
