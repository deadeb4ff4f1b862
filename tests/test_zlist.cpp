// The linked lists: operations at both ends and in the middle, iterators
// both ways round the ring, ranges, assignment that reuses nodes, ownership.
#include <gtest/gtest.h>

#include <string>

#include "orbcmn/zlist.h"
#include "support/alloclog.h"
#include "support/text.h"

namespace {

// Distinct stand-in addresses; a pointer list never looks behind them.
char cells[16];
ZSyntax* P(int i) { return reinterpret_cast<ZSyntax*>(&cells[i]); }

std::string Text(ZSyntax* p) { return std::to_string(reinterpret_cast<char*>(p) - cells); }

// The elements front to back, separated by blanks, checked against a walk
// back to front and against the count.
template <class List>
std::string Items(const List& list) {
  std::string forward, backward;
  int n = 0;
  for (typename List::ZIterator it = list.begin(); it != list.end(); ++it) {
    forward += (n++ == 0 ? "" : " ") + Text(*it);
  }
  for (typename List::ZIterator it = list.rbegin(); it != list.end(); it--) {
    backward = Text(*it) + (backward.empty() ? "" : " ") + backward;
  }
  EXPECT_EQ(forward, backward);
  EXPECT_EQ(n, list.size());
  return forward;
}

ZListSyntaxP Make(std::initializer_list<int> items) {
  ZListSyntaxP list;
  for (int i : items) list.push_back(P(i));
  return list;
}

TEST(ZListP, BothEndsMiddleAndTheRing) {
  ZListSyntaxP list;
  EXPECT_TRUE(Items(list).empty() && list.find(P(1)) == list.end());

  list = Make({1, 2, 3});
  list.push_front(P(5));
  ZListSyntaxP::ZIterator y = list.insert(list.begin(), P(6));
  ZListSyntaxP::ZIterator mid = list.insert(list.find(P(2)), P(7));
  EXPECT_TRUE(y == list.begin() && *mid == P(7));
  list.insert(list.end(), P(1));
  EXPECT_EQ("6 5 1 7 2 3 1", Items(list));
  EXPECT_TRUE(list.find(P(1)) == ++ ++list.begin());  // the first of equal pointers

  // Iterators at other nodes survive insertions and erasures.
  ZListSyntaxP::ZIterator two = list.find(P(2));
  list.pop_front();
  list.pop_back();
  list.erase(mid);
  list.erase(list.begin());
  list.erase(list.rbegin());
  EXPECT_TRUE(Items(list) == "1 2" && two == list.rbegin());

  // A postfix step gives the old position; past the end the ring goes on.
  ZListSyntaxP::ZIterator it = list.rbegin();
  EXPECT_TRUE(it++ == two && it == list.end());
  EXPECT_TRUE(*++it == P(1) && --it == list.end());

  // A range of the same list around the insertion point is copied as it was.
  list.insert(list.find(P(2)), list.begin(), list.end());
  EXPECT_EQ("1 1 2 2", Items(list));
}

// Assignment walks both lists and reuses the nodes that are there.
TEST(ZListP, AssignmentReusesNodes) {
  ZListSyntaxP target = Make({9, 9, 9, 9, 9}), two = Make({6, 7}), five = Make({5, 4, 3, 2, 1});
  const ZListSyntaxP::ZIterator firstNode = target.begin();
  AllocLog log;
  target = two;
  target = five;
  std::string made;  // + a node made, - one released
  for (const std::string& call : log.calls) made += call[2] == '6' ? '+' : '-';
  EXPECT_EQ(made, "---+++");
  EXPECT_TRUE(Items(target) == "5 4 3 2 1" && firstNode == target.begin());
}

// The list holds its own copies and finds by exact value; the test main's
// leak check sees every node, sentinel and string block go back.
TEST(ZListString, CopiesRangesAndAssignmentReusingNodes) {
  ZListString five, two;
  EXPECT_TRUE(two.find("") == two.end());
  for (const char* s : {"one", "two", "three", "four", "five"}) five.push_back(s);
  ZString source("x");
  two.push_back(source);
  two.push_back("y");
  source = "X";
  ZListString list(two);
  *list.find("y") = "yes";
  EXPECT_TRUE(list.find("X") == list.end());                   // case-sensitive
  list.insert(++list.begin(), ++five.begin(), five.rbegin());  // x two three four yes
  list.insert(list.find("three"), list.begin(), list.end());
  list.erase(list.find("three"), list.rbegin());
  list.push_front("");
  EXPECT_TRUE(list.find("two") == ++ ++list.begin() && list.find("") == list.begin());
  EXPECT_TRUE(*list.insert(list.rbegin(), "z") == "z");
  list.pop_front();
  list.erase(++list.begin());
  EXPECT_EQ("x x two z yes", Items(list));

  ZListString::ZIterator firstNode = list.begin();
  list = two;
  EXPECT_EQ("x y", Items(list));
  list = five;
  EXPECT_EQ("one two three four five", Items(list));
  EXPECT_TRUE(firstNode == list.begin());
  EXPECT_EQ("x y", Items(two));
}

}  // namespace
