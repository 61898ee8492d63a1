#pragma once
// The common base of every configuration object: the name it was declared or referenced
// under, and the place in the file where its statement stands.

#include "plenum/language/compiler_context.h"
#include "plenum/language/source_location.h"

namespace plenum {

// How bindName treats an identifier that is, or is not, bound already.
enum BindMode : int {
  BindOnly = 0,        // bind when free, never report
  BindDefinition = 1,  // the statement defines the name: a bound name is a redefinition
  BindReference = 2,   // the statement refers to the name: a free name is undefined
};

class Element {
 public:
  // Located where the parser is reading now.
  Element();
  explicit Element(SourceLocation where);
  virtual ~Element();

  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;

  // Completes and checks the object once its whole statement has been read.
  virtual void finish();

  // Binds this element to the identifier (see BindMode); always returns 0. The reports
  // are counted errors at this element's location.
  int bindName(IdentifierRecord* identifier, int mode);

  // The identifier's text, or "" for an anonymous element.
  const char* name() const;

  IdentifierRecord* identifier = nullptr;
  SourceLocation location;
};

// A counted error at the element's location, the message formatted as by printf.
void reportAt(const Element& element, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

}  // namespace plenum
