// The readable listing of a module program: the header, then every record list as it
// is placed in the image, with one labelled line per operand.

#include <algorithm>
#include <string_view>

#include "plenum/codegen/module_program.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

namespace {

const char* const Rule = "=========================================================";
const char* const Stars = "  ********************************************";

// Reads records out of a byte string; anything past the end reads as End.
class RecordReader {
 public:
  RecordReader(const ByteString& bytes, std::size_t start, std::FILE* out)
      : bytes_(bytes), start_(start), out_(out) {}

  void listAll() {
    while (listOne()) {
    }
  }

 private:
  int at(std::size_t offset) const {
    std::size_t index = start_ + position_ + offset;
    return index < bytes_.size() ? bytes_[index] : 0;
  }

  void title(const char* text) { std::fprintf(out_, "  %s\n", text); }

  void operand(const char* label, std::size_t offset, const char* suffix = "") {
    std::fprintf(out_, "    %s = %02x%s\n", label, at(offset), suffix);
  }

  void operandPair(const char* label, std::size_t offset) {
    std::fprintf(out_, "    %s = %02x %02x\n", label, at(offset), at(offset + 1));
  }

  void note(const char* text) { std::fprintf(out_, "      %s\n", text); }

  // Lists one record and steps over it; false after End.
  bool listOne() {
    int code = at(0);
    std::fprintf(out_, "%04x ", static_cast<unsigned>(position_));
    const RecordInfo* info = findRecord(code);
    if (code == SEnd) {
      title("End");
      return false;
    }
    if (!info || info->form == ListingForm::Unlisted) {
      std::fprintf(out_, "%s\n  Unrecognized code %x\n%s\n", Stars, code, Stars);
      position_ += lengthByte();
      return true;
    }
    length_ = info->framing == RecordFraming::Function ? lengthByte()
                                                       : static_cast<std::size_t>(info->minLength);
    first_ = info->framing == RecordFraming::Function ? 2 : 1;
    listRecord(*info);
    position_ += length_;
    return true;
  }

  // The length byte of a function record; a record is never shorter than its code and
  // length, so a damaged length still moves the listing on.
  std::size_t lengthByte() const { return static_cast<std::size_t>(std::max(at(1), 2)); }

  // Prints labelled operands from offset on, as far as the record and the labels go.
  void plainOperands(const RecordInfo::Labels& labels, std::size_t offset, int count) {
    for (int i = 0; i < count && offset < length_; ++i, ++offset)
      operand(labels[static_cast<std::size_t>(i)], offset);
  }

  void listRecord(const RecordInfo& info) {
    switch (info.form) {
      case ListingForm::Plain:
        title(info.title);
        plainOperands(info.labels, first_, info.labelCount());
        break;
      case ListingForm::Flags:
        listFlags(info);
        break;
      case ListingForm::CommandBytes:
        title(info.title);
        operand(info.labels[0], 2);
        operandPair(info.labels[1], 3);
        break;
      case ListingForm::InputChannel:
      case ListingForm::AltInput:
        listInput(info);
        break;
      case ListingForm::BlindPiston:
        title((at(4) & 1) ? info.alternateTitle : info.title);
        plainOperands(info.labels, 2, info.labelCount());
        if (at(4) & 2) note("Additive");
        break;
      case ListingForm::MidiSend:
        listMidiSend(info);
        break;
      case ListingForm::PizzReit:
        listPizzReit(info);
        break;
      case ListingForm::RelayPairs:
        listRelay(info);
        break;
      case ListingForm::LcdBytes:
        listLcd(info);
        break;
      case ListingForm::Jump:
        title(info.title);
        operandPair(info.labels[0], 1);
        destination((at(1) << 8) | at(2));
        break;
      case ListingForm::Branch:
        title(info.title);
        operand(info.labels[0], 1);
        destination(at(1));
        break;
      case ListingForm::Unlisted:
        break;  // handled before the switch
    }
  }

  void destination(int offset) {
    std::fprintf(out_, "    (destination %04x)\n",
                 static_cast<unsigned>((position_ + static_cast<std::size_t>(offset)) & 0xFFFF));
  }

  void listFlags(const RecordInfo& info) {
    static const struct {
      int bit;
      const char* text;
    } Flags[] = {{FlagInvertInput, "Invert data on input"},
                 {FlagVerbatimEcho, "Retransmit MIDI data verbatim"},
                 {FlagOutputModule, "This is an output module"},
                 {FlagNoRunningStatus, "Do not use running status on output"}};
    title(info.title);
    operand(info.labels[0], 2);
    for (const auto& flag : Flags)
      if (at(2) & flag.bit) note(flag.text);
  }

  // Input records whose channel byte carries flags above the channel number.
  void listInput(const RecordInfo& info) {
    title(info.title);
    for (int i = 0; i < info.labelCount(); ++i) {
      std::size_t offset = 2 + static_cast<std::size_t>(i);
      if (offset >= length_) break;
      const char* label = info.labels[static_cast<std::size_t>(i)];
      if (std::string_view(label) != "channel") {
        operand(label, offset);
        continue;
      }
      int channel = at(offset);
      bool alternate = info.code == SFinbit2note && (channel & 0x10);
      operand(label, offset, alternate ? " Alternate Action" : "");
      if (info.form == ListingForm::AltInput && (channel & 0x40))
        note("Send Program Change instead of note");
      if ((channel & 0xC0) == 0xC0) note("Send PC when input turns OFF");
      if ((channel & 0xC0) == 0x80) note("Invert the note on/off when sending");
    }
  }

  void listMidiSend(const RecordInfo& info) {
    if (at(5) < 128) {
      title(info.title);
      plainOperands(info.labels, 2, info.labelCount());
      return;
    }
    title(info.alternateTitle);
    plainOperands(info.alternateLabels, 2, 3);
    std::fprintf(out_, "    %s =", info.alternateLabels[3]);
    for (std::size_t i = 0; i < static_cast<std::size_t>(at(4)) && 5 + i < length_; ++i)
      std::fprintf(out_, " %02x", at(5 + i));
    std::fprintf(out_, "\n");
  }

  // The channel byte says whether the pseudo division plays pizzicato or reiterates.
  void listPizzReit(const RecordInfo& info) {
    constexpr std::size_t ChannelOffset = 4;
    title(info.title);
    for (std::size_t offset = 2; offset < length_ && offset - 2 < MaxOperandLabels; ++offset) {
      const char* label = info.labels[offset - 2];
      if (!label) break;
      const char* suffix = "";
      if (offset == ChannelOffset) suffix = (at(offset) & 0x20) ? " Pizzicato" : " Reit";
      operand(label, offset, suffix);
    }
  }

  void listRelay(const RecordInfo& info) {
    title(info.title);
    std::size_t offset = 2;
    for (; offset + 1 < length_ && at(offset) != 0; offset += 2) operandPair("relay", offset);
    plainOperands(info.labels, offset + 1, info.labelCount());
  }

  void listLcd(const RecordInfo& info) {
    title(info.title);
    operand(info.labels[0], 2);
    operand(info.labels[1], 3);
    for (std::size_t i = 0; i < static_cast<std::size_t>(at(2)) && 4 + i < length_; ++i) {
      int byte = at(4 + i);
      std::fprintf(out_, "    %s = %02x '%c'\n", info.labels[2], byte,
                   (byte >= 0x20 && byte < 0x7F) ? byte : '.');
    }
  }

  const ByteString& bytes_;
  std::size_t start_;
  std::FILE* out_;
  std::size_t position_ = 0;
  std::size_t length_ = 0;
  std::size_t first_ = 0;
};

int imageByte(const ByteString& image, std::size_t offset) {
  return offset < image.size() ? image[offset] : 0;
}

}  // namespace

void listRecords(const ByteString& bytes, std::size_t start, std::FILE* out) {
  RecordReader(bytes, start, out).listAll();
}

void ModuleProgram::listProgram(std::FILE* out) const {
  static const char* const HeaderLines[] = {
      "Piston size  = %02x\n", "Piston bytes = %02x\n", "Mag time     = %02x\n",
      "Pistons      = %02x\n", "Mem banks    = %02x\n", "Bank byte    = %02x\n",
      "Pbus size    = %02x\n", "Pbus interval= %02x\n\n"};
  std::fprintf(out, "\n%s\nModule Program:\n", Rule);
  std::size_t offset = HeaderValuesOffset;
  for (const char* line : HeaderLines) std::fprintf(out, line, imageByte(image_, offset++));
  listRecords(image_, ImageHeaderSize, out);

  const auto loadAddress = static_cast<std::size_t>(module_->loadAddress());
  auto listDispatch = [&](const char* heading, const ChannelAddresses& addresses,
                          const ChannelLists& lists, std::size_t channel) {
    if (lists[channel].empty() || addresses[channel] == NoDispatchList) return;
    std::fprintf(out, heading, static_cast<int>(channel) + 1);
    listRecords(image_, addresses[channel] - loadAddress, out);
  };
  for (std::size_t channel = 0; channel < MidiChannels; ++channel) {
    listDispatch("\nWhen notes arrive on channel %d:\n", noteAddresses_, noteLists_, channel);
    listDispatch("\nWhen controllers arrive on channel %d:\n", controllerAddresses_,
                 controllerLists_, channel);
    listDispatch("\nWhen program changes arrive on channel %d:\n", programAddresses_,
                 programLists_, channel);
    if (truncation[channel] != NoTruncation)
      std::fprintf(out, "MIDI which arrives on channel %d is truncated by %x:\n",
                   static_cast<int>(channel) + 1, truncation[channel]);
  }

  if (!translateTable_.empty()) {
    std::fprintf(out, "Bit Translate Table:\n i  off  on\n");
    for (std::size_t i = 0; i + 1 < translateTable_.size(); i += 2)
      std::fprintf(out, "%3d %3d %3d\n", static_cast<int>(i),
                   static_cast<std::int8_t>(translateTable_[i]),
                   static_cast<std::int8_t>(translateTable_[i + 1]));
  }
  std::fprintf(out, "%s\n", Rule);
}

}  // namespace plenum
