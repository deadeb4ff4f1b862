// ZSyntax and ZParser: the tokenizer.
#include "orbcmn/zparser.h"

#include "lib/alloc.h"

ORBCMN_DEFINE_ALLOC(ZSyntax)
ORBCMN_DEFINE_ALLOC(ZParser)

ZSyntax::ZSyntax() : expression_(true), token_(0) {}

ZSyntax::ZSyntax(const char* pattern, int token) : expression_(pattern, true), token_(token) {}

ZSyntax::ZSyntax(const ZRegExp& expression, int token) : expression_(expression), token_(token) {}

ZSyntax::ZSyntax(const ZSyntax& other) : expression_(other.expression_), token_(other.token_) {}

ZSyntax& ZSyntax::operator=(const ZSyntax& other) {
  if (this == &other) return *this;
  expression_ = other.expression_;
  token_ = other.token_;
  return *this;
}

ZSyntax::~ZSyntax() = default;

bool ZSyntax::Parse(ZString& text, ZListString& parameters) {
  // The match leaves text alone (copying it for every try would make
  // tokenizing quadratic in the text's length); the parameters are added
  // after the old ones, all or none, and text is cut only when they are
  // in, so that running out of memory on the way changes neither.
  int old = parameters.size();
  long long end = expression_.MatchLength(text);
  if (end < 0 || !expression_.GetParameters(parameters)) return false;
  while (old-- > 0) parameters.pop_front();
  if (end > 0) text.Remove(1, static_cast<unsigned int>(end));  // moves the front: cannot fail
  return true;
}

ZParser::ZParser() = default;

ZParser::~ZParser() {
  for (ZListSyntaxP::ZIterator it = syntaxes_.begin(); it != syntaxes_.end(); ++it) delete *it;
}

bool ZParser::AddSyntax(const ZSyntax& syntax) { return Adopt(new ZSyntax(syntax)); }

bool ZParser::AddSyntax(const char* pattern, int token) {
  return Adopt(new ZSyntax(pattern, token));
}

bool ZParser::Adopt(ZSyntax* syntax) {
  if (syntax == nullptr) return false;
  int before = syntaxes_.size();
  if (syntax->IsCompiled()) syntaxes_.push_back(syntax);
  if (syntaxes_.size() != before) return true;
  delete syntax;
  return false;
}

int ZParser::Parse(ZString& text, ZListString& parameters) const {
  unsigned long refusals = orb::Refusals();
  for (ZListSyntaxP::ZIterator it = syntaxes_.begin(); it != syntaxes_.end(); ++it) {
    if ((*it)->Parse(text, parameters)) return (*it)->GetToken();
    // A syntax that ran out of memory may have been the one to match: a
    // later one must not take the text instead.
    if (orb::Refusals() != refusals) return -1;
  }
  return -1;
}
