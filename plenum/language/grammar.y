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

%code provides {
// Reports a syntax error of the parser (defined in parser.cpp).
void yyerror(const char* message);
int yylex();
}

%define parse.error verbose
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

%%

/* Placeholder until the statement grammar lands: any tokens up to "*END". */
file
  : items END
  ;

items
  : %empty
  | items item
  ;

item
  : ID { (void)$1; }
  | INT { (void)$1; }
  | STRING { delete $1; }
  | L_NOTE { delete $1; }
  | L_CONTROLLER { delete $1; }
  | L_PCHANGE { delete $1; }
  | ADDITIVE | ALLEN_STOP | ALL_NOTES_OFF | ALT_ACTION_INPUT | ALWAYS | ANDAND
  | BACKLIGHT | BAR_GRAPH | BASS | BINARY | BIT | BITS | BLIND_COMBINATION_ACTION
  | BREAK | CANCEL | COMBINATION_ACTION | CONTRAST | CONTROL | COUNT | COUPLER
  | DEBOUNCE | DECIMAL | DELAY | DIVISION | DMT_PULSE | DUAL_MAG_TAB | DUAL_MAG_TIME
  | ELSE | MATRIX_KBD | MQ32 | MQ64 | MQ76 | KX64 | KX64_ANALOG | IF
  | INCREMENT_DECREMENT | INIT | INPUT_64 | INPUT_64_PLUS5 | INPUT_96 | INPUT_BIT
  | INPUT_HALL_32 | INVERT | LIGHTED_STOP
  | LIGHTED_STOP_32 | LIGHTED_STOP_40 | LIGHTED_STOP_64 | LINE | LOCAL_CONTROL_OFF
  | LOCAL_CONTROL_ON | MAP | MELODY | MEMORY_SELECT | MIDI_CHANNEL
  | MIDI_CHANNEL_TRUNCATE | MIDI_COMMAND | MIDI_CONTROLLER | MIDI_INPUT_DEVICE
  | MIDI_OUTPUT_DEVICE | MIDI_NOTE | MIDI_NOTES | MIDI_OFFSET | MIDI_VERBATIM_ECHO
  | MONO_MODE_ON | NAME | NEGATIVE_VOLTAGE | NO_INVERT | NO_REF64 | NO_RUNNING_STATUS
  | OFF | OFFSET | OFFSET_DRIVER | OMNI_MODE_OFF | OMNI_MODE_ON | ON | ONCE | ONE_OF_N
  | OROR | OUTPUT_BIT | PISTON | PIZZ | POLY_MODE_ON | POSITIVE_VOLTAGE
  | PROGRAM_CHANGE | RANGE | RANK | RANK_DRIVER | RANK_DRIVER_128 | RANK_DRIVER_8
  | RATE | REIT | RELAY | REVERSIBLE | SEND_NOTE | SEND_PROGRAM_CHANGE | SERIAL_LCD
  | SET | SIGNED | SINGLE_ROW | SOSTENUTO | SYSTEM_RESET | TAB | THRESHOLD
  | TO | TRANSPOSE | TRAP | NORVO_MODULE | NORVO_MODULE_B | UNSIGNED | VALUE | VELOCITY
  | WHEN
  | '|' | '^' | '&' | EQ | NEQ | '<' | '>' | LEQ | GEQ | MIN | MAX | SHL | SHR
  | '+' | '-' | '*' | '/' | '%' | '!' | '~' | '=' | ',' | '(' | ')' | '{' | '}' | ':'
  | '[' | ']'
  ;

%%
