// The linked lists: operations at both ends and in the middle, iterators
// both ways, ranges, assignment that reuses nodes, and ownership.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "hostkit/hostkit.h"
#include "orbcmn/zlist.h"

namespace {

// Distinct stand-in addresses; a pointer list never looks behind them.
char cells[16];
ZSyntax* P(int i) { return reinterpret_cast<ZSyntax*>(&cells[i]); }

template <class List>
std::vector<typename List::ZIterator> Positions(const List& list) {
  std::vector<typename List::ZIterator> positions;
  for (typename List::ZIterator it = list.begin(); it != list.end(); ++it) positions.push_back(it);
  return positions;
}

// The elements front to back, checked against a walk back to front.
std::vector<ZSyntax*> Items(const ZListSyntaxP& list) {
  std::vector<ZSyntax*> forward;
  for (ZListSyntaxP::ZIterator it = list.begin(); it != list.end(); ++it) forward.push_back(*it);
  std::vector<ZSyntax*> backward;
  for (ZListSyntaxP::ZIterator it = list.rbegin(); it != list.end(); --it) backward.push_back(*it);
  EXPECT_EQ(std::vector<ZSyntax*>(forward.rbegin(), forward.rend()), backward);
  EXPECT_EQ(static_cast<int>(forward.size()), list.size());
  return forward;
}

ZListSyntaxP Make(std::initializer_list<int> items) {
  ZListSyntaxP list;
  for (int i : items) list.push_back(P(i));
  return list;
}

std::vector<ZSyntax*> Of(std::initializer_list<int> items) {
  std::vector<ZSyntax*> out;
  for (int i : items) out.push_back(P(i));
  return out;
}

struct AllocCount {
  int allocs = 0;
  int frees = 0;
};

void CountAlloc(void* user, int entry, const char*, void*, unsigned) {
  AllocCount* count = static_cast<AllocCount*>(user);
  if (entry == 106) count->allocs++;
  if (entry == 108) count->frees++;
}

}  // namespace

TEST(ZListP, EmptyList) {
  const long base = HostKit_LiveBlocks("newop");
  ZListSyntaxP list;
  EXPECT_EQ(base + 1, HostKit_LiveBlocks("newop"));  // the sentinel
  EXPECT_EQ(0, list.size());
  EXPECT_TRUE(list.begin() == list.end());
  EXPECT_TRUE(list.rbegin() == list.end());
  EXPECT_TRUE(list.find(P(1)) == list.end());
  // Out of contract, but harmless: nothing to remove.
  list.pop_back();
  list.pop_front();
  list.erase(list.end());
  list.erase(list.begin(), list.end());
  EXPECT_EQ(0, list.size());
  EXPECT_TRUE(list.begin() == list.end());
}

TEST(ZListP, BothEndsAndMiddle) {
  ZListSyntaxP list = Make({1, 2, 3});
  EXPECT_EQ(P(1), *list.begin());
  EXPECT_EQ(P(3), *list.rbegin());
  EXPECT_EQ(P(2), *list.find(P(2)));
  EXPECT_TRUE(list.find(P(4)) == list.end());

  list.push_front(P(5));
  EXPECT_EQ(Of({5, 1, 2, 3}), Items(list));

  ZListSyntaxP::ZIterator y = list.insert(list.begin(), P(6));
  EXPECT_TRUE(y == list.begin());
  EXPECT_EQ(P(6), *y);
  ZListSyntaxP::ZIterator mid = list.insert(list.find(P(2)), P(7));
  EXPECT_EQ(P(7), *mid);
  list.insert(list.end(), P(8));
  EXPECT_EQ(Of({6, 5, 1, 7, 2, 3, 8}), Items(list));

  // find gives the first of equal pointers.
  list.push_back(P(1));
  EXPECT_TRUE(list.find(P(1)) == ++ ++list.begin());

  list.pop_front();
  list.pop_back();
  list.erase(mid);
  EXPECT_EQ(Of({5, 1, 2, 3, 8}), Items(list));
  list.erase(list.begin());
  list.erase(list.rbegin());
  EXPECT_EQ(Of({1, 2, 3}), Items(list));

  // Iterators at other nodes survive insertions and erasures.
  ZListSyntaxP::ZIterator two = list.find(P(2));
  list.push_front(P(9));
  list.erase(list.find(P(3)));
  EXPECT_EQ(P(2), *two);
  EXPECT_TRUE(two == list.rbegin());
}

TEST(ZListP, IteratorsStepBothWays) {
  ZListSyntaxP list = Make({1, 2, 3});
  ZListSyntaxP::ZIterator it = list.begin();
  ZListSyntaxP::ZIterator old = it++;
  EXPECT_EQ(P(1), *old);
  EXPECT_EQ(P(2), *it);
  EXPECT_EQ(P(3), *++it);
  EXPECT_TRUE(++it == list.end());
  // The ring: past the end comes the first element again, before it the last.
  EXPECT_EQ(P(1), *++ZListSyntaxP::ZIterator(it));
  old = it--;
  EXPECT_TRUE(old == list.end());
  EXPECT_EQ(P(3), *it);
  EXPECT_EQ(P(2), *--it);
  EXPECT_EQ(P(2), *it--);
  EXPECT_EQ(P(1), *it);
  EXPECT_TRUE(--it == list.end());
  EXPECT_TRUE(ZListSyntaxP::ZIterator() == ZListSyntaxP::ZIterator());
  EXPECT_TRUE(list.begin() != list.end());
}

TEST(ZListP, RangesInsertAndErase) {
  ZListSyntaxP list = Make({1, 2, 3});
  ZListSyntaxP other = Make({4, 5, 6, 7});
  list.insert(list.find(P(2)), ++other.begin(), other.rbegin());
  EXPECT_EQ(Of({1, 5, 6, 2, 3}), Items(list));
  EXPECT_EQ(Of({4, 5, 6, 7}), Items(other));
  list.insert(list.end(), other.begin(), other.begin());
  EXPECT_EQ(5, list.size());

  // A range of the same list around the insertion point is copied as it was.
  ZListSyntaxP self = Make({1, 2, 3});
  self.insert(self.find(P(2)), self.begin(), self.end());
  EXPECT_EQ(Of({1, 1, 2, 3, 2, 3}), Items(self));

  list.erase(list.find(P(5)), list.find(P(3)));
  EXPECT_EQ(Of({1, 3}), Items(list));
  list.erase(list.begin(), list.begin());
  EXPECT_EQ(2, list.size());
  list.erase(list.begin(), list.end());
  EXPECT_EQ(0, list.size());
  EXPECT_TRUE(list.begin() == list.end());
  EXPECT_TRUE(list.rbegin() == list.end());
  list.push_back(P(8));
  list.push_front(P(9));
  EXPECT_EQ(Of({9, 8}), Items(list));
}

TEST(ZListP, AssignmentReusesNodes) {
  ZListSyntaxP five = Make({1, 2, 3, 4, 5});
  ZListSyntaxP two = Make({6, 7});
  ZListSyntaxP target = Make({9, 9, 9, 9, 9});

  AllocCount count;
  HostKit_SetAllocObserver(CountAlloc, &count);
  ZListSyntaxP::ZIterator firstNode = target.begin();
  target = two;  // five nodes to two: three released, none made
  EXPECT_EQ(0, count.allocs);
  EXPECT_EQ(3, count.frees);
  EXPECT_EQ(Of({6, 7}), Items(target));
  EXPECT_TRUE(firstNode == target.begin());
  EXPECT_EQ(P(6), *firstNode);

  count = AllocCount();
  target = five;  // two nodes to five: three made, none released
  EXPECT_EQ(3, count.allocs);
  EXPECT_EQ(0, count.frees);
  EXPECT_EQ(Of({1, 2, 3, 4, 5}), Items(target));
  EXPECT_TRUE(firstNode == target.begin());

  // Equal lengths, and the list itself: nothing allocated or released.
  count = AllocCount();
  ZListSyntaxP reversed = Make({5, 4, 3, 2, 1});
  const int built = count.allocs;
  target = reversed;
  EXPECT_EQ(Of({5, 4, 3, 2, 1}), Items(target));
  const ZListSyntaxP& alias = target;
  target = alias;
  target = five;
  EXPECT_EQ(built, count.allocs);
  EXPECT_EQ(0, count.frees);
  HostKit_SetAllocObserver(nullptr, nullptr);
  EXPECT_EQ(Of({1, 2, 3, 4, 5}), Items(target));

  ZListSyntaxP empty;
  target = empty;
  EXPECT_EQ(0, target.size());
  EXPECT_TRUE(target.begin() == target.end());

  ZListSyntaxP copy(two);
  EXPECT_EQ(Of({6, 7}), Items(copy));
  copy.push_back(P(8));
  EXPECT_EQ(Of({6, 7}), Items(two));
}

TEST(ZListP, NeverOwnsWhatItPointsTo) {
  void* a = HostKit_Alloc("element", 8, 0);
  void* b = HostKit_Alloc("element", 8, 0);
  {
    ZListActionCodeP codes;
    codes.push_back(static_cast<ZActionCode*>(a));
    codes.push_back(static_cast<ZActionCode*>(b));
    codes.pop_front();
    codes.erase(codes.begin(), codes.end());
    codes.push_back(static_cast<ZActionCode*>(b));
  }
  EXPECT_EQ(2, HostKit_LiveBlocks("element"));
  HostKit_Free("element", a);
  HostKit_Free("element", b);
}

// Every named pointer list is the same list over its own element type.
template <class List>
void ExerciseNamedList() {
  using T = typename std::remove_pointer<decltype(*std::declval<typename List::ZIterator>())>::type;
  T* x = reinterpret_cast<T*>(&cells[1]);
  T* y = reinterpret_cast<T*>(&cells[2]);
  List* list = new List;
  list->push_back(x);
  list->push_front(y);
  EXPECT_EQ(2, list->size());
  EXPECT_EQ(x, *list->rbegin());
  EXPECT_TRUE(list->find(y) == list->begin());
  List copy(*list);
  delete list;
  EXPECT_EQ(y, *copy.begin());
}

TEST(ZListP, EveryNamedList) {
  ExerciseNamedList<ZListRegExpP>();
  ExerciseNamedList<ZListSyntaxP>();
  ExerciseNamedList<ZListActionDescriptionP>();
  ExerciseNamedList<ZListActionCodeP>();
  ExerciseNamedList<ZListActionFragmentP>();
  ExerciseNamedList<ZListActionArgumentP>();
  ExerciseNamedList<ZListActionConditionP>();
}

namespace {

std::string Str(const ZString& s) {
  const char* p = s;
  return p == nullptr ? std::string() : std::string(p, s.GetLength());
}

std::vector<std::string> Texts(const ZListString& list) {
  std::vector<std::string> forward;
  for (ZListString::ZIterator it = list.begin(); it != list.end(); ++it) {
    forward.push_back(Str(*it));
  }
  std::vector<std::string> backward;
  for (ZListString::ZIterator it = list.rbegin(); it != list.end(); it--) {
    backward.push_back(Str(*it));
  }
  EXPECT_EQ(std::vector<std::string>(forward.rbegin(), forward.rend()), backward);
  EXPECT_EQ(static_cast<int>(forward.size()), list.size());
  return forward;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(ZListString, OwnsCopiesOfItsStrings) {
  const long base = HostKit_LiveBlocks(nullptr);
  {
    ZListString list;
    EXPECT_EQ(0, list.size());
    EXPECT_TRUE(list.begin() == list.end());
    EXPECT_TRUE(list.rbegin() == list.end());
    EXPECT_TRUE(list.find("a") == list.end());
    list.pop_front();
    list.erase(list.end());

    ZString source("ABC");
    list.push_back(source);
    list.push_back("b");
    list.push_back(ZString("c"));
    // Changing the source or the element leaves the other alone.
    source = "XYZ";
    EXPECT_TRUE(*list.begin() == "ABC");
    *list.find("b") = "bee";
    EXPECT_TRUE(source == "XYZ");
    EXPECT_EQ((Strings{"ABC", "bee", "c"}), Texts(list));

    // Exact, case-sensitive search for the first equal string.
    EXPECT_TRUE(list.find("abc") == list.end());
    EXPECT_TRUE(list.find("ABC") == list.begin());
    list.push_back("ABC");
    EXPECT_TRUE(list.find("ABC") == list.begin());
    EXPECT_TRUE(list.find("") == list.end());
    list.push_front("");
    EXPECT_TRUE(list.find("") == list.begin());
    EXPECT_EQ(5, list.size());

    ZListString::ZIterator y = list.insert(list.find("c"), "y");
    EXPECT_TRUE(*y == "y");
    EXPECT_TRUE(*++y == "c");
    list.pop_front();
    list.pop_back();
    EXPECT_EQ((Strings{"ABC", "bee", "y", "c"}), Texts(list));
    list.erase(list.find("bee"));
    EXPECT_EQ((Strings{"ABC", "y", "c"}), Texts(list));
  }
  // Every node, sentinel and string block went back.
  EXPECT_EQ(base, HostKit_LiveBlocks(nullptr));
}

TEST(ZListString, RangesAndAssignment) {
  ZListString five;
  for (const char* s : {"one", "two", "three", "four", "five"}) five.push_back(s);
  ZListString two;
  two.push_back("x");
  two.push_back("y");

  ZListString list(two);
  list.insert(++list.begin(), ++five.begin(), five.rbegin());
  EXPECT_EQ((Strings{"x", "two", "three", "four", "y"}), Texts(list));
  list.insert(list.find("three"), list.begin(), list.end());
  EXPECT_EQ((Strings{"x", "two", "x", "two", "three", "four", "y", "three", "four", "y"}),
            Texts(list));
  list.erase(list.find("three"), list.rbegin());
  EXPECT_EQ((Strings{"x", "two", "x", "two", "y"}), Texts(list));

  // Longer to shorter and back, reusing the nodes that are there.
  ZListString::ZIterator firstNode = list.begin();
  list = two;
  EXPECT_EQ((Strings{"x", "y"}), Texts(list));
  EXPECT_TRUE(firstNode == list.begin());
  list = five;
  EXPECT_EQ((Strings{"one", "two", "three", "four", "five"}), Texts(list));
  EXPECT_TRUE(firstNode == list.begin());
  EXPECT_EQ((Strings{"x", "y"}), Texts(two));
  const ZListString& alias = list;
  list = alias;
  EXPECT_EQ(5, list.size());

  list.erase(list.begin(), list.end());
  EXPECT_EQ(0, list.size());
  list.push_back("again");
  EXPECT_EQ((Strings{"again"}), Texts(list));
}
