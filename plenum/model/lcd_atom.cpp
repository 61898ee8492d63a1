#include "plenum/model/lcd_atom.h"

#include <cstdio>
#include <vector>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/module_program.h"
#include "plenum/language/diagnostics.h"
#include "plenum/language/string_escapes.h"

namespace plenum {

namespace {
// Display command bytes of the LCD's serial link.
constexpr int BacklightCommand = 14;
constexpr int ContrastCommand = 15;
constexpr int CursorCommand = 17;
constexpr int BarGraphCommand = 18;
constexpr int BarGraphFiller = 255;

constexpr int Lines = 4;
constexpr int Columns = 20;
// An SFslcdOut record holds its length in one byte, 4 bytes besides the text.
constexpr int LongestText = 255 - 4;

constexpr int OnceFlag = 0x80;
constexpr int SignedFlag = 0x40;

struct ModeFacts {
  const char* name;
  int valueBytes;
  int flagBits;
};
constexpr ModeFacts Modes[] = {
    {"Binary", 1, 1}, {"Decimal 1", 1, 2}, {"Decimal 2", 2, 10}, {"Decimal 3", 3, 14}};

const ModeFacts& factsOf(int mode) {
  return Modes[mode >= 0 && mode <= 3 ? mode : LcdDisplayMode{}.format];
}

ByteString bytesOf(std::initializer_list<int> values) {
  ByteString bytes;
  for (int value : values) bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
  return bytes;
}

void printText(const ByteString& bytes) {
  std::string text(bytes.begin(), bytes.end());
  std::fputs(encodeEscapes(text).c_str(), stdout);
}
}  // namespace

LcdAtom::LcdAtom(SourceLocation where, std::optional<ByteString> bytes,
                 std::unique_ptr<Exp> value)
    : Element(std::move(where)),
      textBytes(std::move(bytes)),
      expression(std::move(value)),
      mode(context().lcdMode.format),
      once(context().lcdMode.once),
      signedValue(context().lcdMode.signedValue) {}

LcdAtom::~LcdAtom() = default;

std::unique_ptr<LcdAtom> LcdAtom::text(SourceLocation where, const std::string* tokenText) {
  // "*STRING" names no text: an empty one.
  if (!tokenText)
    return std::unique_ptr<LcdAtom>(new LcdAtom(std::move(where), ByteString{}, nullptr));
  std::optional<std::string> decoded = decodeEscapes(*tokenText);
  bool legal = decoded.has_value();
  if (!legal) {
    // Shown as written, without its quotes; the report keeps it from being downloaded.
    std::string raw = *tokenText;
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"')
      raw = raw.substr(1, raw.size() - 2);
    decoded = raw;
  }
  ByteString bytes(decoded->begin(), decoded->end());
  bool tooLong = bytes.size() > static_cast<std::size_t>(LongestText);
  if (tooLong) bytes.resize(LongestText);
  std::unique_ptr<LcdAtom> atom(new LcdAtom(std::move(where), std::move(bytes), nullptr));
  if (!legal) reportAt(*atom, "Illegal \"\\\" escape in string");
  if (tooLong) reportAt(*atom, "LCD text longer than %d bytes", LongestText);
  return atom;
}

std::unique_ptr<LcdAtom> LcdAtom::value(SourceLocation where, std::unique_ptr<Exp> expression) {
  return std::unique_ptr<LcdAtom>(new LcdAtom(std::move(where), {}, std::move(expression)));
}

std::unique_ptr<LcdAtom> LcdAtom::line(SourceLocation where, int lineNumber) {
  std::unique_ptr<LcdAtom> atom(
      new LcdAtom(std::move(where), bytesOf({CursorCommand, 0, lineNumber - 1}), nullptr));
  if (lineNumber < 1 || lineNumber > Lines)
    reportAt(*atom, "Line number must be between 1 and 4");
  return atom;
}

std::unique_ptr<LcdAtom> LcdAtom::contrast(SourceLocation where,
                                           std::unique_ptr<Exp> expression) {
  std::unique_ptr<LcdAtom> atom(
      new LcdAtom(std::move(where), bytesOf({ContrastCommand}), std::move(expression)));
  atom->mode = LcdDisplayMode::Binary;
  return atom;
}

std::unique_ptr<LcdAtom> LcdAtom::backlight(SourceLocation where,
                                            std::unique_ptr<Exp> expression) {
  std::unique_ptr<LcdAtom> atom(
      new LcdAtom(std::move(where), bytesOf({BacklightCommand}), std::move(expression)));
  atom->mode = LcdDisplayMode::Binary;
  return atom;
}

std::unique_ptr<LcdAtom> LcdAtom::barGraph(SourceLocation where, int lineNumber,
                                           int startColumn, int endColumn,
                                           std::unique_ptr<Exp> expression) {
  std::unique_ptr<LcdAtom> atom(new LcdAtom(
      std::move(where),
      bytesOf({BarGraphCommand, lineNumber - 1, BarGraphFiller, startColumn - 1, endColumn - 1}),
      std::move(expression)));
  atom->mode = LcdDisplayMode::Binary;
  atom->second = bytesOf({lineNumber - 1});
  if (lineNumber < 1 || lineNumber > Lines)
    reportAt(*atom, "Line number must be between 1 and 4");
  if (startColumn < 1 || startColumn > Columns)
    reportAt(*atom, "Start column must be between 1 and 20");
  if (endColumn < 1 || endColumn > Columns)
    reportAt(*atom, "End column must be between 1 and 20");
  if (startColumn > endColumn) reportAt(*atom, "Start column must not be greater than End column");
  return atom;
}

int LcdAtom::valueByteCount() const { return expression ? factsOf(mode).valueBytes : 0; }

int LcdAtom::byteCount() const {
  int textLength = textBytes ? static_cast<int>(textBytes->size()) : 0;
  int secondLength = second ? static_cast<int>(second->size()) : 0;
  return textLength + valueByteCount() + secondLength;
}

int LcdAtom::flags() const {
  int bits = (once ? OnceFlag : 0) + (signedValue ? SignedFlag : 0);
  if (expression) bits += factsOf(mode).flagBits;
  return bits;
}

void LcdAtom::generate(ModuleProgram& program, NvPbusMod& module) const {
  ByteString& main = program.mainList();
  if (expression) expression->generate(main, module);
  auto appendOut = [&main](const ByteString* bytes, int flagByte) {
    std::vector<int> operands{bytes ? static_cast<int>(bytes->size()) : 0, flagByte};
    if (bytes) operands.insert(operands.end(), bytes->begin(), bytes->end());
    appendRecord(main, SFslcdOut, operands);
  };
  appendOut(textBytes ? &*textBytes : nullptr, flags());
  if (second) appendOut(&*second, 0);
}

void LcdAtom::print() const {
  std::printf("    ");
  if (textBytes) {
    std::printf("String \"");
    printText(*textBytes);
    std::printf("\" ");
  }
  if (expression) {
    std::printf("Expr (");
    expression->print(stdout);
    std::printf(") mode %s", factsOf(mode).name);
  }
  if (second) {
    std::printf("S2 \"");
    printText(*second);
    std::printf("\"");
  }
  std::printf("\n");
}

void setLcdBinary() { context().lcdMode.format = LcdDisplayMode::Binary; }

void setLcdDecimal(int digits, const SourceLocation& keyword) {
  if (digits < 1 || digits > 3) {
    reportAtLocation(keyword, "Decimal number must be 1, 2, or 3");
    digits = 3;
  }
  context().lcdMode.format = digits;
}

void setLcdDecimal() { context().lcdMode.format = 3; }
void setLcdSigned(bool isSigned) { context().lcdMode.signedValue = isSigned; }
void setLcdOnce(bool once) { context().lcdMode.once = once; }

}  // namespace plenum
