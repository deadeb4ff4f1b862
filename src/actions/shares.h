// Shared ownership of the action elements: every element counts the lists
// that hold it and is destroyed when the last one lets it go. All list
// changes of the action classes go through here.
#ifndef ORBCMN_ACTIONS_SHARES_H_
#define ORBCMN_ACTIONS_SHARES_H_

#include "orbcmn/zactiontable.h"
#include "orbcmn/zstreamer.h"

struct ZActionShares {
  // Appends element to list, which then holds it. When the list cannot
  // grow, an element that no list holds is destroyed. False then.
  template <class T>
  static bool Append(ZListP<T>& list, T* element) {
    int before = list.size();
    list.push_back(element);
    if (list.size() == before) {
      if (element->holders_ == 0) delete element;
      return false;
    }
    ++element->holders_;
    return true;
  }

  // The description's own name, where a copy (GetName) could fail unseen.
  static const ZString& Name(const ZActionDescription& description) { return description.name_; }

  // Makes list hold the elements of other, in order, sharing them.
  template <class T>
  static void Assign(ZListP<T>& list, const ZListP<T>& other) {
    if (&list == &other) return;
    for (T* element : Elements(other)) ++element->holders_;
    Release(list);
    list = other;
    // Elements the copy could not take (memory ran out) are not held by it.
    int taken = list.size();
    int i = 0;
    for (T* element : Elements(other)) {
      if (i++ >= taken) Drop(element);
    }
  }

  // Lets go of every element of list and empties it.
  template <class T>
  static void Release(ZListP<T>& list) {
    while (list.size() > 0) {
      T* element = *list.begin();
      list.pop_front();
      Drop(element);
    }
  }

  // Loads n elements with T::Load and appends them to list. A null
  // reference (or an unknown class) where an element is due fails. On a
  // failure the elements loaded so far stay; one whose record failed is
  // destroyed, and the identities registered for it and inside it are
  // forgotten. False then.
  template <class T>
  static bool LoadInto(ZStreamer& s, ZListP<T>& list, unsigned int n) {
    for (unsigned int i = 0; i < n; ++i) {
      T* element = nullptr;
      unsigned long mark = s.Registered();
      if (!T::Load(s, element)) {
        if (element != nullptr && element->holders_ == 0) {
          s.Forget(mark);
          delete element;
        }
        return false;
      }
      if (element == nullptr || !Append(list, element)) return false;
    }
    return true;
  }

 private:
  template <class T>
  static void Drop(T* element) {
    if (--element->holders_ == 0) delete element;
  }

  // Range over a list's elements for range-for.
  template <class T>
  struct Range {
    const ZListP<T>& list;
    typename ZListP<T>::ZIterator begin() const { return list.begin(); }
    typename ZListP<T>::ZIterator end() const { return list.end(); }
  };
  template <class T>
  static Range<T> Elements(const ZListP<T>& list) {
    return Range<T>{list};
  }
};

#endif  // ORBCMN_ACTIONS_SHARES_H_
