// Controller inputs compiled from configuration text: every value source on the serial
// and the alternate board families, the module's analog pins, increment-decrement
// buttons, the setters' and generators' messages. Record bytes are worked out by hand
// from the chain layout (reserved work bytes: the four 16-byte images of the chain's
// bytes, and byte 0x40).

#include <gtest/gtest.h>

#include <string>

#include "plenum/codegen/codegen_test_support.h"
#include "plenum/codegen/in_control.h"
#include "plenum/language/compile_in_process.h"
#include "plenum/model/input_boards.h"

namespace plenum {
namespace {

using testing_support::bytes;
using testing_support::firstRecord;
using testing_support::InProcessCompile;
using testing_support::RunOutput;

struct RecordCase {
  const char* name;
  std::string module;  // the module statement's items
  RecordCode code;
  ByteString record;
};

const RecordCase RecordCases[] = {
    // Inputs 7 to 11: bits 6 and 7 of the first byte, bits 0 to 2 of the second.
    {"SerialOneOfNFromInput7", "*INPUT_64 *CONTROL C1C7 *ONE_OF_N = 7, 5", SF1ofnBits2contr,
     bytes({61, 12, 0, 1, 0xC0, 0x07, 0xFA, 0, 7, 4, 4, 0})},
    {"SerialOneOfNOnSecondBoardInverted",
     "*INPUT_64 *INPUT_64 *INVERT *CONTROL C3C7 *ONE_OF_N = 9, 8 *RANGE = 10, 80",
     SF1ofnBits2contr, bytes({61, 12, 9, 0, 0xFF, 0xFF, 0, 0x82, 7, 7, 70, 10})},
    // Input 1 starts a byte: the pair is read from the byte before.
    {"SerialBinaryWithoutRange", "*INPUT_64 *INPUT_64 *CONTROL C2C9 *BINARY = 1, 3",
     SFbits2contr, bytes({57, 10, 7, 65, 1, 1, 9, 7, 7, 0})},
    {"SerialBinaryWithRange", "*INPUT_64 *CONTROL C2C9 *BINARY = 11, 3 *RANGE = 10, 20",
     SFbits2contr, bytes({57, 10, 1, 8, 64, 1, 9, 7, 10, 10})},
    {"SerialBinaryFromInput8", "*INPUT_64 *CONTROL C2C9 *BINARY = 8, 2", SFbits2contr,
     bytes({57, 10, 0, 8, 2, 1, 9, 3, 3, 0})},
    {"AlternateOneOfN", "*KX64 *CONTROL C1C11 *ONE_OF_N = 33, 16 *RANGE = 0, 120",
     SFa1ofnBits2contr, bytes({60, 10, 0, 32, 47, 0, 11, 15, 120, 0})},
    {"AlternateBinary", "*KX64 *CONTROL C5C13 *BINARY = 49, 3", SFabits2contr,
     bytes({59, 11, 0, 2, 48, 50, 4, 13, 7, 7, 0})},
    {"Kx64AnalogInput60", "*KX64 *CONTROL C2C7 *BIT = 60", SFinAlt2contr,
     bytes({58, 9, 0, 163, 2, 7, 1, 0, 127})},
    {"Kx64AnalogInput57WithRange", "*KX64 *CONTROL C5C12 *BIT = 57 *RANGE = 20, 100",
     SFinAlt2contr, bytes({58, 9, 0, 160, 2, 12, 4, 20, 80})},
    {"AnalogBoardInput60", "*KX64_ANALOG *CONTROL C2C7 *BIT = 60", SFinAlt2contr,
     bytes({58, 9, 0, 187, 2, 7, 1, 0, 127})},
    {"AnalogBoardInput1", "*KX64_ANALOG *CONTROL C2C7 *BIT = 1", SFinAlt2contr,
     bytes({58, 9, 0, 128, 2, 7, 1, 0, 127})},
    {"AnalogBoardInput64", "*KX64_ANALOG *CONTROL C2C7 *BIT = 64", SFinAlt2contr,
     bytes({58, 9, 0, 191, 2, 7, 1, 0, 127})},
    {"AnalogBoardAfterAnInputBoard", "*INPUT_64 *KX64_ANALOG *CONTROL C2C7 *BIT = 3",
     SFinAlt2contr, bytes({58, 9, 8, 130, 10, 7, 1, 0, 127})},
    // The module's own pins: a raw byte and the value byte after it.
    {"ModulePin1", "*CONTROL = ChoirShoe *BIT = 1 C3C7", SFpin2contr,
     bytes({7, 8, 0, 0, 7, 2, 0, 127})},
    {"ModulePinProgramChange", "*SEND_PROGRAM_CHANGE *BIT = 2 *MIDI_CHANNEL = 15 *RANGE = 0, 9",
     SFpin2contr, bytes({7, 8, 1, 0, 128, 14, 0, 9})},
    {"IncrementDecrement",
     "*KX64 *INCREMENT_DECREMENT = Level *BITS = 52, 53 *RANGE = 0, 7 *INIT = 3 C16C80",
     SFaltIncDec, bytes({81, 11, 0, 51, 52, 2, 0, 7, 15, 80, 3})},
};

class ControllerRecords : public ::testing::TestWithParam<RecordCase> {};

TEST_P(ControllerRecords, BytesAsWorkedOut) {
  const RecordCase& c = GetParam();
  InProcessCompile compile("*NORVO_MODULE " + c.module + "\n*END\n");
  RunOutput run = compile.loadAndGenerate();
  EXPECT_EQ(run.status, -1) << run.out;
  EXPECT_EQ(run.out, "Number of modules is 1\n");
  ASSERT_EQ(compile.configuration.modules.size(), 1u);
  EXPECT_EQ(firstRecord(compile.configuration.modules[0]->program.mainList(), c.code), c.record);
}

INSTANTIATE_TEST_SUITE_P(Sources, ControllerRecords, ::testing::ValuesIn(RecordCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A single analog input of a KX-64 board switches that input to analog reading.
TEST(ControllerBoards, Kx64AnalogInputIsMarkedOnTheBoard) {
  InProcessCompile compile("*NORVO_MODULE *KX64 *CONTROL C2C7 *BIT = 60\n*END\n");
  compile.loadAndGenerate();
  auto* board = dynamic_cast<PbusKx64*>(compile.configuration.modules[0]->boards[0].get());
  ASSERT_NE(board, nullptr);
  EXPECT_EQ(board->analogMask, 1u << 3);
}

// The value byte a controller generated is what an expression of its module reads.
TEST(ControllerBoards, ValueByteIsRecordedForSourcesThatHaveOne) {
  InProcessCompile compile(
      "*NORVO_MODULE *CONTROL = P *BIT = 4 C1C3\n"
      "*KX64 *CONTROL = A C1C1 *BIT = 60 *CONTROL = B C1C2 *ONE_OF_N = 1, 4\n*END\n");
  compile.loadAndGenerate();
  auto control = [&](const char* name) {
    return dynamic_cast<ModInControl*>(lookupIdentifier(name)->element);
  };
  EXPECT_EQ(control("A")->valueByte, 2);
  EXPECT_EQ(control("B")->valueByte, -1);  // one-of-n records keep no value byte
  EXPECT_EQ(control("P")->valueByte, 4);   // pin raw byte 3, value byte 4
}

struct MessageCase {
  const char* name;
  std::string module;
  std::string out;  // what the load and the generation print
};

const MessageCase MessageCases[] = {
    {"BitOutOfRange", "*KX64 *CONTROL C1C7 *BIT = 65", "cfg:1: bit not in range 1 to 64\n"},
    {"BitTwice", "*KX64 *CONTROL C1C7 *BIT = 57 *BIT = 58",
     "cfg:1: Bit already set for this item\n"
     "cfg:1: Bit definition conflicts with earlier definition\n"},
    {"BitThenOneOfN", "*KX64 *CONTROL C1C7 *BIT = 57 *ONE_OF_N = 1, 3",
     "cfg:1: one_of_n definition conflicts with earlier definition\n"},
    {"BinaryOfEight", "*INPUT_64 *CONTROL C1C7 *BINARY = 1, 8", "cfg:1: count not in range 1 to 7\n"},
    {"BinaryTwice", "*INPUT_64 *CONTROL C1C7 *BINARY = 1, 3 *BINARY = 1, 3",
     "cfg:1: binary definition conflicts with earlier definition\n"},
    {"OneOfNOf128", "*INPUT_64 *CONTROL C1C7 *ONE_OF_N = 1, 128",
     "cfg:1: count not in range 1 to 127\n"},
    {"RangeEmpty", "*INPUT_64 *CONTROL C1C7 *ONE_OF_N = 1, 3 *RANGE = 5, 5",
     "cfg:1: Minimum value must be less than maximum value\n"},
    {"RangeTooHigh", "*INPUT_64 *CONTROL C1C7 *ONE_OF_N = 1, 3 *RANGE = 0, 128",
     "cfg:1: Maximum value must be less than 128\n"},
    {"IncDecRange", "*KX64 *INCREMENT_DECREMENT = L *BITS = 1, 2 *RANGE = 0, 128 C1C9",
     "cfg:1: The range values must be between 0 and 127\n"},
    {"IncDecRangeEmpty", "*KX64 *INCREMENT_DECREMENT = L *BITS = 1, 2 *RANGE = 9, 2 C1C9",
     "cfg:1: The range minimum must be less than the maximum\n"},
    {"IncDecInit", "*KX64 *INCREMENT_DECREMENT = L *BITS = 1, 2 *RANGE = 0, 9 *INIT = 200 C1C9",
     "cfg:1: The initial value must be between 0 and 127\n"},
    // Generation.
    {"Kx64BitOutsideAnalogInputs", "*KX64 *CONTROL C1C7 *BIT = 12",
     "cfg:1: Bit must be between 57 and 64, inclusive\nNumber of modules is 1\n"},
    {"AnalogBoardBitOutside", "*KX64_ANALOG *CONTROL C1C7 *BIT = 65",
     "cfg:1: bit not in range 1 to 64\n"},
    {"SingleBitNeedsAKx64", "*INPUT_64 *CONTROL C1C7 *BIT = 3",
     "cfg:1: KX64 is required for this feature\nNumber of modules is 1\n"},
    {"NoSource", "*INPUT_64 *CONTROL C1C7",
     "cfg:1: The source of the controller has not been defined\nNumber of modules is 1\n"},
    {"NoControllerNoChannel", "*INPUT_64 *CONTROL *ONE_OF_N = 1, 3",
     "cfg:1: midi_controller not defined\ncfg:1: midi_channel not defined\n"
     "Number of modules is 1\n"},
    // The alternate records address the board's 64 inputs only.
    {"AlternateOneOfNBeyondTheBoard", "*KX64 *CONTROL C1C7 *ONE_OF_N = 65, 2",
     "cfg:1: bit not in range 1 to 64\nNumber of modules is 1\n"},
    {"SerialFirstInputBeyondBoard", "*INPUT_HALL_32 *CONTROL C1C7 *BINARY = 33, 2",
     "cfg:1: bit not in range 1 to 32\nNumber of modules is 1\n"},
    {"ControllerUsedTwice", "*INPUT_64 *CONTROL C1C7 *ONE_OF_N = 1, 3\n*CONTROL C1C7 *BINARY = 9, 3",
     "cfg:2: This contoller has already been used\nNumber of modules is 1\n"},
    {"PinOutOfRange", "*CONTROL C1C7 *BIT = 5",
     "cfg:1: Bit must be between 1 and 4, inclusive\nNumber of modules is 1\n"},
    {"PinWithoutBit", "*CONTROL C1C7 *ONE_OF_N = 1, 3",
     "cfg:1: Did you forget *BIT= ?\nNumber of modules is 1\n"},
    {"PinControllerUsedTwice", "*CONTROL C1C7 *BIT = 1 *CONTROL C1C7 *BIT = 2",
     "cfg:1: This controller has already been used\nNumber of modules is 1\n"},
    {"PinProgramChangesAreNotClaimed",
     "*SEND_PROGRAM_CHANGE *BIT = 1 *MIDI_CHANNEL = 1 *SEND_PROGRAM_CHANGE *BIT = 2 "
     "*MIDI_CHANNEL = 1",
     "Number of modules is 1\n"},
    {"IncDecWithoutBitsAndRange", "*KX64 *INCREMENT_DECREMENT = L C1C9",
     "cfg:1: Bits not defined\ncfg:1: Range not defined\nNumber of modules is 1\n"},
    {"IncDecBitZero", "*KX64 *INCREMENT_DECREMENT = L *BITS = 0, 2 *RANGE = 0, 9 C1C9",
     "cfg:1: bit not in range 1 to 64\nNumber of modules is 1\n"},
    {"IncDecWithoutChannelOrController",
     "*KX64 *INCREMENT_DECREMENT = L *BITS = 1, 2 *RANGE = 0, 9",
     "cfg:1: MIDI_channel not defined\ncfg:1: midi_controller not defined\n"
     "Number of modules is 1\n"},
};

class ControllerMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ControllerMessages, Reported) {
  const MessageCase& c = GetParam();
  InProcessCompile compile("*NORVO_MODULE " + c.module + "\n*END\n");
  RunOutput run = compile.loadAndGenerate();
  EXPECT_EQ(run.out, c.out);
  EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(Checks, ControllerMessages, ::testing::ValuesIn(MessageCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Only the module's pins can send program changes.
TEST(ControllerBoards, ProgramChangeSenderUnderABoard) {
  CompilerContextScope scope;
  context().setFileName("cfg");
  NvPbusMod module;
  auto* board = new PbusKx64;
  auto* sender = new ModApc(SourceLocation{context().fileName(), 4});
  sender->setChannel(0);
  sender->setBit(60);
  board->addBoardItem(sender);
  module.addDevice(board);
  std::string out = testing_support::printedBy([&] { board->generate(module.program); });
  EXPECT_EQ(out, "cfg:4: Invalid location for Program Change\n");
}

TEST(ControllerListing, LinesBySource) {
  InProcessCompile compile(
      "*NORVO_MODULE *CONTROL C1C7 *BIT = 2\n"
      "*KX64 *CONTROL C1C11 *ONE_OF_N = 33, 16 *RANGE = 0, 120\n"
      "*INCREMENT_DECREMENT = L *BITS = 52, 53 *RANGE = 0, 7 C16C80\n*END\n");
  compile.load();
  std::string listing = testing_support::printedBy([&] { compile.configuration.print(); });
  EXPECT_NE(listing.find("Controller: Chan = 0, Controller = 7\n"
                         "\tBased on bit 2 of the Norvo module\n"),
            std::string::npos)
      << listing;
  EXPECT_NE(listing.find("    Controller: Chan = 0, Controller = 11\n"
                         "\tBased on 16 bits starting at 33\n"
                         "\tMinimum value: 0  Maximum value: 120\n"),
            std::string::npos)
      << listing;
  EXPECT_NE(listing.find("    Increment Decrement: Bits 52 53 Range 0 7 Init 0\n\n"),
            std::string::npos)
      << listing;
}

}  // namespace
}  // namespace plenum
