#pragma once
// The module program of one module: the header values, the dispatch tables, the record
// lists that the generators fill, the bit translate table, and the finished image in
// the byte layout the executive reads.

#include <array>
#include <cstdint>
#include <cstdio>

#include "plenum/codegen/record_codes.h"

namespace plenum {

class NvPbusMod;

constexpr int MidiChannels = 16;
constexpr int ImageHeaderSize = 122;         // tables, truncation, translate pointer, header
constexpr int TranslatePointerOffset = 112;  // module address of the bit translate table
constexpr int HeaderValuesOffset = 114;      // piston size ... Pbus interval
constexpr std::uint16_t NoDispatchList = 0xFFFF;
constexpr std::uint8_t NoTruncation = 255;

class ModuleProgram {
 public:
  // The module fixes the load address and the byte order of addresses.
  explicit ModuleProgram(NvPbusMod& module);

  ModuleProgram(const ModuleProgram&) = delete;
  ModuleProgram& operator=(const ModuleProgram&) = delete;

  NvPbusMod& module() const { return *module_; }

  // Header values; stored in the image as their low 8 bits (mem banks minus 1).
  int pistonSize = 0;
  int pistonBytes = 0;
  int magTime = 0;
  int pistons = 0;
  int memBanks = 0;
  int bankByte = 0;
  int pbusSize = 0;
  int pbusInterval = 0;

  // One per MIDI channel index 0 to 15.
  std::array<std::uint8_t, MidiChannels> truncation;

  // The lists generators append to; channel is the index 0 to 15 (a program fault
  // otherwise).
  ByteString& mainList() { return mainList_; }
  ByteString& noteList(int channel);
  ByteString& controllerList(int channel);
  ByteString& programList(int channel);
  const ByteString& mainList() const { return mainList_; }
  const ByteString& noteList(int channel) const;
  const ByteString& controllerList(int channel) const;
  const ByteString& programList(int channel) const;
  const ByteString& translateTable() const { return translateTable_; }

  // Appends one (off, on) pair to the bit translate table.
  void addTranslatePair(int offByte, int onByte);

  // Remembers the state of a note of a channel in one work-memory bit, merging it into
  // the SFmn2bits or SFmn2bit record at the end of the channel's note list when the
  // note continues it.
  void rememberNoteInBit(int channel, int note, int byteAddress, int bitNumber);

  // Appends a branch whose distance is not known yet (short code, long code) and returns
  // the position to patch.
  static int emitForwardBranch(ByteString& list, RecordCode shortCode, RecordCode longCode);
  // Makes the branch at position land on the current end of the list: a 2-byte branch
  // when the distance allows, else a 3-byte jump (one byte inserted after position).
  // Returns true when the long form was made.
  static bool patchForwardBranch(ByteString& list, int position);

  // Lays out the image from the lists and header values (again after a bank change).
  void buildImage();
  const ByteString& image() const { return image_; }

  // Module addresses of the dispatch lists placed by buildImage; NoDispatchList = none.
  std::uint16_t noteDispatchAddress(int channel) const;
  std::uint16_t controllerDispatchAddress(int channel) const;
  std::uint16_t programDispatchAddress(int channel) const;

  // The readable listing of the image.
  void listProgram(std::FILE* out = stdout) const;

 private:
  using ChannelLists = std::array<ByteString, MidiChannels>;
  using ChannelAddresses = std::array<std::uint16_t, MidiChannels>;

  void placeDispatchLists(const ChannelLists& lists, ChannelAddresses& addresses,
                          int tableOffset);
  void writeAddress(std::size_t offset, std::uint32_t address);

  NvPbusMod* module_;
  ByteString mainList_;
  ChannelLists noteLists_;
  ChannelLists controllerLists_;
  ChannelLists programLists_;
  ByteString translateTable_;
  ChannelAddresses noteAddresses_;
  ChannelAddresses controllerAddresses_;
  ChannelAddresses programAddresses_;
  ByteString image_;
};

// Prints the records of one list starting at offset start of bytes, up to and including
// its End code; positions count from start. Bytes beyond the end read as End, so a
// damaged list never runs past the data.
void listRecords(const ByteString& bytes, std::size_t start, std::FILE* out);

}  // namespace plenum
