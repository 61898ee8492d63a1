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
class IdList;
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
#include "plenum/runtime/settings.h"
#include "plenum/language/diagnostics.h"
#include "plenum/language/identifier_phrases.h"
#include "plenum/model/configuration.h"
#include "plenum/model/input_boards.h"

using namespace plenum;

// Every error alternative: past five counted errors the parse gives up: the scanner
// then ends the input (see CompilerContext::parseStopRequested). A YYABORT here would
// drop the value this action has just taken over without freeing it.
#define RECOVERED()                                                  \
  do {                                                               \
    plenum::CompilerContext& c = plenum::context();                  \
    if (c.diagnosticCount > 5) c.parseStopRequested = true;          \
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
/* bison finds 141 shift/reduce and 115 reduce/reduce conflicts; the build checks both counts
 * (grammar_conflicts.cmake), so look at a new one (bison -Wcounterexamples) before changing
 * them. %expect cannot hold them: a deterministic parser takes no reduce/reduce count.
 * - Shift/reduce, resolved by shifting: statements with optional trailing items (norvo_module,
 *   serial_lcd, relays, input_decl, output_decl, kx64, kx64_analog, lyted_option,
 *   combination_action) and exp: a token that can continue the statement or expression
 *   continues it rather than ending it.
 * - Reduce/reduce, resolved by the rule that comes first: slcdmode's empty alternative
 *   (the most of both kinds) against ending the module's serial_lcd or its item list, so the
 *   statement ends and an empty mode is only taken inside braces; after an error in an *IF's
 *   relays, ifrelays ends the *IF rather than relays going on. */
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
  plenum::IdList* idList;
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


%type <number> midi_channel midi_note midi_controller program_change bit count sint
%type <numbers> bits bits3 midi_notes irange midi_truncate
%type <idList> id_list ids
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

/* Declarations of the function statements, relays, expressions and output boards. */
%code requires {
namespace plenum {
class Exp;
class Relays;
class ModRelay;
class ModOutputRank;
class PbusOutputDev;
}
}
%code {
#include "plenum/codegen/expressions.h"
#include "plenum/codegen/local_values.h"
#include "plenum/codegen/output_rank.h"
#include "plenum/codegen/relays.h"
#include "plenum/model/output_boards.h"
#include "plenum/model/relays_group.h"

namespace {
// A phrase value handed on to the model, which owns it from here.
std::unique_ptr<Exp> owned(Exp* expression) { return std::unique_ptr<Exp>(expression); }

template <class Node>
Exp* binary(const SourceLocation& where, Exp* left, Exp* right) {
  return new Node(where, owned(left), owned(right));
}

Relays* startRelays(ModRelay* first, const SourceLocation& where) {
  auto* group = new Relays(where);
  group->addBoardItem(first);
  return group;
}
}  // namespace
}
%union {
  plenum::Exp* exp;
  plenum::Relays* relays;
  plenum::ModRelay* relay;
  plenum::ModOutputRank* rank;
  plenum::PbusOutputDev* outputBoard;
}
%type <exp> exp
%type <relays> relays ifrelays
%type <relay> relay trap
%type <rank> rank
%type <outputBoard> output_board output_board_kind
%type <function> module_function output_decl
%destructor { delete $$; } <exp> <relays> <relay> <rank> <outputBoard>

/* Controller inputs, couplers and their kin, output bits and commands: declarations. */
%code requires {
namespace plenum {
class MidiCommand;
class ModCoupler;
class ModIncDec;
class ModNoteCmd;
class ModOutputBit;
class ModOutputOneOfN;
class ModPizz;
class ModReit;
class ModSostenuto;
class ModWhenCmd;
}
}
%code {
#include "plenum/codegen/couplers.h"
#include "plenum/codegen/inc_dec.h"
#include "plenum/codegen/midi_commands.h"
#include "plenum/codegen/note_command.h"
#include "plenum/codegen/output_bits.h"
#include "plenum/codegen/pizz_reit.h"
#include "plenum/codegen/sostenuto.h"
#include "plenum/codegen/transposer.h"
#include "plenum/codegen/when_command.h"

namespace {
// A MIDI command whose message is a literal; the literal's text is consumed.
MidiCommand* literalCommand(const SourceLocation& where, Exp* condition, LiteralMessage kind,
                            std::string* literal, int value) {
  std::unique_ptr<std::string> text(literal);
  return literalMidiCommand(where, condition, kind, *text, value);
}
}  // namespace
}
%union {
  plenum::ModIncDec* incDec;
  plenum::ModPizz* pizz;
  plenum::ModReit* reit;
  plenum::ModSostenuto* sostenuto;
  plenum::ModCoupler* coupler;
  plenum::ModNoteCmd* noteCommand;
  plenum::ModWhenCmd* whenCommand;
  plenum::MidiCommand* midiCommand;
  plenum::ModOutputBit* outputBit;
  plenum::ModOutputOneOfN* oneOfN;
}
%type <control> control apc
%type <incDec> inc_dec
%type <pizz> pizz
%type <reit> reit
%type <sostenuto> sostenuto
%type <coupler> coupler
%type <noteCommand> note_command
%type <whenCommand> when_command
%type <midiCommand> midi_command
%type <outputBit> output_bit
%type <oneOfN> one_of_n
%destructor { delete $$; } <incDec> <pizz> <reit> <sostenuto> <coupler> <noteCommand> <whenCommand> <midiCommand> <outputBit> <oneOfN>

/* Lighted stops and the serial LCD: declarations. */
%code requires {
namespace plenum {
class PbusLytedStop;
class PbusSerialLcd;
class LcdGroup;
class LcdAtom;
}
}
%code {
#include "plenum/model/lcd_atom.h"
#include "plenum/model/lighted_stops.h"
#include "plenum/model/serial_lcd.h"

namespace {
// An LCD item phrase's value, owned by its group from here.
std::unique_ptr<LcdAtom> ownedAtom(LcdAtom* atom) { return std::unique_ptr<LcdAtom>(atom); }

LcdGroup* startLcdGroup(const SourceLocation& where, LcdAtom* first) {
  auto* group = new LcdGroup(where);
  if (first) group->add(ownedAtom(first));
  return group;
}

LcdAtom* lcdText(const SourceLocation& where, std::string* text) {
  std::unique_ptr<std::string> owned(text);
  return LcdAtom::text(where, owned.get()).release();
}
}  // namespace
}
%union {
  plenum::PbusLytedStop* lytedStop;
  plenum::PbusSerialLcd* serialLcd;
  plenum::LcdGroup* lcdGroup;
  plenum::LcdAtom* lcdAtom;
}
%type <lytedStop> lyted_stop lyted_stop_wide
%type <inputBit> lyted_bit
%type <serialLcd> serial_lcd
%type <lcdGroup> slcds if_serial_lcd
%type <lcdAtom> slcd
%destructor { delete $$; } <lytedStop> <serialLcd> <lcdGroup> <lcdAtom>


/* Combination action and blind combination action: declarations. */
%code requires {
namespace plenum {
class CombinationAction;
class DualMagTab;
class BlindCombinationAction;
}
}
%code {
#include "plenum/model/combination_action.h"
}
%union {
  plenum::CombinationAction* combinationAction;
  plenum::DualMagTab* dualMagTab;
  plenum::BlindCombinationAction* blindAction;
}
%type <combinationAction> combination_action
%type <dualMagTab> dual_mag_tab
%type <blindAction> blind_combination_action
%type <outputBit> magnet_output
%destructor { delete $$; } <combinationAction> <dualMagTab> <blindAction>
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
  | norvo_module control { $$ = $1; $$->addFunction($2); }
  | norvo_module apc { $$ = $1; $$->addFunction($2); }
  | norvo_module midi_truncate { $$ = $1; $$->setTruncation($2.first + 1, $2.second); }
  | norvo_module NO_RUNNING_STATUS { $$ = $1; $$->setNoRunningStatus(); }
  | norvo_module MIDI_VERBATIM_ECHO { $$ = $1; $$->setVerbatimEcho(); }
  | norvo_module BREAK { $$ = $1; }
  | norvo_module error { $$ = $1; RECOVERED(); }
  ;

kx64
  : KX64 { $$ = new PbusKx64(@1); }
  | kx64 input_decl { $$ = $1; $$->addBoardItem($2); }
  | kx64 inc_dec { $$ = $1; $$->addBoardItem($2); }
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
  | kx64_analog control { $$ = $1; $$->addBoardItem($2); }
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
  | control { $$ = $1; }
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

/* Couplers, transposer, sostenuto, pizzicato and reiteration: statements of a module that
 * work on whole divisions. */
pizz
  : PIZZ '=' id { $$ = new ModPizz(@1, $3); }
  | pizz '(' exp ')' { $$ = $1; $$->setExpression($3); }
  | pizz DIVISION '=' id { $$ = $1; $$->setDivision($4); }
  | pizz midi_channel { $$ = $1; $$->setChannel($2); }
  | pizz MIDI_OFFSET '=' sint { $$ = $1; $$->setMidiOffset($4); }
  | pizz DELAY '=' INT { $$ = $1; $$->setDelay($4, $4); }
  | pizz DELAY '=' INT ',' INT { $$ = $1; $$->setDelay($4, $6); }
  ;

reit
  : REIT '=' id { $$ = new ModReit(@1, $3); }
  | reit '(' exp ')' { $$ = $1; $$->setExpression($3); }
  | reit DIVISION '=' id { $$ = $1; $$->setDivision($4); }
  | reit midi_channel { $$ = $1; $$->setChannel($2); }
  | reit MIDI_OFFSET '=' sint { $$ = $1; $$->setMidiOffset($4); }
  | reit RATE '=' INT { $$ = $1; $$->setRate($4, $4); }
  | reit RATE '=' INT ',' INT { $$ = $1; $$->setRate($4, $6); }
  ;

sostenuto
  : SOSTENUTO { $$ = new ModSostenuto(@1); }
  | sostenuto '(' exp ')' { $$ = $1; $$->setExpression($3); }
  | sostenuto DIVISION '=' id { $$ = $1; $$->setDivision($4); }
  ;

coupler
  : COUPLER '(' exp ')' id TO id { $$ = new ModCoupler(@1, $3, $5, $7); }
  | coupler OFFSET '=' sint { $$ = $1; $$->offset = $4; }
  ;

/* Output bits and conditional commands. */
output_bit
  : OUTPUT_BIT { $$ = new ModOutputBit(@1); }
  | output_bit bit { $$ = $1; $$->setBit($2); }
  | output_bit '(' exp ')' { $$ = $1; $$->setExpression($3); }
  | output_bit error { $$ = $1; RECOVERED(); }
  ;

one_of_n
  : ONE_OF_N { $$ = new ModOutputOneOfN(@1); }
  | one_of_n bits { $$ = $1; $$->setBits($2.first, $2.second); }
  | one_of_n CANCEL '=' id { $$ = $1; $$->setCancel($4); }
  | one_of_n SET '=' id { $$ = $1; $$->addSet($4); }
  ;

note_command
  : SEND_NOTE '=' id '(' exp ')' { $$ = new ModNoteCmd(@1, $3, $5); }
  | note_command midi_channel { $$ = $1; $$->setChannel($2); }
  | note_command midi_note { $$ = $1; $$->setNote($2); }
  | note_command literal_note { $$ = $1; $$->setChannel($2->channel); $$->setNote($2->number); }
  | note_command literal_program_change
      { $$ = $1; $$->setChannel($2->channel); $$->setProgramChange($2->number); }
  | note_command program_change { $$ = $1; $$->setProgramChange($2); }
  | note_command INVERT { $$ = $1; $$->setInvert(); }
  ;

when_command
  : WHEN '(' id ')' id '=' '(' exp ')' { $$ = new ModWhenCmd(@1, $3, nullptr, $5, $8); }
  | WHEN '(' id ')' IF '(' exp ')' id '=' '(' exp ')'
      { $$ = new ModWhenCmd(@1, $3, $7, $9, $12); }
  | WHEN '(' id ')' VALUE id '=' '(' exp ')' { $$ = new ModWhenCmdV(@1, $3, nullptr, $6, $9); }
  | WHEN '(' id ')' IF '(' exp ')' VALUE id '=' '(' exp ')'
      { $$ = new ModWhenCmdV(@1, $3, $7, $10, $13); }
  ;

/* A short MIDI message sent when the condition turns true: numbers, a literal, or a
 * named system or channel-mode message. */
midi_command
  : MIDI_COMMAND '(' exp ')' INT { $$ = midiBytesCommand(@1, $3, 1, $5); }
  | MIDI_COMMAND '(' exp ')' INT ',' INT { $$ = midiBytesCommand(@1, $3, 2, $5, $7); }
  | MIDI_COMMAND '(' exp ')' INT ',' INT ',' INT
      { $$ = midiBytesCommand(@1, $3, 3, $5, $7, $9); }
  | MIDI_COMMAND '(' exp ')' L_NOTE ',' INT
      { $$ = literalCommand(@1, $3, LiteralMessage::Note, $5, $7); }
  | MIDI_COMMAND '(' exp ')' L_PCHANGE
      { $$ = literalCommand(@1, $3, LiteralMessage::ProgramChange, $5, 0); }
  | MIDI_COMMAND '(' exp ')' L_CONTROLLER ',' INT
      { $$ = literalCommand(@1, $3, LiteralMessage::Controller, $5, $7); }
  | MIDI_COMMAND '(' exp ')' SYSTEM_RESET { $$ = systemResetCommand(@1, $3); }
  | MIDI_COMMAND '(' exp ')' LOCAL_CONTROL_OFF INT
      { $$ = channelModeCommand(@1, $3, $6, LocalControl, 0); }
  | MIDI_COMMAND '(' exp ')' LOCAL_CONTROL_ON INT
      { $$ = channelModeCommand(@1, $3, $6, LocalControl, 127); }
  | MIDI_COMMAND '(' exp ')' ALL_NOTES_OFF INT
      { $$ = channelModeCommand(@1, $3, $6, AllNotesOff, 0); }
  | MIDI_COMMAND '(' exp ')' OMNI_MODE_OFF INT
      { $$ = channelModeCommand(@1, $3, $6, OmniModeOff, 0); }
  | MIDI_COMMAND '(' exp ')' OMNI_MODE_ON INT
      { $$ = channelModeCommand(@1, $3, $6, OmniModeOn, 0); }
  | MIDI_COMMAND '(' exp ')' MONO_MODE_ON INT ',' INT
      { $$ = channelModeCommand(@1, $3, $6, MonoModeOn, $8); }
  | MIDI_COMMAND '(' exp ')' POLY_MODE_ON INT
      { $$ = channelModeCommand(@1, $3, $6, PolyModeOn, 0); }
  ;

/* Controller inputs: a controller under an input board or in the module (the module's
 * analog pins), a program-change sender on the module's analog pins, and the
 * increment-decrement buttons of a KX-64 board. */
control
  : CONTROL { $$ = new ModInControl(@1); }
  | CONTROL '=' id { $$ = new ModInControl(@1); $$->bindName($3, BindDefinition); }
  | control midi_channel { $$ = $1; $$->setChannel($2); }
  | control bit { $$ = $1; $$->setBit($2); }
  | control midi_controller { $$ = $1; $$->setController($2); }
  | control literal_controller
      { $$ = $1; $$->setChannel($2->channel); $$->setController($2->number); }
  | control irange { $$ = $1; $$->setRange($2.first, $2.second); }
  | control ONE_OF_N '=' INT ',' INT { $$ = $1; $$->setOneOfN($4, $6); }
  | control BINARY '=' INT ',' INT { $$ = $1; $$->setBinary($4, $6); }
  | control '(' exp ')' { $$ = $1; $$->setExpression($3); }
  | control error { $$ = $1; RECOVERED(); }
  ;

apc
  : SEND_PROGRAM_CHANGE { $$ = new ModApc(@1); }
  | apc midi_channel { $$ = $1; $$->setChannel($2); }
  | apc bit { $$ = $1; $$->setBit($2); }
  | apc irange { $$ = $1; $$->setRange($2.first, $2.second); }
  | apc '(' exp ')' { $$ = $1; $$->setExpression($3); }
  | apc error { $$ = $1; RECOVERED(); }
  ;

inc_dec
  : INCREMENT_DECREMENT '=' id { $$ = new ModIncDec(@1); $$->bindName($3, BindDefinition); }
  | inc_dec bits { $$ = $1; $$->setBits($2.first, $2.second); }
  | inc_dec irange { $$ = $1; $$->setRange($2.first, $2.second); }
  | inc_dec INIT '=' INT { $$ = $1; $$->setInitialValue($4); }
  | inc_dec midi_channel { $$ = $1; $$->setChannel($2); }
  | inc_dec midi_controller { $$ = $1; $$->setController($2); }
  | inc_dec literal_controller
      { $$ = $1; $$->setChannel($2->channel); $$->setController($2->number); }
  | inc_dec error { $$ = $1; RECOVERED(); }
  ;

id
  : ID { $$ = $1; }
  | L_NOTE { $$ = takeText($1, noteLiteralIdentifier, @1); }
  | L_PCHANGE { $$ = takeText($1, programLiteralIdentifier, @1); }
  | L_CONTROLLER { $$ = takeText($1, controllerLiteralIdentifier, @1); }
  ;

id_list
  : '[' ids ']' { $$ = $2; }
  ;

/* The list is kept with the run's loose elements from its first name on. */
ids
  : id { $$ = keepLoose(std::make_unique<IdList>(@1)); $$->add(*$1); }
  | ids ',' id { $$ = $1; $$->add(*$3); }
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
count : COUNT '=' INT { $$ = $3; } ;
irange : RANGE '=' INT ',' INT { $$ = NumberList{$3, $5, 0}; } ;
/* The channel index (the number written minus 1) and the value. */
midi_truncate : MIDI_CHANNEL_TRUNCATE '=' INT ',' INT { $$ = NumberList{$3 - 1, $5, 0}; } ;
sint
  : INT { $$ = $1; }
  | '-' INT { $$ = -$2; }
  | '+' INT { $$ = $2; }
  ;
literal_note : L_NOTE { $$ = makeLiteral(Literal::Note, $1, @1); } ;
literal_controller : L_CONTROLLER { $$ = makeLiteral(Literal::Controller, $1, @1); } ;
literal_program_change : L_PCHANGE { $$ = makeLiteral(Literal::ProgramChange, $1, @1); } ;

/* ---- Function statements: the items of a module statement that are not boards ---- */

/* A module item that is a function statement. A statement that needs its module while
 * it is read finds it as $<module>0; one that has joined the module by itself (a local
 * bit or byte) yields null. Each added statement then finishes itself. */
norvo_module
  : norvo_module module_function
      {
        $$ = $1;
        if ($2) {
          $$->addFunction($2);
          $2->finish();
        }
      }
  | norvo_module relays { $$ = $1; $$->addDevice($2); }
  | norvo_module ifrelays { $$ = $1; $$->addDevice($2); }
  | norvo_module midi_command { $$ = $1; $$->addMidiCommand($2); }
  | norvo_module output_board { $$ = $1; $$->addDevice($2); }
  ;

module_function
  : BIT id '=' '(' exp ')' { assignLocalBit($2, *$<module>0, @1, owned($5)); $$ = nullptr; }
  | VALUE id '=' '(' exp ')' { assignLocalValue($2, *$<module>0, @1, owned($5)); $$ = nullptr; }
  /* Couplers and their kin, note and when commands. */
  | pizz { $$ = $1; }
  | reit { $$ = $1; }
  | sostenuto { $$ = $1; }
  | coupler { $$ = $1; }
  | TRANSPOSE '(' exp ')' { $$ = new ModTranspose(@1, $3); }
  | note_command { $$ = $1; }
  | when_command { $$ = $1; $1->bindTarget(*$<module>0); }
  ;

/* ---- Relays: groups of relay and trap statements, plain or under IF / ELSE ---- */

/* Listed before the group's own recovery so that an error inside the braces is the IF's. */
ifrelays
  : IF '(' exp ')' '{' relays '}' { $$ = $6; $$->condition = owned($3); }
  | IF '(' exp ')' '{' relays '}' ELSE '{' relays '}'
      {
        $$ = $6;
        $$->condition = owned($3);
        $$->elseGroup.reset($10);
      }
  | IF '(' exp ')' '{' relays error
      {
        reportHere("Error in IF statement");
        delete $3;
        $$ = $6;
        RECOVERED();
      }
  ;

relays
  : relay { $$ = startRelays($1, @1); }
  | trap { $$ = startRelays($1, @1); }
  | relays relay { $$ = $1; $$->addBoardItem($2); }
  | relays trap { $$ = $1; $$->addBoardItem($2); }
  | relays error { $$ = $1; RECOVERED(); }
  ;

relay
  : RELAY { $$ = new ModRelay(@1); }
  | BASS { $$ = new ModBassRelay(@1); }
  | MELODY { $$ = new ModMelodyRelay(@1); }
  | relay relay_option { $$ = $1; }
  | relay MIDI_OFFSET '=' sint { $$ = $1; $$->setMidiOffset($4); }
  | relay OFFSET '=' sint { $$ = $1; $$->setMidiOffset($4); }
  | relay RANK '=' id ',' INT ',' INT { $$ = $1; $$->setRank($4, $6, $8); }
  | relay VELOCITY '(' exp ')' { $$ = $1; $$->velocity = owned($4); }
  | relay error { $$ = $1; RECOVERED(); }
  ;

/* A trap keeps its note, or its bit on a rank, where a relay keeps its offset. */
trap
  : TRAP { $$ = new ModTrapRelay(@1); }
  | trap relay_option { $$ = $1; }
  | trap midi_note { $$ = $1; $$->setMidiOffset($2); }
  | trap literal_note { $$ = $1; $$->setChannel($2->channel); $$->setMidiOffset($2->number); }
  | trap bit { $$ = $1; $$->setMidiOffset($2); }
  | trap error { $$ = $1; RECOVERED(); }
  ;

/* The options of relays and traps alike; $<relay>0 is the statement they follow. */
relay_option
  : DIVISION '=' id { $<relay>0->setDivision($3); }
  | '(' exp ')' { $<relay>0->condition = owned($2); }
  | TAB '=' id { $<relay>0->addTab($3, true); }
  | TAB '=' '!' id { $<relay>0->addTab($4, false); }
  | midi_channel { $<relay>0->setChannel($1); }
  | RANK '=' id { $<relay>0->setRank($3); }
  ;

/* ---- Expressions ---- */

exp
  : INT { $$ = new ExpInt(@1, $1); }
  | id { $$ = new ExpId(@1, $1); }
  | '(' exp ')' { $$ = new ExpParen(@1, owned($2)); }
  | '!' exp { $$ = new ExpNot(@1, owned($2)); }
  | '~' exp { $$ = new ExpCom(@1, owned($2)); }
  | '-' exp %prec UNARY { $$ = makeNegation(@1, owned($2)).release(); }
  | '+' exp %prec UNARY { $$ = $2; }
  | exp '*' exp { $$ = binary<ExpMul>(@1, $1, $3); }
  | exp '/' exp { $$ = binary<ExpDiv>(@1, $1, $3); }
  | exp '%' exp { $$ = binary<ExpMod>(@1, $1, $3); }
  | exp '+' exp { $$ = binary<ExpAdd>(@1, $1, $3); }
  | exp '-' exp { $$ = binary<ExpSub>(@1, $1, $3); }
  | exp MIN exp { $$ = binary<ExpMin>(@1, $1, $3); }
  | exp MAX exp { $$ = binary<ExpMax>(@1, $1, $3); }
  | exp SHL exp { $$ = binary<ExpSl>(@1, $1, $3); }
  | exp SHR exp { $$ = binary<ExpSr>(@1, $1, $3); }
  | exp '<' exp { $$ = binary<ExpLt>(@1, $1, $3); }
  | exp LEQ exp { $$ = binary<ExpLeq>(@1, $1, $3); }
  | exp '>' exp { $$ = binary<ExpGt>(@1, $1, $3); }
  | exp GEQ exp { $$ = binary<ExpGeq>(@1, $1, $3); }
  | exp EQ exp { $$ = binary<ExpEq>(@1, $1, $3); }
  | exp NEQ exp { $$ = binary<ExpNeq>(@1, $1, $3); }
  | exp '&' exp { $$ = binary<ExpAnd>(@1, $1, $3); }
  | exp '^' exp { $$ = binary<ExpXor>(@1, $1, $3); }
  | exp '|' exp { $$ = binary<ExpOr>(@1, $1, $3); }
  | exp ANDAND exp { $$ = binary<ExpAndand>(@1, $1, $3); }
  | exp OROR exp { $$ = binary<ExpOror>(@1, $1, $3); }
  | exp error { $$ = $1; RECOVERED(); }
  ;

/* ---- Output boards and their declarations ---- */

output_board
  : output_board_kind { $$ = $1; }
  | output_board_kind '=' id { $$ = $1; $$->bindName($3, BindDefinition); }
  | output_board name { $$ = $1; $$->bindName($2, BindDefinition); }
  | output_board output_decl { $$ = $1; $$->addBoardItem($2); }
  | output_board error { $$ = $1; RECOVERED(); }
  ;

output_board_kind
  : MQ32 { $$ = new PbusOutMq32(@1); }
  | MQ64 { $$ = new PbusOutMq64(@1); }
  | MQ76 { $$ = new PbusOutMq76(@1); }
  | RANK_DRIVER { $$ = new PbusOutRankDriver(@1); }
  | RANK_DRIVER_128 { $$ = new PbusOutRankDriver128(@1); }
  | RANK_DRIVER_8 { $$ = new PbusOutRankDriver8(@1); }
  | OFFSET_DRIVER { $$ = new PbusOutOffset(@1); }
  ;

output_decl
  : rank { $$ = $1; }
  | output_bit { $$ = $1; }
  | one_of_n { $$ = $1; }
  | DMT_PULSE bit L_NOTE { $$ = new ModPulseCmd(@1, $2, *$3); delete $3; }
  ;

rank
  : RANK '=' id { $$ = new ModOutputRank(@1); $$->bindName($3, BindDefinition); }
  | rank bits { $$ = $1; $$->setBits($2.first, $2.second); }
  | rank error { $$ = $1; RECOVERED(); }
  ;

/* ---- Lighted stops and the serial LCD ---- */

norvo_module
  : norvo_module lyted_stop { $$ = $1; $$->addDevice($2); }
  | norvo_module lyted_stop_wide { $$ = $1; $$->addDevice($2); }
  | norvo_module serial_lcd { $$ = $1; $$->addDevice($2); }
  ;

/* Only the one-byte board has a single-row form. */
lyted_stop
  : LIGHTED_STOP { $$ = new PbusLytedStop(@1, PbusLytedStop::NarrowWidth); }
  | lyted_stop SINGLE_ROW { $$ = $1; $$->setSingleRow(); }
  | lyted_stop lyted_option { $$ = $1; }
  | lyted_stop error { $$ = $1; RECOVERED(); }
  ;

lyted_stop_wide
  : LIGHTED_STOP_32 { $$ = new PbusLytedStop(@1, PbusLytedStop::Width32); }
  | LIGHTED_STOP_40 { $$ = new PbusLytedStop(@1, PbusLytedStop::Width40); }
  | LIGHTED_STOP_64 { $$ = new PbusLytedStop(@1, PbusLytedStop::Width64); }
  | lyted_stop_wide lyted_option { $$ = $1; }
  | lyted_stop_wide error { $$ = $1; RECOVERED(); }
  ;

/* The options of every lighted-stop board; $<lytedStop>0 is the board. */
lyted_option
  : count { $<lytedStop>0->setCount($1); }
  | midi_channel { $<lytedStop>0->setChannel($1); }
  | midi_note { $<lytedStop>0->setNote($1); }
  | literal_note { $<lytedStop>0->setChannel($1->channel); $<lytedStop>0->setNote($1->number); }
  | lyted_bit { $<lytedStop>0->addLightedBit($1); }
  ;

lyted_bit
  : INPUT_BIT '=' id { $$ = new ModInputBit(@1); $$->bindName($3, BindDefinition); }
  | lyted_bit bit { $$ = $1; $$->setBit($2); }
  | lyted_bit error { $$ = $1; RECOVERED(); }
  ;

/* Consecutive items and mode phrases form one group; an IF makes a group of its own. */
serial_lcd
  : SERIAL_LCD { $$ = new PbusSerialLcd(@1); }
  | serial_lcd slcds { $$ = $1; $$->addItem($2); }
  | serial_lcd if_serial_lcd { $$ = $1; $$->addItem($2); }
  ;

if_serial_lcd
  : IF '(' exp ')' '{' slcds '}' { $$ = $6; $$->condition = owned($3); }
  | IF '(' exp ')' '{' slcds '}' ELSE '{' slcds '}'
      {
        $$ = $6;
        $$->condition = owned($3);
        $$->elseGroup.reset($10);
      }
  ;

slcds
  : slcd { $$ = startLcdGroup(@1, $1); }
  | slcdmode { $$ = startLcdGroup(@1, nullptr); }
  | slcds slcd { $$ = $1; $$->add(ownedAtom($2)); }
  | slcds slcdmode { $$ = $1; }
  ;

/* The display mode is one setting for the whole run: it carries into later boards.
   The empty mode lets braces hold nothing. Its conflicts resolve the usual way: after
   SERIAL_LCD or an item list the statement ends (its rules come first), and inside
   braces a token that can start an item or a mode is shifted. */
slcdmode
  : %empty
  | BINARY { setLcdBinary(); }
  | DECIMAL INT { setLcdDecimal($2, @1); }
  | DECIMAL { setLcdDecimal(); }
  | SIGNED { setLcdSigned(true); }
  | UNSIGNED { setLcdSigned(false); }
  | ONCE { setLcdOnce(true); }
  | ALWAYS { setLcdOnce(false); }
  ;

slcd
  : LINE INT { $$ = LcdAtom::line(@1, $2).release(); }
  | STRING { $$ = lcdText(@1, $1); }
  | '(' exp ')' { $$ = LcdAtom::value(@1, owned($2)).release(); }
  | CONTRAST '(' exp ')' { $$ = LcdAtom::contrast(@1, owned($3)).release(); }
  | BACKLIGHT '(' exp ')' { $$ = LcdAtom::backlight(@1, owned($3)).release(); }
  | BAR_GRAPH INT INT INT '(' exp ')'
      { $$ = LcdAtom::barGraph(@1, $2, $3, $4, owned($6)).release(); }
  ;


/* ---- Combination action: the configuration's one, and the blind one of a module ---- */

statement
  : combination_action { installCombinationAction($1); }
  ;

norvo_module
  : norvo_module blind_combination_action { $$ = $1; $$->addDevice($2); }
  ;

combination_action
  : COMBINATION_ACTION { $$ = new CombinationAction(@1); }
  | combination_action SET '=' id { $$ = $1; $$->setSetBit($4); }
  | combination_action MAP '=' id { $$ = $1; $$->setMapBit($4); }
  | combination_action PISTON '=' id { $$ = $1; $$->addPiston($4); }
  | combination_action dual_mag_tab { $$ = $1; $$->addTab($2); }
  | combination_action DUAL_MAG_TIME '=' INT { $$ = $1; $$->setDualMagTime($4); }
  | combination_action MEMORY_SELECT '=' id { $$ = $1; $$->setMemorySelect($4); }
  | combination_action MEMORY_SELECT '(' exp ')' { $$ = $1; $$->setMemorySelect($4); }
  | combination_action error { $$ = $1; RECOVERED(); }
  ;

/* = id and *NAME = id name the input bit the tab follows; they bind no name to the tab. */
dual_mag_tab
  : DUAL_MAG_TAB { $$ = new DualMagTab(@1); }
  | DUAL_MAG_TAB '=' id { $$ = new DualMagTab(@1); $$->setName($3); }
  | dual_mag_tab NAME '=' id { $$ = $1; $$->setName($4); }
  | dual_mag_tab ON '=' magnet_output { $$ = $1; $$->setOn($4); }
  | dual_mag_tab OFF '=' magnet_output { $$ = $1; $$->setOff($4); }
  | dual_mag_tab REVERSIBLE '=' id { $$ = $1; $$->addReversible($4); }
  | dual_mag_tab error { $$ = $1; RECOVERED(); }
  ;

/* An *ON or *OFF magnet: a board named before, a colon and the bit on that board. */
magnet_output
  : ID ':' INT
      {
        $$ = new ModOutputBit(@1);
        $$->bindName($1, BindReference);
        $$->setBit($3);
      }
  ;

blind_combination_action
  : BLIND_COMBINATION_ACTION { $$ = new BlindCombinationAction(@1); }
  | blind_combination_action SET '=' id { $$ = $1; $$->setSetBit($4); }
  | blind_combination_action MAP '=' id { $$ = $1; $$->setMapBit($4); }
  | blind_combination_action CANCEL '=' id { $$ = $1; $$->setCancelBit($4); }
  | blind_combination_action PISTON '=' id { $$ = $1; $$->addPiston($4); }
  | blind_combination_action TAB '=' id { $$ = $1; $$->addTab($4); }
  | blind_combination_action MEMORY_SELECT '=' id { $$ = $1; $$->setMemorySelect($4); }
  | blind_combination_action MEMORY_SELECT '(' exp ')' { $$ = $1; $$->setMemorySelect($4); }
  | blind_combination_action ADDITIVE { $$ = $1; $$->setAdditive(); }
  | blind_combination_action error { $$ = $1; RECOVERED(); }
  ;

%%
