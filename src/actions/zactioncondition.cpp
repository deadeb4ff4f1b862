// ZActionCondition: a test on one argument text.
#include "lib/alloc.h"
#include "orbcmn/zactiontable.h"

ORBCMN_DEFINE_ALLOC(ZActionCondition)

ZActionCondition::ZActionCondition()
    : argNumber_(0), operation_(EOperation(0)), combine_(Replace), number_(0), holders_(0) {}

ZActionCondition::ZActionCondition(int number, EOperation op, ECombine combine, ZString text)
    : argNumber_(static_cast<short>(number)),
      operation_(op),
      combine_(combine),
      text_(text),
      number_(0),
      holders_(0) {
  text_.MakeLower();
}

ZActionCondition::ZActionCondition(int number, EOperation op, ECombine combine, long value)
    : argNumber_(static_cast<short>(number)),
      operation_(op),
      combine_(combine),
      number_(static_cast<int>(value)),
      holders_(0) {}

ZActionCondition::ZActionCondition(const ZActionCondition& other)
    : argNumber_(other.argNumber_),
      operation_(other.operation_),
      combine_(other.combine_),
      text_(other.text_),
      number_(other.number_),
      holders_(0) {}

ZActionCondition& ZActionCondition::operator=(const ZActionCondition& other) {
  argNumber_ = other.argNumber_;
  operation_ = other.operation_;
  combine_ = other.combine_;
  text_ = other.text_;
  number_ = other.number_;
  return *this;
}

ZActionCondition::~ZActionCondition() {}

bool ZActionCondition::CheckCondition(int number, ZString text, bool previous) {
  if (number != argNumber_) return previous;
  bool outcome = false;
  switch (operation_) {
    case AtLeast:
      outcome = static_cast<int>(text) >= number_;
      break;
    case AtMost:
      outcome = static_cast<int>(text) <= number_;
      break;
    case SameInitial: {
      // An empty text has no first character: it matches only another
      // empty text.
      text.MakeLower();
      if (text.IsEmpty() || text_.IsEmpty()) {
        outcome = text.IsEmpty() && text_.IsEmpty();
      } else {
        outcome = text.GetBytePtr()[0] == text_.GetBytePtr()[0];
      }
      break;
    }
    default:
      break;
  }
  switch (combine_) {
    case Or:
      return outcome || previous;
    case And:
      return outcome && previous;
    default:
      return outcome;
  }
}
