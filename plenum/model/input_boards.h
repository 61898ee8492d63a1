#pragma once
// The input boards of the peripheral bus: they deliver keys, switches and analog
// sensors to the module and hold the input declarations written inside their statement.

#include "plenum/model/pbus_dev.h"

namespace plenum {

// The base of every input board; never created by the parser.
class PbusInputDev : public PbusDev {
 public:
  using PbusDev::PbusDev;

  void print() const override;
  void generate(ModuleProgram& program) override;
  unsigned functionUse() const override;

  // Set only by INPUT_64's *INVERT: the board's declarations invert their sense.
  bool invert = false;

 protected:
  // The title line, then every declaration's line, indented.
  void printTitleAndItems(const char* title) const;
  // Each declaration's records, in declaration order.
  void generateItems(ModuleProgram& program);
};

// The KX-64 serial input board, configured through commands on its two output bytes.
class PbusKx64 : public PbusInputDev {
 public:
  using PbusInputDev::PbusInputDev;

  void print() const override;
  void generate(ModuleProgram& program) override;
  int outputByteCount() const override { return 2; }
  int inputByteCount() const override { return 2; }
  int inputBitCount() const override { return 64; }
  int boardKind() const override { return Kx64Board; }
  // Inputs 57 to 64 may be read as analog values.
  void markAnalogBit(int bit) override;

  // *THRESHOLD and *DEBOUNCE: 1 to 255; other values are reported and not taken.
  void setThreshold(int value);
  void setDebounce(int value);
  // *INVERT (255) and *NO_INVERT (0).
  void setInvert(int value);
  // *POSITIVE_VOLTAGE (0) and *NEGATIVE_VOLTAGE (255).
  void setVoltage(int value);

  unsigned analogMask = 0;  // bit k: input 57 + k is analog
  int threshold = -1;
  int debounce = -1;
  int invertSetting = -1;
  int voltage = -1;
  bool noRef64 = false;

 protected:
  // The board's own commands after its declarations' records.
  void sendCommand(ModuleProgram& program, int command, int value) const;
};

// The KX-64 board in 64-channel analog input mode.
class PbusKx64A64 : public PbusKx64 {
 public:
  using PbusKx64::PbusKx64;

  void print() const override;
  void generate(ModuleProgram& program) override;
  int boardKind() const override { return Kx64AnalogBoard; }
};

// 64 serial inputs (*INPUT_64 and *INPUT_64_PLUS5).
class PbusIn64 : public PbusInputDev {
 public:
  using PbusInputDev::PbusInputDev;

  void print() const override;
  void generate(ModuleProgram& program) override;
  int inputByteCount() const override { return 8; }
  int inputBitCount() const override { return 64; }

  bool plus5 = false;  // the board of *INPUT_64_PLUS5: its data arrive inverted
};

class PbusIn96 : public PbusInputDev {
 public:
  using PbusInputDev::PbusInputDev;

  void print() const override;
  void generate(ModuleProgram& program) override;
  int inputByteCount() const override { return 12; }
  int inputBitCount() const override { return 96; }
};

class PbusInHall32 : public PbusInputDev {
 public:
  using PbusInputDev::PbusInputDev;

  void print() const override;
  void generate(ModuleProgram& program) override;
  int inputByteCount() const override { return 4; }
  int inputBitCount() const override { return 32; }
};

// The matrix (Fatar) keyboard: 61 keys read through the alternate input records.
class PbusFatar : public PbusInputDev {
 public:
  using PbusInputDev::PbusInputDev;

  void print() const override;
  void generate(ModuleProgram& program) override;
  int inputByteCount() const override { return 2; }
  int inputBitCount() const override { return 61; }
  int boardKind() const override { return MatrixKeyboardBoard; }
};

}  // namespace plenum
