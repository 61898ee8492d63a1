#include "plenum/language/scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <io.h>
#endif

#include "grammar.tab.hpp"
#include "plenum/language/number_literals.h"
#include "plenum/runtime/exits.h"

namespace plenum {
namespace {

// Readable names for the kinds the stream tests meet; failures print whole streams.
std::string kindName(int kind) {
  static const std::map<int, std::string> names = {
      {TOK_MIDI_CHANNEL, "MIDI_CHANNEL"}, {TOK_BIT, "BIT"},     {TOK_BITS, "BITS"},
      {TOK_END, "END"},                   {TOK_MIN, "MIN"},     {TOK_MAX, "MAX"},
      {TOK_SHL, "SHL"},                   {TOK_SHR, "SHR"},     {TOK_TO, "TO"},
      {TOK_EQ, "EQ"},                     {TOK_NEQ, "NEQ"},     {TOK_LEQ, "LEQ"},
      {TOK_GEQ, "GEQ"},                   {TOK_ANDAND, "ANDAND"}, {TOK_OROR, "OROR"},
      {TOK_YYUNDEF, "UNDEF"},             {TOK_ON, "ON"},       {TOK_ONCE, "ONCE"},
  };
  if (auto it = names.find(kind); it != names.end()) return it->second;
  if (kind > 0x20 && kind < 0x7F) return std::string("'") + static_cast<char>(kind) + "'";
  return "#" + std::to_string(kind);
}

std::string describe(const ScannedToken& token) {
  switch (token.kind) {
    case TOK_INT: return "INT(" + std::to_string(token.number) + ")";
    case TOK_ID: return "ID(" + token.identifier->name + ")";
    case TOK_STRING: return "STRING(" + token.text.value_or("<none>") + ")";
    case TOK_L_NOTE: return "L_NOTE(" + token.text.value_or("") + ")";
    case TOK_L_CONTROLLER: return "L_CONTROLLER(" + token.text.value_or("") + ")";
    case TOK_L_PCHANGE: return "L_PCHANGE(" + token.text.value_or("") + ")";
    default: return kindName(token.kind);
  }
}

// The token stream of a text, one description per token, separated by blanks.
std::string scan(std::string_view text) {
  CompilerContextScope fresh;
  std::string stream;
  for (const ScannedToken& token : scanText(text)) {
    if (!stream.empty()) stream += ' ';
    stream += describe(token);
  }
  return stream;
}

struct StreamCase {
  const char* input;
  const char* tokens;
};

void expectStreams(const std::vector<StreamCase>& cases) {
  for (const StreamCase& c : cases) {
    EXPECT_EQ(scan(c.input), c.tokens) << "input: " << c.input;
  }
}

struct KeywordCase {
  const char* word;
  int kind;
};

// Every keyword of the language, and the short forms that stand for another kind.
const std::vector<KeywordCase>& keywordTable() {
  static const std::vector<KeywordCase> table = {
    {"ADDITIVE", TOK_ADDITIVE},
    {"ALLEN_STOP", TOK_ALLEN_STOP},
    {"ALL_NOTES_OFF", TOK_ALL_NOTES_OFF},
    {"ALT_ACTION_INPUT", TOK_ALT_ACTION_INPUT},
    {"ALWAYS", TOK_ALWAYS},
    {"BACKLIGHT", TOK_BACKLIGHT},
    {"BAR_GRAPH", TOK_BAR_GRAPH},
    {"BASS", TOK_BASS},
    {"BINARY", TOK_BINARY},
    {"BIT", TOK_BIT},
    {"BITS", TOK_BITS},
    {"BLIND_COMBINATION_ACTION", TOK_BLIND_COMBINATION_ACTION},
    {"BREAK", TOK_BREAK},
    {"CANCEL", TOK_CANCEL},
    {"COMBINATION_ACTION", TOK_COMBINATION_ACTION},
    {"CONTRAST", TOK_CONTRAST},
    {"CONTROL", TOK_CONTROL},
    {"COUNT", TOK_COUNT},
    {"COUPLER", TOK_COUPLER},
    {"DECIMAL", TOK_DECIMAL},
    {"DEBOUNCE", TOK_DEBOUNCE},
    {"DELAY", TOK_DELAY},
    {"DIVISION", TOK_DIVISION},
    {"DMT_PULSE", TOK_DMT_PULSE},
    {"DUAL_MAG_TAB", TOK_DUAL_MAG_TAB},
    {"DUAL_MAG_TIME", TOK_DUAL_MAG_TIME},
    {"ELSE", TOK_ELSE},
    {"END", TOK_END},
    {"MATRIX_KBD", TOK_MATRIX_KBD},
    {"MQ32", TOK_MQ32},
    {"MQ64", TOK_MQ64},
    {"MQ76", TOK_MQ76},
    {"KX64", TOK_KX64},
    {"KX64_ANALOG", TOK_KX64_ANALOG},
    {"IF", TOK_IF},
    {"INIT", TOK_INIT},
    {"INCREMENT_DECREMENT", TOK_INCREMENT_DECREMENT},
    {"INPUT_64", TOK_INPUT_64},
    {"INPUT_64_PLUS5", TOK_INPUT_64_PLUS5},
    {"INPUT_96", TOK_INPUT_96},
    {"INPUT_BIT", TOK_INPUT_BIT},
    {"INPUT_HALL_32", TOK_INPUT_HALL_32},
    {"INVERT", TOK_INVERT},
    {"LINE", TOK_LINE},
    {"LIGHTED_STOP", TOK_LIGHTED_STOP},
    {"LIGHTED_STOP_32", TOK_LIGHTED_STOP_32},
    {"LIGHTED_STOP_40", TOK_LIGHTED_STOP_40},
    {"LIGHTED_STOP_64", TOK_LIGHTED_STOP_64},
    {"LOCAL_CONTROL_OFF", TOK_LOCAL_CONTROL_OFF},
    {"LOCAL_CONTROL_ON", TOK_LOCAL_CONTROL_ON},
    {"MAP", TOK_MAP},
    {"MEMORY_SELECT", TOK_MEMORY_SELECT},
    {"MIDI_CHANNEL", TOK_MIDI_CHANNEL},
    {"MIDI_VERBATIM_ECHO", TOK_MIDI_VERBATIM_ECHO},
    {"MELODY", TOK_MELODY},
    {"MIDI_CHANNEL_TRUNCATE", TOK_MIDI_CHANNEL_TRUNCATE},
    {"MIDI_COMMAND", TOK_MIDI_COMMAND},
    {"MIDI_CONTROLLER", TOK_MIDI_CONTROLLER},
    {"MIDI_INPUT_DEVICE", TOK_MIDI_INPUT_DEVICE},
    {"MIDI_OUTPUT_DEVICE", TOK_MIDI_OUTPUT_DEVICE},
    {"MIDI_NOTE", TOK_MIDI_NOTE},
    {"MIDI_NOTES", TOK_MIDI_NOTES},
    {"MIDI_OFFSET", TOK_MIDI_OFFSET},
    {"MONO_MODE_ON", TOK_MONO_MODE_ON},
    {"NAME", TOK_NAME},
    {"NEGATIVE_VOLTAGE", TOK_NEGATIVE_VOLTAGE},
    {"NO_INVERT", TOK_NO_INVERT},
    {"NO_REF64", TOK_NO_REF64},
    {"NO_RUNNING_STATUS", TOK_NO_RUNNING_STATUS},
    {"OFF", TOK_OFF},
    {"OFFSET", TOK_OFFSET},
    {"OFFSET_DRIVER", TOK_OFFSET_DRIVER},
    {"OMNI_MODE_OFF", TOK_OMNI_MODE_OFF},
    {"OMNI_MODE_ON", TOK_OMNI_MODE_ON},
    {"ON", TOK_ON},
    {"ONCE", TOK_ONCE},
    {"ONE_OF_N", TOK_ONE_OF_N},
    {"OUTPUT_BIT", TOK_OUTPUT_BIT},
    {"PISTON", TOK_PISTON},
    {"PIZZ", TOK_PIZZ},
    {"POLY_MODE_ON", TOK_POLY_MODE_ON},
    {"POSITIVE_VOLTAGE", TOK_POSITIVE_VOLTAGE},
    {"PROGRAM_CHANGE", TOK_PROGRAM_CHANGE},
    {"RANK", TOK_RANK},
    {"RANK_DRIVER", TOK_RANK_DRIVER},
    {"RANK_DRIVER_128", TOK_RANK_DRIVER_128},
    {"RANK_DRIVER_8", TOK_RANK_DRIVER_8},
    {"RANGE", TOK_RANGE},
    {"RATE", TOK_RATE},
    {"REIT", TOK_REIT},
    {"RELAY", TOK_RELAY},
    {"REVERSIBLE", TOK_REVERSIBLE},
    {"SEND_NOTE", TOK_SEND_NOTE},
    {"SEND_PROGRAM_CHANGE", TOK_SEND_PROGRAM_CHANGE},
    {"SERIAL_LCD", TOK_SERIAL_LCD},
    {"SET", TOK_SET},
    {"SIGNED", TOK_SIGNED},
    {"SINGLE_ROW", TOK_SINGLE_ROW},
    {"SOSTENUTO", TOK_SOSTENUTO},
    {"SYSTEM_RESET", TOK_SYSTEM_RESET},
    {"TAB", TOK_TAB},
    {"THRESHOLD", TOK_THRESHOLD},
    {"TRANSPOSE", TOK_TRANSPOSE},
    {"TRAP", TOK_TRAP},
    {"NORVO_MODULE", TOK_NORVO_MODULE},
    {"NORVO_MODULE_B", TOK_NORVO_MODULE_B},
    {"UNSIGNED", TOK_UNSIGNED},
    {"VALUE", TOK_VALUE},
    {"VELOCITY", TOK_VELOCITY},
    {"WHEN", TOK_WHEN},
    {"DIV", TOK_DIVISION},
    {"DMT", TOK_DUAL_MAG_TAB},
    {"INC_DEC", TOK_INCREMENT_DECREMENT},
    {"IBIT", TOK_INPUT_BIT},
    {"MCH", TOK_MIDI_CHANNEL},
    {"MCO", TOK_MIDI_CONTROLLER},
    {"MNO", TOK_MIDI_NOTE},
    {"MOF", TOK_MIDI_OFFSET},
    {"NEG_DRIVER", TOK_MQ64},
    {"SPC", TOK_SEND_PROGRAM_CHANGE},
    {"NORVO_MODULE_A", TOK_NORVO_MODULE},
  };
  return table;
}

std::string lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Upper and lower case alternating, from the first letter.
std::string mixedCase(std::string text) {
  bool upper = false;
  for (char& c : text) {
    auto u = static_cast<unsigned char>(c);
    c = static_cast<char>(upper ? std::toupper(u) : std::tolower(u));
    upper = !upper;
  }
  return text;
}

TEST(ScannerKeywords, EveryKeywordInAnyCaseIsOneTokenOfItsKind) {
  for (const KeywordCase& k : keywordTable()) {
    for (const std::string& word : {std::string(k.word), lowered(k.word), mixedCase(k.word)}) {
      CompilerContextScope fresh;
      std::vector<ScannedToken> tokens = scanText("*" + word);
      ASSERT_EQ(tokens.size(), 1u) << "*" << word;
      EXPECT_EQ(tokens[0].kind, k.kind) << "*" << word;
    }
  }
}

TEST(ScannerKeywords, StarStringIsAStringWithoutText) {
  CompilerContextScope fresh;
  std::vector<ScannedToken> tokens = scanText("*String");
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].kind, TOK_STRING);
  EXPECT_FALSE(tokens[0].text.has_value());
}

TEST(ScannerKeywords, KeywordsAreNotDelimited) {
  expectStreams({
      {"*BITSX", "BITS ID(X)"},
      {"*BIT5", "BIT INT(5)"},
      {"*ONCEE", "ONCE ID(E)"},
      {"*ON=1", "ON '=' INT(1)"},
      {"* MIDI_CHANNEL", "'*' ID(MIDI_CHANNEL)"},
      {"*NOT_A_KEYWORD", "'*' ID(NOT_A_KEYWORD)"},
      {"**END", "'*' END"},
      {"a*b", "ID(a) '*' ID(b)"},
      {"*mch=3", "MIDI_CHANNEL '=' INT(3)"},
  });
}

TEST(ScannerWords, OperatorWordsOnlyAsWholeWords) {
  expectStreams({
      {"MIN max Mod shl SHR to", "MIN MAX '%' SHL SHR TO"},
      {"MIN1 Minimum Tom tox mod5 TO_", "ID(MIN1) ID(Minimum) ID(Tom) ID(tox) ID(mod5) ID(TO_)"},
      {"a MOD b", "ID(a) '%' ID(b)"},
  });
}

TEST(ScannerWords, IdentifiersTakeTheirSpecialCharacters) {
  expectStreams({
      {"Swell_8#$?@x", "ID(Swell_8#$?@x)"},
      {"_x", "'_' ID(x)"},
      {"a.b", "ID(a) '.' ID(b)"},
  });
}

TEST(ScannerWords, IdentifierRecordsAreSharedByTextAndCaseSensitive) {
  CompilerContextScope fresh;
  std::vector<ScannedToken> tokens = scanText("Swell swell Swell");
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[0].identifier, tokens[2].identifier);
  EXPECT_NE(tokens[0].identifier, tokens[1].identifier);
  EXPECT_EQ(fresh.context().identifiers.size(), 2u);
}

TEST(ScannerLiterals, MidiLiteralsAndTheIdentifiersBesideThem) {
  expectStreams({
      {"c1n60 C01N060", "L_NOTE(c1n60) L_NOTE(C01N060)"},
      {"C2C7 c16c121", "L_CONTROLLER(C2C7) L_CONTROLLER(c16c121)"},
      {"C3P5 c1p0", "L_PCHANGE(C3P5) L_PCHANGE(c1p0)"},
      {"C1N60x C1N1_ C1N60#", "ID(C1N60x) ID(C1N1_) ID(C1N60#)"},
      {"C 1N60", "ID(C) INT(1) ID(N60)"},
      {"C1 C1N C1X60", "ID(C1) ID(C1N) ID(C1X60)"},
      {"1C2", "INT(1) ID(C2)"},
      {"C1N60,C1N61", "L_NOTE(C1N60) ',' L_NOTE(C1N61)"},
  });
}

TEST(ScannerNumbers, DecimalAndHexadecimal) {
  expectStreams({
      {"0x1F 0X1f", "INT(31) INT(31)"},
      {"0x", "INT(0) ID(x)"},
      {"0xg", "INT(0) ID(xg)"},
      {"12ab", "INT(12) ID(ab)"},
      {"1.5", "INT(1) '.' INT(5)"},
      {"010 007", "INT(10) INT(7)"},
      {"-5", "'-' INT(5)"},
      {"0x7FFFFFFF 0x80000000 0xFFFFFFFFFFFFFFFFFF", "INT(2147483647) INT(2147483647) INT(2147483647)"},
      {"2147483647 2147483648 99999999999999999999", "INT(2147483647) INT(2147483647) INT(2147483647)"},
      {"0x000000000000000001F", "INT(31)"},
  });
}

TEST(ScannerNumbers, SaturationDependsOnTheValueNotTheLength) {
  EXPECT_EQ(decimalLiteralValue("0000000000000000000000042"), 42);
  EXPECT_EQ(decimalLiteralValue("2147483646"), 2147483646);
  EXPECT_EQ(decimalLiteralValue("21474836470"), 2147483647);
  EXPECT_EQ(hexLiteralValue("00000000000000007fffffff"), 2147483647);
  EXPECT_EQ(hexLiteralValue("7ffffffe"), 2147483646);
  EXPECT_EQ(hexLiteralValue("aBcD"), 0xABCD);
}

TEST(ScannerStrings, TheStringCharacterSet) {
  expectStreams({
      {"\"abc\"", "STRING(\"abc\")"},
      {"\"\"", "STRING(\"\")"},
      {"\"Great 8' \\101!\"", "STRING(\"Great 8' \\101!\")"},
      {"\"abc\\\"", "STRING(\"abc\\\")"},
      {"\"a|b\"", "'\"' ID(a) '|' ID(b) '\"'"},
      {"\"a\tb\"", "'\"' ID(a) ID(b) '\"'"},
      {"\"z\" \"{\"", "STRING(\"z\") '\"' '{' '\"'"},
      {"\"~\"", "'\"' '~' '\"'"},
      {"\"\xC3\xA9\"", "'\"' #195 #169 '\"'"},
      {"\"ab\ncd\"", "'\"' ID(ab) ID(cd) '\"'"},
      {"\"a\" \"b\"", "STRING(\"a\") STRING(\"b\")"},
  });
}

TEST(ScannerSkipping, CommentsBlanksAndLineEnds) {
  expectStreams({
      {"; text", ""},
      {"a ; b \"c\" *END\nd", "ID(a) ID(d)"},
      {";\n;\n", ""},
      {"a\r\n\tb", "ID(a) ID(b)"},
  });
}

TEST(ScannerOperators, TwoCharacterOperatorsAndSingleCharacters) {
  expectStreams({
      {"== != <> <= >= << >> && ||", "EQ NEQ NEQ LEQ GEQ SHL SHR ANDAND OROR"},
      {"= < > ! ~ & | ^ + - / % ( ) { } [ ] : ,",
       "'=' '<' '>' '!' '~' '&' '|' '^' '+' '-' '/' '%' '(' ')' '{' '}' '[' ']' ':' ','"},
      {"=== <<= <>>", "EQ '=' SHL '=' NEQ '>'"},
      {"a<b", "ID(a) '<' ID(b)"},
  });
}

TEST(ScannerOperators, ANulByteIsAnInvalidTokenNotTheEnd) {
  CompilerContextScope fresh;
  std::vector<ScannedToken> tokens = scanText(std::string_view("a\0b", 3));
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[1].kind, TOK_YYUNDEF);
  EXPECT_EQ(tokens[2].identifier->name, "b");
}

TEST(ScannerLines, EveryTokenCarriesItsLine) {
  CompilerContextScope fresh;
  std::vector<ScannedToken> tokens =
      scanText("a\n\n\n\n\n\n\n\n\n\nb ; c\n\"s\" 5\r\n*END\n\n");
  std::vector<std::pair<std::string, int>> seen;
  for (const ScannedToken& t : tokens) seen.emplace_back(describe(t), t.line);
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, int>>{
                      {"ID(a)", 1}, {"ID(b)", 11}, {"STRING(\"s\")", 12}, {"INT(5)", 12},
                      {"END", 13}}));
  EXPECT_EQ(fresh.context().line, 15);
}

TEST(ScannerLines, LinesContinueFromTheContext) {
  CompilerContextScope fresh;
  fresh.context().line = 40;
  std::vector<ScannedToken> tokens = scanText("x\ny");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[0].line, 40);
  EXPECT_EQ(tokens[1].line, 41);
}

TEST(ScannerFailures, AReadErrorEndsTheRunWithStatusTwo) {
  CompilerContextScope fresh;
  fresh.context().setFileName("organ.cfg");
#ifdef _WIN32
  // Windows opens no directory as a stream; one whose descriptor is gone fails as well.
  const std::string path = ::testing::TempDir() + "plenum_scanner_read_error.cfg";
  { std::ofstream(path) << "x\n"; }
  std::FILE* directory = std::fopen(path.c_str(), "r");
  ASSERT_NE(directory, nullptr);
  _close(_fileno(directory));
#else
  // Reading a directory fails on Linux with EISDIR after a successful open.
  std::FILE* directory = std::fopen("/", "r");
  ASSERT_NE(directory, nullptr);
#endif
  setScannerInput(directory);
  testing::internal::CaptureStderr();
  int status = -1;
  try {
    yylex();
  } catch (const ExitRequest& request) {
    status = request.status;
  }
  std::string errors = testing::internal::GetCapturedStderr();
  std::fclose(directory);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(errors.rfind("organ.cfg:1: configuration file cannot be read: ", 0), 0u) << errors;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1);
}

}  // namespace
}  // namespace plenum
