#pragma once
// The output boards of the peripheral bus: serial drivers for magnets, pipe valves,
// lamps and relays. Each takes bytes of the module's output chain and offers output bits
// to the declarations written inside it (ranks, output bits, one-of-n outputs, pulse
// commands); a board that carries stop-tab magnets also drives the tabs.

#include "plenum/model/pbus_dev.h"

namespace plenum {

class PbusOutputDev : public PbusDev {
 public:
  using PbusDev::PbusDev;

  // The title line, then each declaration's line, indented.
  void print() const override;
  void generate(ModuleProgram& program) override;
  bool usesCombinationAction() const override;

  int tabCount = 0;  // running tab number while the board generates its tabs

 protected:
  virtual const char* title() const = 0;
};

class PbusOutMq32 : public PbusOutputDev {
 public:
  using PbusOutputDev::PbusOutputDev;
  int outputByteCount() const override { return 4; }
  int outputBitCount() const override { return 32; }

 protected:
  const char* title() const override { return "  MQ-32 serial output module"; }
};

// Also written *NEG_DRIVER.
class PbusOutMq64 : public PbusOutputDev {
 public:
  using PbusOutputDev::PbusOutputDev;
  int outputByteCount() const override { return 8; }
  int outputBitCount() const override { return 64; }

 protected:
  const char* title() const override { return "  MQ-64 serial output module"; }
};

class PbusOutMq76 : public PbusOutputDev {
 public:
  using PbusOutputDev::PbusOutputDev;
  int outputByteCount() const override { return 10; }
  int outputBitCount() const override { return 76; }

 protected:
  const char* title() const override { return "  MQ-76 serial output module"; }
};

// The 96-bit rank driver and the base of its 8- and 128-bit variants.
class PbusOutRankDriver : public PbusOutputDev {
 public:
  using PbusOutputDev::PbusOutputDev;
  void print() const override;
  int outputByteCount() const override { return 12; }
  int outputBitCount() const override { return 96; }

 protected:
  const char* title() const override { return "  Rank Driver module"; }
};

class PbusOutRankDriver8 : public PbusOutRankDriver {
 public:
  using PbusOutRankDriver::PbusOutRankDriver;
  void print() const override { PbusOutputDev::print(); }
  int outputByteCount() const override { return 1; }
  int outputBitCount() const override { return 8; }

 protected:
  const char* title() const override { return "  Rank Driver 8 bit module"; }
};

class PbusOutRankDriver128 : public PbusOutRankDriver {
 public:
  using PbusOutRankDriver::PbusOutRankDriver;
  void print() const override { PbusOutputDev::print(); }
  int outputByteCount() const override { return 16; }
  int outputBitCount() const override { return 128; }

 protected:
  const char* title() const override { return "  Rank Driver 128 bit module"; }
};

class PbusOutOffset : public PbusOutputDev {
 public:
  using PbusOutputDev::PbusOutputDev;
  int outputByteCount() const override { return 2; }
  int outputBitCount() const override { return 16; }

 protected:
  const char* title() const override { return "  Output Offset module"; }
};

}  // namespace plenum
