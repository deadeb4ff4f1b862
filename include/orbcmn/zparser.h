// ZSyntax and ZParser: a tokenizer built on ZRegExp.
//
// A parser holds syntaxes, each a regular expression with a token number.
// Parse takes the next token off the front of a text: the first syntax (in
// the order added) that matches wins, the matched part leaves the text and
// the syntax's parameters (the parts of its pattern marked with "&") come
// back as strings. A tokenizing loop calls Parse on the shortened text
// until the text is empty or -1 comes back. A pattern that begins with a
// literal and no "^" may skip text before that literal; the skipped text is
// consumed with the match.
#ifndef ORBCMN_ZPARSER_H_
#define ORBCMN_ZPARSER_H_

#include "orbcmn/export.h"
#include "orbcmn/zlist.h"
#include "orbcmn/zregexp.h"
#include "orbcmn/zstring.h"

class ORBCMN_API ZSyntax {
 public:
  ORBCMN_DECLARE_ALLOC

  // Empty expression (never matches), token 0.
  ZSyntax();
  // pattern compiled with the caret rule on (null: the empty pattern);
  // token as given.
  ZSyntax(const char* pattern, int token);
  // A copy of expression; token as given.
  ZSyntax(const ZRegExp& expression, int token);
  ZSyntax(const ZSyntax& other);
  // Copies the expression and the token; nothing on self-assignment.
  ZSyntax& operator=(const ZSyntax& other);
  ~ZSyntax();

  // The token number.
  int GetToken() const { return token_; }
  // False when memory ran out making the expression, which then matches
  // nothing.
  bool IsCompiled() const { return expression_.IsCompiled(); }

  // Matches the expression against the front of text. On success empties
  // parameters, appends the expression's parameters in pattern order,
  // leaves in text what the match did not consume and returns true. On
  // failure, also when memory runs out, returns false and leaves text and
  // parameters as they were.
  bool Parse(ZString& text, ZListString& parameters);

 private:
  ZRegExp expression_;
  int token_;
};

class ORBCMN_API ZParser {
 public:
  ORBCMN_DECLARE_ALLOC

  // No syntaxes.
  ZParser();
  // Destroys every syntax, then the list.
  ~ZParser();
  // A parser owns its syntaxes; it is not copied.
  ZParser(const ZParser&) = delete;
  ZParser& operator=(const ZParser&) = delete;

  // Appends an owned copy of syntax; true. When memory runs out nothing is
  // added and the result is false.
  bool AddSyntax(const ZSyntax& syntax);
  // Appends a new syntax of pattern (caret rule on) and token; true. When
  // memory runs out nothing is added and the result is false.
  bool AddSyntax(const char* pattern, int token);

  // Tries the syntaxes in the order added; the first whose Parse succeeds
  // ends the search and its token is returned (text and parameters as
  // ZSyntax::Parse leaves them). -1 when no syntax matches or there are
  // none, or when memory runs out; text and parameters are then unchanged.
  int Parse(ZString& text, ZListString& parameters) const;

 private:
  // Takes ownership of syntax; false, with syntax deleted, when it is
  // null, its expression could not be made or the list cannot grow.
  bool Adopt(ZSyntax* syntax);

  ZListSyntaxP syntaxes_;  // owned, in the order added
};

#endif  // ORBCMN_ZPARSER_H_
