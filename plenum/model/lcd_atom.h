#pragma once
// One item of a serial LCD statement: bytes to send (a text or a display command), a
// value to show after them, and for bar graphs a second text sent after the first
// record. Each item copies the run-wide display mode when it is made.

#include <memory>
#include <optional>
#include <string>

#include "plenum/codegen/record_codes.h"
#include "plenum/model/element.h"

namespace plenum {

class Exp;
class ModuleProgram;
class NvPbusMod;

class LcdAtom : public Element {
 public:
  ~LcdAtom() override;

  // A quoted text as the scanner read it, quotes included; null for "*STRING", which
  // makes an empty text. Escapes are decoded here.
  static std::unique_ptr<LcdAtom> text(SourceLocation where, const std::string* tokenText);
  // ( exp ): a value in the current display mode.
  static std::unique_ptr<LcdAtom> value(SourceLocation where, std::unique_ptr<Exp> expression);
  // *LINE n: moves the cursor to the start of line n (1 to 4).
  static std::unique_ptr<LcdAtom> line(SourceLocation where, int lineNumber);
  // *CONTRAST ( exp ), *BACKLIGHT ( exp ): the value as one binary byte.
  static std::unique_ptr<LcdAtom> contrast(SourceLocation where, std::unique_ptr<Exp> expression);
  static std::unique_ptr<LcdAtom> backlight(SourceLocation where,
                                            std::unique_ptr<Exp> expression);
  // *BAR_GRAPH line start end ( exp ): columns start to end of a line, 1-based.
  static std::unique_ptr<LcdAtom> barGraph(SourceLocation where, int lineNumber, int startColumn,
                                           int endColumn, std::unique_ptr<Exp> expression);

  // Bytes the item sends: text, value and second text.
  int byteCount() const;
  int valueByteCount() const;
  // The SFslcdOut flags byte of the first record.
  int flags() const;
  // Appends the value's code and the item's SFslcdOut records.
  void generate(ModuleProgram& program, NvPbusMod& module) const;
  // The listing line.
  void print() const;

  std::optional<ByteString> textBytes;
  std::unique_ptr<Exp> expression;
  int mode;  // LcdDisplayMode format: 0 binary, 1 to 3 decimal digits
  bool once;
  bool signedValue;
  std::optional<ByteString> second;

 private:
  LcdAtom(SourceLocation where, std::optional<ByteString> bytes, std::unique_ptr<Exp> value);
};

// The mode phrases of a serial LCD statement; each changes the run-wide display mode.
void setLcdBinary();
// *DECIMAL n: 1 to 3 digits; anything else is reported at the keyword and means 3.
void setLcdDecimal(int digits, const SourceLocation& keyword);
void setLcdDecimal();
void setLcdSigned(bool isSigned);
void setLcdOnce(bool once);

}  // namespace plenum
