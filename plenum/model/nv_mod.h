#pragma once
// A Norvo module: its boards on the peripheral bus, its function statements, its work
// memory and the module program generated from all of them.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "plenum/codegen/module_program.h"
#include "plenum/model/element.h"

namespace plenum {

class ModFunction;
class MidiCommand;
class PbusDev;

constexpr int WorkMemoryBytes = 137;
constexpr int SystemFlagsByte = 0x40;
constexpr int OutputChainBits = 128;

// Function-use bits: which executive functions a module's statements need. Bits 1 and
// 2 exclude each other, and so do 4 and 8.
enum FunctionUse : unsigned {
  UseInputs = 1,
  UseOutputs = 2,
  UseRelays = 4,
  UseCombinationAction = 8,
};

// The module as the generators see it. Abstract; NvPbusMod is the module of a file.
class NvMod : public Element {
 public:
  NvMod();
  explicit NvMod(SourceLocation where);
  ~NvMod() override;

  // The configuration listing of the module.
  virtual void print() const = 0;
  // Generates the module program and returns its image.
  virtual const ByteString& generate() = 0;
  // Sets the number of memory banks and rebuilds the image.
  virtual void setBanks(int banks) = 0;
  // Reserves count consecutive work-memory bytes at or after start; returns the first.
  virtual int allocBytes(int count, int start) = 0;
  // A fresh bit address (byte address * 8 + bit) in work memory.
  virtual int allocBit() = 0;
  // Bytes that hold the on/off states of notes low to high of a channel index.
  virtual int noteStateBytes(ModuleProgram& program, int channel, int lowNote,
                             int highNote) = 0;
  // The bit that mirrors an input bit (channel index and note) declared elsewhere.
  virtual int remoteBitAddress(ModuleProgram& program, const ModFunction& inputBit,
                               int channel, int note) = 0;
  // Makes the next new remote bit start a fresh byte.
  virtual void newRemoteBitByte() = 0;
  // The byte that mirrors a controller (channel index, controller number); ownValueByte
  // is the controller's value byte when it generated in this module, else -1.
  virtual int remoteControllerAddress(ModuleProgram& program, const ModFunction& controller,
                                      int channel, int controllerNumber,
                                      int ownValueByte) = 0;

  // Scratch bytes for expression code: a released byte is handed out again first.
  int getWorkByte();
  void releaseWorkByte(int address);

  // ORs function-use bits into the mask, reporting an incompatible pair.
  void markFunctionUse(unsigned bits);

  void setNoRunningStatus() { runningStatus = false; }
  void setVerbatimEcho() { verbatimEcho = true; }

  bool runningStatus = true;
  bool verbatimEcho = false;
  bool hasRelayStatements = false;
  std::uint32_t functionUseMask = 0;
  std::vector<std::unique_ptr<ModFunction>> functions;

 protected:
  static constexpr int WorkBytePoolSize = 16;
  std::vector<int> workBytePool_;
};

struct RemoteBit {
  int channel;
  int note;
  int bitAddress;
};

struct NoteStateBytes {
  int channel;
  int lowNote;
  int highNote;
  int byteAddress;
};

struct RemoteController {
  int channel;
  int controller;
  int byteAddress;
};

// The module of one module statement; boards chain on its peripheral bus.
class NvPbusMod : public NvMod {
 public:
  NvPbusMod();
  explicit NvPbusMod(SourceLocation where);
  ~NvPbusMod() override;

  void print() const override;
  const ByteString& generate() override;
  void setBanks(int banks) override;
  int allocBytes(int count, int start) override;
  int allocBit() override;
  int noteStateBytes(ModuleProgram& program, int channel, int lowNote, int highNote) override;
  int remoteBitAddress(ModuleProgram& program, const ModFunction& inputBit, int channel,
                       int note) override;
  void newRemoteBitByte() override;
  int remoteControllerAddress(ModuleProgram& program, const ModFunction& controller,
                              int channel, int controllerNumber, int ownValueByte) override;

  // Parser operations. Each takes ownership of what it is given.
  void addDevice(PbusDev* board);
  void addFunction(ModFunction* function);
  void addMidiCommand(MidiCommand* command);
  // MIDI_CHANNEL_TRUNCATE: channel 1 to 16 as written, value 0 to 255.
  void setTruncation(int channel, int value);

  // The type letter learnt for this module's place on the chain ('B' when unknown), and
  // what it fixes.
  char typeLetter() const;
  int loadAddress() const;
  int pageSize() const;

  // The larger of the two chains.
  int chainSize() const;

  // Whether work-memory byte address is handed out (or reserved).
  bool isWorkByteUsed(int address) const;

  // Bytes of module memory for the program and its memory banks.
  int programArea() const;

  ModuleProgram program;
  int number = -1;  // position in the configuration, set by addModule
  std::vector<std::unique_ptr<PbusDev>> boards;
  int outputBytes = 0;
  int inputBytes = 0;
  int outputBoardCount = 0;
  std::array<std::uint8_t, OutputChainBits> outputBitUse{};  // 0 free, 1 rank, 2 bit, 4 tab
  std::vector<std::unique_ptr<MidiCommand>> midiCommands;
  bool noMoreBoards = false;

 private:
  void initialiseMemoryMap();
  // Marks the board images (and the combination action's bytes) not marked yet; returns
  // those of them that were already handed out.
  std::vector<int> reserveBoardMemory();
  // Called for each board attached and when generation starts, once every statement that
  // decides the reservations has been read.
  void reserveLateMemory();
  void generateMidiCommands();
  void generateBoards();
  void generateModuleFunctions();
  void generateNoteStateCleanUp();
  void settleChainSize();
  void appendModuleFlags();
  void checkSizes();

  std::array<bool, WorkMemoryBytes> memoryMap_{};
  bool memoryMapReady_ = false;
  int reservedChainSize_ = 0;
  bool reservedForCombinationAction_ = false;
  int localBitByte_ = 0;
  int localBitIndex_ = 9;
  std::vector<RemoteBit> remoteBits_;
  std::vector<NoteStateBytes> noteStates_;
  std::vector<RemoteController> remoteControllers_;
  int remoteBitByte_ = 64;
  int remoteBitIndex_ = 8;
};

}  // namespace plenum
