#pragma once
// Expression trees: the values and conditions that statements take in parentheses.
// At generation a tree appends stack ops that leave one 8-bit value on the executive's
// evaluation stack; a conjunction of input bits can instead become relay pairs.

#include <cstddef>
#include <cstdio>
#include <memory>

#include "plenum/codegen/record_codes.h"
#include "plenum/model/element.h"

namespace plenum {

class ModuleProgram;
class NvPbusMod;

class Exp : public Element {
 public:
  using Element::Element;

  // The expression as the configuration listing writes it.
  virtual void print(std::FILE* out = stdout) const;
  virtual const char* opName() const;
  // Appends the code that leaves the value on the stack.
  virtual void generate(ByteString& list, NvPbusMod& module) const;
  // Appends the node's own operation; swapped when the operands were pushed in
  // reverse order (comparisons then test the other way round).
  virtual void operate(ByteString& list, NvPbusMod& module, bool swapped) const;
  // Code that pushes one value without needing the stack below it.
  virtual bool isSimple() const;
  // The operation gives the same result with its operands exchanged (after swapping).
  virtual bool canSwap() const;
  virtual bool isConstant() const;
  virtual int constantValue() const;
  // A conjunction of names and negated names: expressible as relay pairs.
  virtual bool isSimpleAnd() const;
  // Appends (offset, mask) pairs; a complemented offset marks a bit that must be off.
  virtual void simpleAnd(ByteString& pairs, ModuleProgram& program, NvPbusMod& module) const;
};

class ExpInt : public Exp {
 public:
  ExpInt(SourceLocation where, int value) : Exp(std::move(where)), value(value) {}

  void print(std::FILE* out = stdout) const override;
  void generate(ByteString& list, NvPbusMod& module) const override;
  bool isSimple() const override { return true; }
  bool isConstant() const override { return true; }
  int constantValue() const override { return value; }

  int value;
};

// A name: an input bit, a controller, a local bit or a local byte.
class ExpId : public Exp {
 public:
  // Reports "Identifier '%s' not defined" when the name is bound to nothing.
  ExpId(SourceLocation where, IdentifierRecord* name);

  void print(std::FILE* out = stdout) const override;
  void generate(ByteString& list, NvPbusMod& module) const override;
  bool isSimple() const override { return true; }
  bool isSimpleAnd() const override { return true; }
  void simpleAnd(ByteString& pairs, ModuleProgram& program, NvPbusMod& module) const override;

  Element* element;  // what the name was bound to when the expression was read
};

class ExpParen : public Exp {
 public:
  ExpParen(SourceLocation where, std::unique_ptr<Exp> operand)
      : Exp(std::move(where)), operand(std::move(operand)) {}

  void print(std::FILE* out = stdout) const override;
  void generate(ByteString& list, NvPbusMod& module) const override;
  bool isSimple() const override { return operand->isSimple(); }

  std::unique_ptr<Exp> operand;
};

class Exp1arg : public Exp {
 public:
  Exp1arg(SourceLocation where, std::unique_ptr<Exp> operand)
      : Exp(std::move(where)), operand(std::move(operand)) {}

  bool isSimple() const override { return operand->isSimple(); }

  std::unique_ptr<Exp> operand;
};

class ExpNot : public Exp1arg {
 public:
  using Exp1arg::Exp1arg;
  const char* opName() const override { return "!"; }
  void generate(ByteString& list, NvPbusMod& module) const override;
  bool isSimpleAnd() const override { return operand->isSimpleAnd(); }
  void simpleAnd(ByteString& pairs, ModuleProgram& program, NvPbusMod& module) const override;
};

class ExpCom : public Exp1arg {
 public:
  using Exp1arg::Exp1arg;
  const char* opName() const override { return "~"; }
  void generate(ByteString& list, NvPbusMod& module) const override;
};

class ExpNeg : public Exp1arg {
 public:
  using Exp1arg::Exp1arg;
  const char* opName() const override { return "-"; }
  void generate(ByteString& list, NvPbusMod& module) const override;
};

// A binary operation; located at its left operand.
class Exp2arg : public Exp {
 public:
  Exp2arg(SourceLocation where, std::unique_ptr<Exp> left, std::unique_ptr<Exp> right)
      : Exp(std::move(where)), left(std::move(left)), right(std::move(right)) {}

  void print(std::FILE* out = stdout) const override;
  // Evaluates both operands so that a right operand that needs the stack is never
  // computed on top of an evaluated left one: a temporary work byte holds one of them.
  void generate(ByteString& list, NvPbusMod& module) const override;

  std::unique_ptr<Exp> left;
  std::unique_ptr<Exp> right;
};

// The op name of a binary node, as a template argument.
template <std::size_t N>
struct OpSymbol {
  char text[N];
  constexpr OpSymbol(const char (&symbol)[N]) {  // NOLINT: implicit on purpose
    for (std::size_t i = 0; i < N; ++i) text[i] = symbol[i];
  }
};

// A binary node whose operation is one stack op. Comparisons name the op that tests
// the mirrored relation for operands pushed in reverse order; the others ignore it.
template <OpSymbol Symbol, RecordCode Op, RecordCode SwappedOp, bool Swappable>
class ExpBinaryOp : public Exp2arg {
 public:
  using Exp2arg::Exp2arg;
  const char* opName() const override { return Symbol.text; }
  void operate(ByteString& list, NvPbusMod&, bool swapped) const override {
    appendRecord(list, swapped ? SwappedOp : Op, {});
  }
  bool canSwap() const override { return Swappable; }
};

using ExpMul = ExpBinaryOp<"*", Smul, Smul, true>;
using ExpDiv = ExpBinaryOp<"/", Sdiv, Sdiv, false>;
using ExpMod = ExpBinaryOp<"%", Smod, Smod, false>;
using ExpAdd = ExpBinaryOp<"+", Sadd, Sadd, true>;
using ExpSub = ExpBinaryOp<"-", Ssub, Ssub, false>;
using ExpSl = ExpBinaryOp<"<<", Ssl, Ssl, false>;
using ExpSr = ExpBinaryOp<">>", Ssr, Ssr, false>;
using ExpMin = ExpBinaryOp<"MIN", Smin, Smin, true>;
using ExpMax = ExpBinaryOp<"MAX", Smax, Smax, true>;
using ExpLt = ExpBinaryOp<"<", Stlo, Sthi, true>;
using ExpLeq = ExpBinaryOp<"<=", Stls, Sths, true>;
using ExpGt = ExpBinaryOp<">", Sthi, Stlo, true>;
using ExpGeq = ExpBinaryOp<">=", Sths, Stls, true>;
using ExpEq = ExpBinaryOp<"==", Steq, Steq, true>;
using ExpNeq = ExpBinaryOp<"!=", Stne, Stne, true>;
using ExpXor = ExpBinaryOp<"^", Sxor, Sxor, true>;
using ExpOr = ExpBinaryOp<"|", Sor, Sor, true>;

// Bitwise and: also a conjunction of relay pairs when both sides are.
class ExpAnd : public ExpBinaryOp<"&", Sand, Sand, true> {
 public:
  using ExpBinaryOp::ExpBinaryOp;
  bool isSimpleAnd() const override { return left->isSimpleAnd() && right->isSimpleAnd(); }
  void simpleAnd(ByteString& pairs, ModuleProgram& program, NvPbusMod& module) const override;
};

// && and ||: the right operand is skipped when the left one decides; the result is
// turned into a boolean.
class ExpAndand : public Exp2arg {
 public:
  using Exp2arg::Exp2arg;
  const char* opName() const override { return "&&"; }
  void generate(ByteString& list, NvPbusMod& module) const override;
};

class ExpOror : public Exp2arg {
 public:
  using Exp2arg::Exp2arg;
  const char* opName() const override { return "||"; }
  void generate(ByteString& list, NvPbusMod& module) const override;
};

// Unary minus as the parser builds it: applied to an integer it negates the integer in
// place ("-5" is the constant -5), otherwise it makes an ExpNeg.
std::unique_ptr<Exp> makeNegation(SourceLocation where, std::unique_ptr<Exp> operand);

}  // namespace plenum
