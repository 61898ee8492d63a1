#include "plenum/codegen/expressions.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "plenum/codegen/codegen_test_support.h"
#include "plenum/codegen/local_values.h"
#include "plenum/language/compile_in_process.h"
#include "plenum/model/configuration.h"

namespace plenum {
namespace {

using testing_support::InProcessCompile;
using testing_support::RunOutput;

// Controllers a to d (numbers 1 to 4 on channel 1) and switch inputs s and t from
// outside the chain, so that every name is read through a mirror byte or bit.
const char* const Names =
    "*CONTROL = a *MIDI_CHANNEL = 1 *MIDI_CONTROLLER = 1\n"
    "*CONTROL = b *MIDI_CHANNEL = 1 *MIDI_CONTROLLER = 2\n"
    "*CONTROL = c *MIDI_CHANNEL = 1 *MIDI_CONTROLLER = 3\n"
    "*CONTROL = d *MIDI_CHANNEL = 1 *MIDI_CONTROLLER = 4\n"
    "*INPUT_BIT = s *MIDI_CHANNEL = 2 *MIDI_NOTE = 10\n"
    "*INPUT_BIT = t *MIDI_CHANNEL = 2 *MIDI_NOTE = 11\n";

std::string valueStatement(const std::string& expression) {
  return std::string(Names) + "*NORVO_MODULE\n  *VALUE v = (" + expression + ")\n*END\n";
}

struct Compiled {
  RunOutput output;
  ByteString code;                  // the main list before the final store and End
  std::map<std::string, int> byte;  // mirror byte of each controller, "v" its own byte
};

Compiled compileValue(const std::string& expression) {
  InProcessCompile compile(valueStatement(expression));
  Compiled result;
  result.output = compile.loadAndGenerate();
  if (compile.configuration.modules.empty()) return result;
  NvPbusMod& module = *compile.configuration.modules[0];
  for (const ByteString& record :
       testing_support::recordsWithCode(module.program.controllerList(0), SFmc2byte))
    result.byte[std::string(1, static_cast<char>('a' + record[2] - 1))] = record[3];
  const ByteString& main = module.program.mainList();
  // ... Ssta v, End.
  if (main.size() >= 3) {
    result.byte["v"] = main[main.size() - 2];
    result.code.assign(main.begin(), main.end() - 3);
  }
  return result;
}

// Expected code written as "Slda a, Sldi 1, Sadd": a name stands for its mirror byte;
// "tmp" for the temporary work byte, taken from the code itself and checked apart.
ByteString expectedCode(const std::string& ops, const Compiled& compiled, int temporary) {
  static const std::map<std::string, RecordCode> codes = {
      {"Sldi", Sldi}, {"Slda", Slda}, {"Ssta", Ssta}, {"Sadd", Sadd}, {"Ssub", Ssub},
      {"Smul", Smul}, {"Sdiv", Sdiv}, {"Smod", Smod}, {"Ssl", Ssl},   {"Ssr", Ssr},
      {"Smin", Smin}, {"Smax", Smax}, {"Sthi", Sthi}, {"Sths", Sths}, {"Stlo", Stlo},
      {"Stls", Stls}, {"Steq", Steq}, {"Stne", Stne}, {"Sand", Sand}, {"Sxor", Sxor},
      {"Sor", Sor},   {"Snot", Snot}, {"Scom", Scom}, {"St", St},     {"Sbt", Sbt},
      {"Sbf", Sbf}};
  ByteString bytes;
  std::stringstream list(ops);
  std::string op;
  while (std::getline(list, op, ',')) {
    std::stringstream words(op);
    std::string name, operand;
    words >> name >> operand;
    bytes.push_back(codes.at(name));
    if (operand.empty()) continue;
    if (operand == "tmp")
      bytes.push_back(static_cast<std::uint8_t>(temporary));
    else if (compiled.byte.count(operand))
      bytes.push_back(static_cast<std::uint8_t>(compiled.byte.at(operand)));
    else
      bytes.push_back(static_cast<std::uint8_t>(std::stoi(operand, nullptr, 0)));
  }
  return bytes;
}

struct ShapeCase {
  const char* source;
  const char* code;
};

class ExpressionCode : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ExpressionCode, EmitsTheStackOpsOfItsShape) {
  const ShapeCase& shape = GetParam();
  Compiled compiled = compileValue(shape.source);
  ASSERT_EQ(compiled.output.status, -1) << compiled.output.out;
  EXPECT_EQ(compiled.output.out.find("cfg:"), std::string::npos) << compiled.output.out;
  // The temporary is whatever byte the first store of the code names; it must be a byte
  // of its own.
  int temporary = -1;
  for (std::size_t i = 0; i + 1 < compiled.code.size(); ++i)
    if (compiled.code[i] == Ssta) {
      temporary = compiled.code[i + 1];
      break;
    }
  for (const auto& [name, address] : compiled.byte) EXPECT_NE(address, temporary) << name;
  EXPECT_EQ(compiled.code, expectedCode(shape.code, compiled, temporary)) << shape.source;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ExpressionCode,
    ::testing::Values(
        // Right operand simple: left, right, op.
        ShapeCase{"a + 1", "Slda a, Sldi 1, Sadd"},
        ShapeCase{"(a + b) > 3", "Slda a, Slda b, Sadd, Sldi 3, Sthi"},
        // Left simple, op swappable: right first, then the comparison mirrored.
        ShapeCase{"3 > (a + b)", "Slda a, Slda b, Sadd, Sldi 3, Stlo"},
        ShapeCase{"3 < (a + b)", "Slda a, Slda b, Sadd, Sldi 3, Sthi"},
        ShapeCase{"1 <= (a + b)", "Slda a, Slda b, Sadd, Sldi 1, Sths"},
        ShapeCase{"1 >= (a + b)", "Slda a, Slda b, Sadd, Sldi 1, Stls"},
        ShapeCase{"1 == (a + b)", "Slda a, Slda b, Sadd, Sldi 1, Steq"},
        // Left simple but not swappable: right parked in a temporary.
        ShapeCase{"1 - (a + b)", "Slda a, Slda b, Sadd, Ssta tmp, Sldi 1, Slda tmp, Ssub"},
        // Neither simple, swappable: left parked.
        ShapeCase{"(a + b) * (c + d)",
                  "Slda a, Slda b, Sadd, Ssta tmp, Slda c, Slda d, Sadd, Slda tmp, Smul"},
        ShapeCase{"(a + b) < (c + d)",
                  "Slda a, Slda b, Sadd, Ssta tmp, Slda c, Slda d, Sadd, Slda tmp, Sthi"},
        // Neither simple, not swappable: right parked, order kept.
        ShapeCase{"(a + b) - (c + d)",
                  "Slda c, Slda d, Sadd, Ssta tmp, Slda a, Slda b, Sadd, Slda tmp, Ssub"},
        ShapeCase{"(a + b) / (c - d)",
                  "Slda c, Slda d, Ssub, Ssta tmp, Slda a, Slda b, Sadd, Slda tmp, Sdiv"},
        // Unary operators and folding.
        ShapeCase{"-5", "Sldi 0xFB"},
        ShapeCase{"- -5", "Sldi 5"},
        ShapeCase{"+7", "Sldi 7"},
        ShapeCase{"-(a)", "Slda a, Scom, Sldi 1, Sadd"},
        ShapeCase{"-a", "Slda a, Scom, Sldi 1, Sadd"},
        ShapeCase{"-(5)", "Sldi 5, Scom, Sldi 1, Sadd"},
        ShapeCase{"!a", "Slda a, Snot"},
        ShapeCase{"~a % 3", "Slda a, Scom, Sldi 3, Smod"},
        // Precedence and associativity.
        ShapeCase{"2 + 3 * 4", "Sldi 3, Sldi 4, Smul, Sldi 2, Sadd"},
        ShapeCase{"10 - 4 - 3", "Sldi 10, Sldi 4, Ssub, Sldi 3, Ssub"},
        ShapeCase{"1 << 2 + 3", "Sldi 2, Sldi 3, Sadd, Ssta tmp, Sldi 1, Slda tmp, Ssl"},
        ShapeCase{"a >> 1 MAX b", "Slda a, Sldi 1, Ssr, Slda b, Smax"},
        ShapeCase{"a MIN b + c", "Slda b, Slda c, Sadd, Slda a, Smin"},
        ShapeCase{"a == b < c", "Slda b, Slda c, Stlo, Slda a, Steq"},
        ShapeCase{"a != b & c", "Slda a, Slda b, Stne, Slda c, Sand"},
        ShapeCase{"a | b ^ c & d", "Slda c, Slda d, Sand, Slda b, Sxor, Slda a, Sor"},
        // && and || share one level, left-associative; each ends in a boolean.
        ShapeCase{"a || b", "Slda a, Sbt 4, Slda b, St"},
        ShapeCase{"a && b", "Slda a, Sbf 4, Slda b, St"},
        ShapeCase{"a || b && c", "Slda a, Sbt 4, Slda b, St, Sbf 4, Slda c, St"},
        ShapeCase{"a && (b + 1)", "Slda a, Sbf 7, Slda b, Sldi 1, Sadd, St"}));

TEST(ExpressionCode, InputBitsAreReadThroughOneSharedMirrorBit) {
  Compiled compiled = compileValue("s & t | s");
  ASSERT_EQ(compiled.output.status, -1) << compiled.output.out;
  InProcessCompile compile(valueStatement("s & t | s"));
  ASSERT_EQ(compile.loadAndGenerate().status, -1);
  const ByteString& notes = compile.configuration.modules[0]->program.noteList(1);
  // Notes 10 and 11 in consecutive bits: one merged record, bits 0 and 1 of one byte.
  std::vector<ByteString> merged = testing_support::recordsWithCode(notes, SFmn2bits);
  ASSERT_EQ(merged.size(), 1u);
  EXPECT_EQ(merged[0][2], 10);
  EXPECT_EQ(merged[0][3], 11);
  int mirror = merged[0][4];
  EXPECT_EQ(compiled.code, testing_support::bytes({Sldb, mirror, 1, Sldb, mirror, 2, Sand,
                                                   Sldb, mirror, 1, Sor}));
}

// A right operand long enough to need the 16-bit jump: n terms "1 + 1 + ..." give
// 2 + 3 (n - 1) bytes.
std::string sumOfOnes(int terms) {
  std::string text = "1";
  for (int i = 1; i < terms; ++i) text += " + 1";
  return text;
}

TEST(ExpressionCode, OrElseUsesShortBranchUpTo251BytesAndLongJumpBeyond) {
  struct Case {
    int terms;
    ByteString head;  // after Slda a
  };
  // 84 terms: 251 bytes, distance 253 still short. 85 terms: 254 bytes, 3-byte jump
  // whose 16-bit offset reaches past the right operand.
  for (const Case& test : {Case{84, testing_support::bytes({Sbt, 253})},
                           Case{85, testing_support::bytes({Sjt, 0x01, 0x01})}}) {
    Compiled compiled = compileValue("a || (" + sumOfOnes(test.terms) + ")");
    ASSERT_EQ(compiled.output.status, -1) << compiled.output.out;
    std::size_t rightStart = 2 + test.head.size();
    std::size_t rightSize = static_cast<std::size_t>(2 + 3 * (test.terms - 1));
    ASSERT_EQ(compiled.code.size(), rightStart + rightSize + 1) << test.terms;
    EXPECT_EQ(ByteString(compiled.code.begin() + 2, compiled.code.begin() +
                                                        static_cast<long>(rightStart)),
              test.head);
    EXPECT_EQ(compiled.code.back(), St);
  }
}

struct ErrorCase {
  const char* declarations;
  const char* statement;
  const char* message;
};

class ExpressionErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ExpressionErrors, AreReportedAtTheStatement) {
  const ErrorCase& test = GetParam();
  InProcessCompile compile(std::string(test.declarations) + "*NORVO_MODULE\n" + test.statement +
                           "\n*END\n");
  RunOutput output = compile.loadAndGenerate();
  EXPECT_NE(output.out.find(test.message), std::string::npos) << output.out;
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ExpressionErrors,
    ::testing::Values(
        ErrorCase{"", "*VALUE v = (nowhere + 1)", "cfg:2: Identifier 'nowhere' not defined"},
        ErrorCase{"*DIVISION = great *MIDI_CHANNEL = 1 *MIDI_NOTES = 36, 61\n",
                  "*VALUE v = (great)", "Expected a controller or an input bit"},
        ErrorCase{"*INPUT_BIT = gen *MIDI_CHANNEL = 1 *PROGRAM_CHANGE = 4\n",
                  "*VALUE v = (gen)", "Program Change not valid in an expression"},
        ErrorCase{"", "*KX64 *INPUT_BIT = own *BIT = 1 *MIDI_CHANNEL = 1 *MIDI_NOTE = 5\n"
                      "*VALUE v = (own)",
                  "Invalid bit use: 'own' can't be referenced in this module"}));

TEST(LocalValues, ABitIsStoredAndReadOnOneWorkBit) {
  InProcessCompile compile(std::string(Names) +
                           "*NORVO_MODULE\n"
                           "  *BIT x = (a)\n"
                           "  *VALUE v = (x)\n"
                           "*END\n");
  RunOutput output = compile.loadAndGenerate();
  ASSERT_EQ(output.status, -1) << output.out;
  const ByteString& main = compile.configuration.modules[0]->program.mainList();
  // Slda a, Sstb x; Sldb x, Ssta v.
  ASSERT_GE(main.size(), 10u);
  EXPECT_EQ(main[0], Slda);
  EXPECT_EQ(main[2], Sstb);
  EXPECT_EQ(main[5], Sldb);
  EXPECT_EQ(main[3], main[6]);
  EXPECT_EQ(main[4], main[7]);
  EXPECT_EQ(main[8], Ssta);
}

TEST(LocalValues, NamesBindOncePerModuleAndKind) {
  struct Case {
    const char* text;
    std::vector<const char*> messages;
  };
  const Case cases[] = {
      {"*NORVO_MODULE *BIT x = (1)\n*NORVO_MODULE *BIT x = (0)\n",
       {"cfg:2: The use of x must be restricted to one module", "cfg:1: \tPrevious definition"}},
      {"*NORVO_MODULE *BIT x = (1)\n*NORVO_MODULE *VALUE v = (x)\n",
       {"A bit is only available in the module that generated it"}},
      {"*NORVO_MODULE *VALUE w = (1)\n*NORVO_MODULE *VALUE v = (w)\n",
       {"A value is only available in the module that generated it"}},
      {"*NORVO_MODULE *BIT x = (1)\n *VALUE x = (2)\n",
       {"cfg:2: The previous use of x is incompatible", "cfg:2: Trying to redefine 'x'"}},
      {"*NORVO_MODULE *BIT x = (1)\n *BIT x = (2)\n", {"cfg:2: Trying to redefine 'x'"}},
  };
  for (const Case& test : cases) {
    InProcessCompile compile(std::string(test.text) + "*END\n");
    RunOutput output = compile.loadAndGenerate();
    for (const char* message : test.messages)
      EXPECT_NE(output.out.find(message), std::string::npos) << test.text << output.out;
  }
}

TEST(ExpressionPrint, WritesTheTreeFullyParenthesised) {
  InProcessCompile compile(std::string(Names) +
                           "*NORVO_MODULE\n  *VALUE v = (a + b * 2 || -3 MIN (c))\n*END\n");
  ASSERT_EQ(compile.load().status, -1);
  auto* value = dynamic_cast<ModValue*>(compile.configuration.modules[0]->functions[0].get());
  ASSERT_NE(value, nullptr);
  std::string printed =
      testing_support::printedBy([&] { value->expression->print(stdout); });
  EXPECT_EQ(printed, "((a + (b * 2)) || (-3 MIN (c)))");
}

}  // namespace
}  // namespace plenum
