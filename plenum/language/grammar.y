/* The configuration language grammar.
 *
 * Tokens are declared in the order in which syntax errors list what was acceptable
 * ("expecting X or Y"): bison numbers them by first appearance and lists them by number.
 * So the keyword block, then the operators in precedence order, then the punctuation:
 * keep new declarations out of these blocks, and declare new nonterminals' types after them.
 */

%{
// The parser stack never grows: deeper nesting is "memory exhausted".
#define YYINITDEPTH 200
#define YYMAXDEPTH 200
%}

%code requires {
#include <string>

#include "plenum/language/compiler_context.h"
#include "plenum/language/source_location.h"

namespace plenum {
class NvPbusMod;
class PbusInputDev;
class PbusKx64;
class PbusKx64A64;
class PbusIn64;
class ModFunction;
class ModInputBit;
class ModInputKbd;
class ModInControl;
class Literal;
}

// Two or three numbers of a value phrase (*BITS = first, count ...).
struct NumberList {
  int first;
  int second;
  int third;
};

// Every token and every phrase is located by file and line.
#define YYLTYPE plenum::SourceLocation
// A phrase takes the location of its first symbol; an empty phrase that of the symbol
// before it.
#define YYLLOC_DEFAULT(Current, Rhs, N) \
  do {                                  \
    if (N)                              \
      (Current) = YYRHSLOC(Rhs, 1);     \
    else                                \
      (Current) = YYRHSLOC(Rhs, 0);     \
  } while (0)
}

%code {
#include <memory>

#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/driver/settings.h"
#include "plenum/language/diagnostics.h"
#include "plenum/language/identifier_phrases.h"
#include "plenum/model/configuration.h"
#include "plenum/model/input_boards.h"

using namespace plenum;

// Every error alternative: past five counted errors the parse gives up.
#define RECOVERED()                                   \
  do {                                                \
    if (plenum::context().diagnosticCount > 5) YYABORT; \
  } while (0)

namespace {
template <class T>
T* takeText(std::string* text, T* (*make)(const std::string&, SourceLocation),
            const SourceLocation& where) {
  std::unique_ptr<std::string> owned(text);
  return make(*owned, where);
}

Literal* makeLiteral(int kind, std::string* text, const SourceLocation& where) {
  std::unique_ptr<std::string> owned(text);
  return keepLoose(std::make_unique<Literal>(static_cast<Literal::Kind>(kind), *owned, where));
}

// An id list after *INPUT_BIT = names no input bit; the form is refused at its line.
void refuseIdList(const SourceLocation& where) {
  reportAtLocation(where, "*INPUT_BIT = [ ... ] (a list of names) is not supported");
}
}  // namespace
}

%code provides {
// Reports a syntax error of the parser (defined in parser.cpp).
void yyerror(const char* message);
int yylex();
}

%define parse.error verbose
/* Options written after a statement continue it rather than end it (shift wins). */
%expect 7
%define parse.trace
%define api.token.prefix {TOK_}
%locations

/* Token values:
 *   INT                               number: the value, saturated to 2147483647
 *   ID                                identifier: the record of lookupIdentifier(text)
 *   STRING                            text: the matched text with both quotes, escapes
 *                                     not decoded; null for the keyword "*STRING"
 *   L_NOTE, L_CONTROLLER, L_PCHANGE   text: the literal as written ("C1N60")
 * Text values are newly allocated; the action that consumes one deletes it. */
%union {
  int number;
  std::string* text;
  plenum::IdentifierRecord* identifier;
  NumberList numbers;
  plenum::NvPbusMod* module;
  plenum::PbusInputDev* inputBoard;
  plenum::PbusKx64* kx64;
  plenum::PbusKx64A64* kx64Analog;
  plenum::PbusIn64* input64;
  plenum::ModFunction* function;
  plenum::ModInputBit* inputBit;
  plenum::ModInputKbd* division;
  plenum::ModInControl* control;
  plenum::Literal* literal;
}

%destructor { delete $$; } <text>

%token ADDITIVE ALLEN_STOP ALL_NOTES_OFF ALT_ACTION_INPUT ALWAYS ANDAND BACKLIGHT BAR_GRAPH
%token BASS BINARY BIT BITS BLIND_COMBINATION_ACTION BREAK CANCEL COMBINATION_ACTION CONTRAST
%token CONTROL COUNT COUPLER DEBOUNCE DECIMAL DELAY DIVISION DMT_PULSE DUAL_MAG_TAB
%token DUAL_MAG_TIME ELSE END MATRIX_KBD MQ32 MQ64 MQ76 KX64 KX64_ANALOG
%token <identifier> ID
%token IF INCREMENT_DECREMENT INIT INPUT_64 INPUT_64_PLUS5 INPUT_96 INPUT_BIT INPUT_HALL_32
%token <number> INT
%token INVERT
%token <text> L_NOTE L_CONTROLLER L_PCHANGE
%token LIGHTED_STOP LIGHTED_STOP_32 LIGHTED_STOP_40 LIGHTED_STOP_64 LINE LOCAL_CONTROL_OFF
%token LOCAL_CONTROL_ON MAP MELODY MEMORY_SELECT MIDI_CHANNEL MIDI_CHANNEL_TRUNCATE
%token MIDI_COMMAND MIDI_CONTROLLER MIDI_INPUT_DEVICE MIDI_OUTPUT_DEVICE MIDI_NOTE MIDI_NOTES
%token MIDI_OFFSET MIDI_VERBATIM_ECHO MONO_MODE_ON NAME NEGATIVE_VOLTAGE NO_INVERT NO_REF64
%token NO_RUNNING_STATUS OFF OFFSET OFFSET_DRIVER OMNI_MODE_OFF OMNI_MODE_ON ON ONCE ONE_OF_N
%token OROR OUTPUT_BIT PISTON PIZZ POLY_MODE_ON POSITIVE_VOLTAGE PROGRAM_CHANGE RANGE RANK
%token RANK_DRIVER RANK_DRIVER_128 RANK_DRIVER_8 RATE REIT RELAY REVERSIBLE SEND_NOTE
%token SEND_PROGRAM_CHANGE SERIAL_LCD SET SIGNED SINGLE_ROW SOSTENUTO
%token <text> STRING
%token SYSTEM_RESET TAB THRESHOLD TO TRANSPOSE TRAP NORVO_MODULE NORVO_MODULE_B UNSIGNED
%token VALUE VELOCITY WHEN

/* Operators from the loosest to the tightest binding; all binary ones left-associative. */
%left OROR ANDAND
%left '|'
%left '^'
%left '&'
%left EQ NEQ
%left '<' '>' LEQ GEQ
%left MIN MAX
%left SHL SHR
%left '+' '-'
%left '*' '/' '%'
%precedence '!' '~' UNARY

/* Punctuation, in the order the error messages list it. */
%token '=' ',' '(' ')' '{' '}' ':' '[' ']'


%type <number> midi_channel midi_note midi_controller program_change bit
%type <numbers> bits bits3 midi_notes
%type <identifier> id name
%type <module> norvo_module
%type <kx64> kx64
%type <kx64Analog> kx64_analog
%type <input64> input_64
%type <inputBoard> input_board
%type <function> input_decl allen_stop_command
%type <inputBit> input_bit external_note
%type <division> input_kbd external_division
%type <control> external_control
%type <literal> literal_note literal_controller literal_program_change
%destructor { delete $$; } <module> <kx64> <kx64Analog> <input64> <inputBoard> <function> <inputBit> <division> <control>

%%

input
  : external_midis statements END { YYACCEPT; }
  ;

statements
  : statement
  | statements statement
  ;

statement
  : norvo_module { context().currentConfiguration->addModule($1); }
  | config_command
  ;

config_command
  : MIDI_INPUT_DEVICE '=' INT { settings().inputDevice = $3; }
  | MIDI_OUTPUT_DEVICE '=' INT { settings().outputDevice = $3; }
  ;

external_midis
  : %empty
  | external_midis external_midi
  ;

external_midi
  : external_division { $1->finish(); keepLoose(std::unique_ptr<ModInputKbd>($1)); }
  | external_note { $1->finish(); keepLoose(std::unique_ptr<ModInputBit>($1)); }
  | external_control { $1->finish(); keepLoose(std::unique_ptr<ModInControl>($1)); }
  ;

external_division
  : DIVISION { $$ = new ModInputKbd(@1); }
  | DIVISION '=' id { $$ = new ModInputKbd(@1); $$->bindName($3, BindDefinition); }
  | external_division name { $$ = $1; $$->bindName($2, BindDefinition); }
  | external_division midi_channel { $$ = $1; $$->setChannel($2); }
  | external_division midi_notes { $$ = $1; $$->setBits(1, $2.second); $$->setNote($2.first); }
  | external_division error { $$ = $1; RECOVERED(); }
  ;

external_note
  : INPUT_BIT { $$ = new ModInputBit(@1); }
  | INPUT_BIT '=' id { $$ = new ModInputBit(@1); $$->bindName($3, BindDefinition); }
  | INPUT_BIT '=' id_list { refuseIdList(@1); $$ = new ModInputBit(@1); }
  | external_note name { $$ = $1; $$->bindName($2, BindDefinition); }
  | external_note midi_channel { $$ = $1; $$->setChannel($2); }
  | external_note midi_note { $$ = $1; $$->setNote($2); }
  | external_note program_change { $$ = $1; $$->setProgramChange($2); }
  | external_note literal_note { $$ = $1; $$->setChannel($2->channel); $$->setNote($2->number); }
  | external_note literal_program_change
      { $$ = $1; $$->setChannel($2->channel); $$->setProgramChange($2->number); }
  | external_note error { $$ = $1; RECOVERED(); }
  ;

external_control
  : CONTROL { $$ = new ModInControl(@1); }
  | CONTROL '=' id { $$ = new ModInControl(@1); $$->bindName($3, BindDefinition); }
  | external_control midi_channel { $$ = $1; $$->setChannel($2); }
  | external_control midi_controller { $$ = $1; $$->setController($2); }
  | external_control literal_controller
      { $$ = $1; $$->setChannel($2->channel); $$->setController($2->number); }
  | external_control error { $$ = $1; RECOVERED(); }
  ;

norvo_module
  : NORVO_MODULE { $$ = new NvPbusMod(@1); }
  | NORVO_MODULE_B { $$ = new NvPbusMod(@1); }
  | norvo_module kx64 { $$ = $1; $$->addDevice($2); }
  | norvo_module kx64_analog { $$ = $1; $$->addDevice($2); }
  | norvo_module input_64 { $$ = $1; $$->addDevice($2); }
  | norvo_module input_board { $$ = $1; $$->addDevice($2); }
  | norvo_module allen_stop_command { $$ = $1; $$->addFunction($2); }
  | norvo_module MIDI_CHANNEL_TRUNCATE '=' INT ',' INT { $$ = $1; $$->setTruncation($4, $6); }
  | norvo_module NO_RUNNING_STATUS { $$ = $1; $$->setNoRunningStatus(); }
  | norvo_module MIDI_VERBATIM_ECHO { $$ = $1; $$->setVerbatimEcho(); }
  | norvo_module BREAK { $$ = $1; }
  | norvo_module error { $$ = $1; RECOVERED(); }
  ;

kx64
  : KX64 { $$ = new PbusKx64(@1); }
  | kx64 input_decl { $$ = $1; $$->addBoardItem($2); }
  | kx64 THRESHOLD '=' INT { $$ = $1; $$->setThreshold($4); }
  | kx64 DEBOUNCE '=' INT { $$ = $1; $$->setDebounce($4); }
  | kx64 INVERT { $$ = $1; $$->setInvert(0xFF); }
  | kx64 NO_INVERT { $$ = $1; $$->setInvert(0); }
  | kx64 POSITIVE_VOLTAGE { $$ = $1; $$->setVoltage(0); }
  | kx64 NEGATIVE_VOLTAGE { $$ = $1; $$->setVoltage(0xFF); }
  | kx64 NO_REF64 { $$ = $1; $$->noRef64 = true; }
  | kx64 error { $$ = $1; RECOVERED(); }
  ;

kx64_analog
  : KX64_ANALOG { $$ = new PbusKx64A64(@1); }
  | kx64_analog NO_REF64 { $$ = $1; $$->noRef64 = true; }
  | kx64_analog error { $$ = $1; RECOVERED(); }
  ;

input_64
  : INPUT_64 { $$ = new PbusIn64(@1); }
  | input_64 INVERT { $$ = $1; $$->invert = true; }
  | input_64 input_decl { $$ = $1; $$->addBoardItem($2); }
  | input_64 error { $$ = $1; RECOVERED(); }
  ;

/* The input boards without options of their own. */
input_board
  : INPUT_64_PLUS5 { auto* board = new PbusIn64(@1); board->plus5 = true; $$ = board; }
  | INPUT_96 { $$ = new PbusIn96(@1); }
  | INPUT_HALL_32 { $$ = new PbusInHall32(@1); }
  | MATRIX_KBD { $$ = new PbusFatar(@1); }
  | input_board input_decl { $$ = $1; $$->addBoardItem($2); }
  | input_board error { $$ = $1; RECOVERED(); }
  ;

input_decl
  : input_kbd { $$ = $1; }
  | input_bit { $$ = $1; }
  ;

input_kbd
  : DIVISION { $$ = new ModInputKbd(@1); }
  | DIVISION '=' id { $$ = new ModInputKbd(@1); $$->bindName($3, BindDefinition); }
  | input_kbd name { $$ = $1; $$->bindName($2, BindDefinition); }
  | input_kbd midi_channel { $$ = $1; $$->setChannel($2); }
  | input_kbd bits { $$ = $1; $$->setBits($2.first, $2.second); }
  | input_kbd bits3 { $$ = $1; $$->setBits($2.first, $2.second, $2.third); }
  | input_kbd midi_note { $$ = $1; $$->setNote($2); }
  | input_kbd literal_note { $$ = $1; $$->setChannel($2->channel); $$->setNote($2->number); }
  | input_kbd error { $$ = $1; RECOVERED(); }
  ;

/* Input bits and alternate-action inputs take the same options. */
input_bit
  : INPUT_BIT { $$ = new ModInputBit(@1); }
  | INPUT_BIT '=' id { $$ = new ModInputBit(@1); $$->bindName($3, BindDefinition); }
  | INPUT_BIT '=' id_list { refuseIdList(@1); $$ = nullptr; YYERROR; }
  | ALT_ACTION_INPUT { $$ = new ModAltInputBit(@1); }
  | ALT_ACTION_INPUT '=' id { $$ = new ModAltInputBit(@1); $$->bindName($3, BindDefinition); }
  | input_bit name { $$ = $1; $$->bindName($2, BindDefinition); }
  | input_bit bit { $$ = $1; $$->setBit($2); }
  | input_bit midi_channel { $$ = $1; $$->setChannel($2); }
  | input_bit midi_note { $$ = $1; $$->setNote($2); }
  | input_bit literal_note { $$ = $1; $$->setChannel($2->channel); $$->setNote($2->number); }
  | input_bit literal_program_change
      { $$ = $1; $$->setChannel($2->channel); $$->setProgramChange($2->number); }
  | input_bit program_change { $$ = $1; $$->setProgramChange($2); }
  | input_bit INVERT { $$ = $1; $$->setInvert(); }
  | input_bit error { $$ = $1; RECOVERED(); }
  ;

allen_stop_command
  : ALLEN_STOP '=' id INT INT INT literal_note
      {
        auto* allen = new AllenStopCmd(@1, $4, $5, $6, $7->channel, $7->number);
        allen->bindName($3, BindDefinition);
        $$ = allen;
      }
  ;

id
  : ID { $$ = $1; }
  | L_NOTE { $$ = takeText($1, noteLiteralIdentifier, @1); }
  | L_PCHANGE { $$ = takeText($1, programLiteralIdentifier, @1); }
  | L_CONTROLLER { $$ = takeText($1, controllerLiteralIdentifier, @1); }
  ;

id_list
  : '[' ids ']'
  ;

ids
  : id { keepLoose(std::make_unique<IdList>(@1))->add(*$1); }
  | ids ',' id { auto* list = static_cast<IdList*>(context().looseElements.back().get()); list->add(*$3); }
  ;

name : NAME '=' ID { $$ = $3; } ;
midi_channel : MIDI_CHANNEL '=' INT { $$ = $3 - 1; } ;
midi_note : MIDI_NOTE '=' INT { $$ = $3; } ;
midi_controller : MIDI_CONTROLLER '=' INT { $$ = $3; } ;
program_change : PROGRAM_CHANGE '=' INT { $$ = $3; } ;
bit : BIT '=' INT { $$ = $3; } ;
bits : BITS '=' INT ',' INT { $$ = NumberList{$3, $5, 0}; } ;
bits3 : BITS '=' INT ',' INT ',' INT { $$ = NumberList{$3, $5, $7}; } ;
midi_notes : MIDI_NOTES '=' INT ',' INT { $$ = NumberList{$3, $5, 0}; } ;
literal_note : L_NOTE { $$ = makeLiteral(Literal::Note, $1, @1); } ;
literal_controller : L_CONTROLLER { $$ = makeLiteral(Literal::Controller, $1, @1); } ;
literal_program_change : L_PCHANGE { $$ = makeLiteral(Literal::ProgramChange, $1, @1); } ;

%%
