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
  if (!(expression_ == text)) return false;
  parameters.erase(parameters.begin(), parameters.end());
  expression_.GetParameters(parameters);
  return true;
}

ZParser::ZParser() = default;

ZParser::~ZParser() {
  for (ZListSyntaxP::ZIterator it = syntaxes_.begin(); it != syntaxes_.end(); ++it) delete *it;
}

void ZParser::AddSyntax(const ZSyntax& syntax) { Adopt(new ZSyntax(syntax)); }

void ZParser::AddSyntax(const char* pattern, int token) { Adopt(new ZSyntax(pattern, token)); }

void ZParser::Adopt(ZSyntax* syntax) {
  if (syntax == nullptr) return;
  int before = syntaxes_.size();
  syntaxes_.push_back(syntax);
  if (syntaxes_.size() == before) delete syntax;
}

int ZParser::Parse(ZString& text, ZListString& parameters) const {
  for (ZListSyntaxP::ZIterator it = syntaxes_.begin(); it != syntaxes_.end(); ++it) {
    if ((*it)->Parse(text, parameters)) return (*it)->GetToken();
  }
  return -1;
}
