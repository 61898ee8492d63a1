#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "plenum/codegen/module_program.h"
#include "plenum/language/file_streams_testing.h"
#include "plenum/model/nv_mod.h"

namespace plenum {
namespace {

std::string listing(const ByteString& bytes) {
  return testing_support::printedTo([&](std::FILE* out) { listRecords(bytes, 0, out); });
}

struct ListingCase {
  ByteString bytes;
  const char* expected;
};

TEST(RecordListing, EveryFormPrintsTitleOperandsAndEnd) {
  const ListingCase cases[] = {
      {{SFmn2bits, 5, 0x3c, 0x60, 0x41, 0},
       "0000   SFmn2bits: Remember note states in bits\n    low note = 3c\n    hi note = 60\n"
       "    source = 41\n0005   End\n"},
      {{SFsetTranspose, 2, SFpruneRelay, 2, Sctest, 2, 0},
       "0000   SFsetTranspose: store transpose factor\n0002   SFpruneRelay: Finish relay "
       "processing\n0004   Sctest: Test for ctl 120 or 123\n0006   End\n"},
      {{SFsendAltCmd, 5, 2, 0xf0, 0x11, 0},
       "0000   SFsendAltCmd: Occasionally send these bytes:\n    offset = 02\n    bytes = f0 11\n"
       "0005   End\n"},
      // Only the occasional command lists its two bytes on one line.
      {{SFsendReset, 5, 2, 0xc7, 0x00, 0},
       "0000   SFsendReset: Send command at reset time\n    offset = 02\n    byte 1 = c7\n"
       "    byte 2 = 00\n0005   End\n"},
      {{SFsetFlags, 3, 0xa0, 0},
       "0000   SFsetFlags: Turn on flags\n    work byte = a0\n      Retransmit MIDI data "
       "verbatim\n      Do not use running status on output\n0003   End\n"},
      {{Sldb, 0x40, 4, Sbf, 3, Sadd, 0},
       "0000   Sldb: Load bit value\n    source = 40\n    mask = 04\n0003   Sbf: Branch false "
       "(zero)\n    offset = 03\n    (destination 0006)\n0005   Sadd: Add\n0006   End\n"},
      {{Sjt, 0x01, 0x02, 0},
       "0000   Sjt: Jump if true\n    offset = 01 02\n    (destination 0102)\n0003   End\n"},
      {{SblindPiston, 5, 0x24, 1, 3, 0},
       "0000   SblindPiston: Blind comb. action cancel\n    Note no. = 24\n    Piston no. = 01\n"
       "    flags = 03\n      Additive\n0005   End\n"},
      {{SFinbit2note, 8, 4, 0x3c, 0x91, 0x01, 2, 0xff, 0},
       "0000   SFinbit2note: Bit to note\n    source = 04\n    note # = 3c\n"
       "    channel = 91 Alternate Action\n      Invert the note on/off when sending\n"
       "    imask = 01\n    delta = 02\n    fmask = ff\n0008   End\n"},
      {{SFinAlt2note, 7, 0, 1, 8, 0x24, 0xc2, 0},
       "0000   SFinAlt2note: kx64 input to note\n    source = 00\n    min bit = 01\n"
       "    max bit = 08\n    note of = 24\n    channel = c2\n      Send Program Change instead "
       "of note\n      Send PC when input turns OFF\n0007   End\n"},
      {{SFx2midi, 6, 0x41, 0x02, 0x00, 0x3c, SFx2midi, 8, 0x41, 0x04, 3, 0x90, 0x3c, 0x64, 0},
       "0000   SFx2midi: send note if condition true\n    work byte = 41\n    work mask = 02\n"
       "    channel no = 00\n    note numbr = 3c\n0006   SFx2midi: send message if condition "
       "true\n    work byte = 41\n    byte mask = 04\n    byte count = 03\n"
       "    message = 90 3c 64\n000e   End\n"},
      {{SFpizzReit, 8, 0x24, 0x3d, 0x20, 0x54, 0x10, 0x20, 0},
       "0000   SFpizzReit: create pizz or reit pseudo division\n    low note = 24\n"
       "    note count = 3d\n    channel = 20 Pizzicato\n    out note = 54\n    low mSec = 10\n"
       "    high mSec = 20\n0008   End\n"},
      {{SFdoRelayTrap, 13, 0x31, 0x80, 0, 0x10, 1, 0x0f, 0xf0, 0x3c, 0x09, 0},
       "0000   SFdoRelayTrap: Trap relay command\n    relay = 31 80\n    div bitmap = 10\n"
       "    byte count = 01\n    i mask = 0f\n    f mask = f0\n    midi note = 3c\n"
       "    midi chan = 09\n000d   End\n"},
      {{SFslcdOut, 6, 2, 0, 'H', 1, 0},
       "0000   SFslcdOut: Calculate LCD bytes\n    count = 02\n    flags = 00\n"
       "    byte = 48 'H'\n    byte = 01 '.'\n0006   End\n"},
      {{47, 5, 1, 2, 3, 0x99, 3, 0},
       "0000   ********************************************\n  Unrecognized code 2f\n"
       "  ********************************************\n0005   "
       "********************************************\n  Unrecognized code 99\n"
       "  ********************************************\n0008   End\n"},
  };
  for (const ListingCase& c : cases) EXPECT_EQ(listing(c.bytes), c.expected);
}

// Every code of the table lists its own title, and a list cut short ends cleanly.
TEST(RecordListing, EveryCodeListsItsTitle) {
  for (const RecordInfo& info : recordTable()) {
    if (info.code == SEnd || info.form == ListingForm::Unlisted) continue;
    ByteString bytes(static_cast<std::size_t>(info.minLength), 0x02);
    bytes[0] = info.code;
    if (info.framing == RecordFraming::Function)
      bytes[1] = static_cast<std::uint8_t>(info.minLength);
    std::string text = listing(bytes);
    EXPECT_EQ(text.substr(0, 7 + std::string(info.title).size()),
              std::string("0000   ") + info.title)
        << info.name;
    EXPECT_NE(text.find("   End\n"), std::string::npos) << info.name;
  }
}

TEST(RecordListing, ZeroLengthByteStillMovesOn) {
  EXPECT_EQ(listing({0x99, 0}),
            "0000   ********************************************\n  Unrecognized code 99\n"
            "  ********************************************\n0002   End\n");
}

TEST(ProgramListing, HeaderDispatchTruncationAndTranslateTable) {
  CompilerContextScope scope;
  NvPbusMod module;
  ModuleProgram& program = module.program;
  program.pistons = 16;
  program.memBanks = 2;
  program.truncation[1] = 0x40;
  program.mainList() = {SEnd};
  program.noteList(1) = {SFmn2bit, 5, 60, 3, 1};
  program.addTranslatePair(1, -1);
  program.buildImage();
  const std::string result =
      testing_support::printedTo([&](std::FILE* out) { program.listProgram(out); });
  const std::string rule = "=========================================================";
  std::string expected = "\n" + rule +
                         "\nModule Program:\nPiston size  = 00\nPiston bytes = 00\n"
                         "Mag time     = 00\nPistons      = 10\nMem banks    = 01\n"
                         "Bank byte    = 00\nPbus size    = 00\nPbus interval= 00\n\n"
                         "0000   End\n"
                         "\nWhen notes arrive on channel 2:\n"
                         "0000   SFmn2bit: Remember note state in bit\n    note = 3c\n"
                         "    offset = 03\n    mask = 01\n0005   End\n"
                         "MIDI which arrives on channel 2 is truncated by 40:\n"
                         "Bit Translate Table:\n i  off  on\n"
                         "  0   1  -1\n  2   0   0\n  4   0   0\n  6   0   0\n"
                         "  8   0   0\n 10   0   0\n 12   0   0\n 14   0   0\n" +
                         rule + "\n";
  EXPECT_EQ(result, expected);
}

}  // namespace
}  // namespace plenum
