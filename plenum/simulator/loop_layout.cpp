#include "plenum/simulator/loop_layout.h"

#include <cctype>
#include <charconv>

#include "plenum/runtime/memory_map.h"

namespace plenum {

namespace {

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + 1);
  }
}

// A decimal number, or hexadecimal with 0x, within [low, high].
std::optional<long> number(std::string_view text, long low, long high) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  long value = 0;
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || status != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < low || value > high) return std::nullopt;
  return value;
}

bool isTypeLetter(std::string_view text) {
  return text.size() == 1 && (text[0] == 'A' || text[0] == 'B' || text[0] == 'C');
}

class Parser {
 public:
  explicit Parser(std::string& error) : error_(error) {}

  std::optional<LoopLayout> parse(std::string_view text) {
    if (trim(text).empty()) return fail("no modules given (write \"empty\" for a loop without modules)");
    bool empty = false;
    for (std::string_view item : split(text, ',')) {
      item = trim(item);
      if (item.empty()) return fail("an empty item between commas");
      if (item == "empty") {
        empty = true;
        continue;
      }
      const bool isModule = std::isupper(static_cast<unsigned char>(item[0])) != 0;
      if (!(isModule ? module(item) : option(item))) return std::nullopt;
    }
    // Addresses 'N' + n must stay below the loop test's '~'.
    if (layout_.modules.size() > kMaxSimulatedModules)
      return fail("at most " + std::to_string(kMaxSimulatedModules) + " modules fit in a loop");
    if (empty && !layout_.modules.empty()) return fail("\"empty\" together with modules");
    if (!empty && layout_.modules.empty()) return fail("no modules given (write \"empty\" for a loop without modules)");
    for (const PresetRegistration& r : layout_.registrations) {
      if (r.module >= static_cast<int>(layout_.modules.size()))
        return fail("combi names module " + std::to_string(r.module) + ", but the loop has only " +
                    std::to_string(layout_.modules.size()));
      // The banks lie below the memory base and must stay above the information block.
      const bool typeB = layout_.modules[static_cast<std::size_t>(r.module)].type == 'B';
      const ModuleMemoryMap& map = registrationMapOf(typeB);
      const long room = static_cast<long>(map.registrationBase) - static_cast<long>(map.registrationInfo + kInfoBlockSize);
      if (static_cast<long>(r.banks) * r.pistons * r.size > room)
        return fail("combi for module " + std::to_string(r.module) + " needs more memory than its " +
                    std::to_string(room) + " bytes of registration area");
    }
    return layout_;
  }

 private:
  std::optional<LoopLayout> fail(const std::string& reason) {
    error_ = reason;
    return std::nullopt;
  }
  bool bad(std::string_view item, const char* reason) {
    // Appended piecewise: the operator+ chain draws a false -Wrestrict from GCC 12 at -O3.
    error_.assign(1, '"').append(item).append("\": ").append(reason);
    return false;
  }

  // LETTER[:VERSION][/SHOWN]
  bool module(std::string_view item) {
    SimulatedModuleLayout m;
    std::string_view rest = item;
    const std::size_t slash = rest.find('/');
    std::string_view shown;
    if (slash != std::string_view::npos) {
      shown = rest.substr(slash + 1);
      rest = rest.substr(0, slash);
    }
    const std::size_t colon = rest.find(':');
    const std::string_view letter = rest.substr(0, colon);
    if (!isTypeLetter(letter)) return bad(item, "a module is A, B or C, optionally followed by :VERSION and /LETTER");
    m.type = letter[0];
    m.reportedType = m.type;
    if (colon != std::string_view::npos) {
      const std::optional<long> version = number(rest.substr(colon + 1), 0, 0xFFFF);
      if (!version) return bad(item, "the version is a number from 0 to 0xffff");
      m.version = static_cast<std::uint16_t>(*version);
    }
    if (slash != std::string_view::npos) {
      if (shown == "-") {
        m.reportedType = '\0';
      } else if (isTypeLetter(shown)) {
        m.reportedType = shown[0];
      } else {
        return bad(item, "after / comes the type letter the module reports (A, B or C) or - for none");
      }
    }
    layout_.modules.push_back(m);
    return true;
  }

  bool option(std::string_view item) {
    const std::size_t equals = item.find('=');
    const std::string_view name = item.substr(0, equals);
    const std::string_view value = equals == std::string_view::npos ? std::string_view() : item.substr(equals + 1);
    const bool hasValue = equals != std::string_view::npos;
    if (name == "wire" || name == "burst") {
      if (hasValue) return bad(item, "takes no value");
      (name == "wire" ? layout_.wireSpeed : layout_.trafficBurst) = true;
      return true;
    }
    if (name == "flash") {
      const std::optional<long> ms = number(value, 0, 60000);
      if (!ms) return bad(item, "flash=MS takes a time from 0 to 60000 milliseconds");
      layout_.flashMs = static_cast<int>(*ms);
      return true;
    }
    if (name == "combi") return combi(item, value);
    if (name == "input") return input(item, value);
    if (name == "failverify") {
      FaultSetting fault{FaultKind::FailVerify, 0, 0};
      if (hasValue) {
        const std::optional<long> n = number(value, 1, 1000000);
        if (!n) return bad(item, "failverify=N takes the number of the verify request, from 1");
        fault.request = static_cast<int>(*n);
      }
      layout_.faults.push_back(fault);
      return true;
    }
    static const struct {
      const char* name;
      FaultKind kind;
    } kRequestFaults[] = {
        {"lose", FaultKind::LoseReply},       {"late", FaultKind::LateReply},
        {"corrupt", FaultKind::CorruptByte},  {"truncate", FaultKind::WrongLength},
        {"inputerror", FaultKind::InputError},
    };
    for (const auto& known : kRequestFaults) {
      if (name != known.name) continue;
      FaultSetting fault{known.kind, 0, 0};
      std::string_view requestText = value;
      if (known.kind == FaultKind::LateReply) {
        fault.delayMs = kDefaultLateReplyMs;
        const std::size_t colon = value.find(':');
        if (colon != std::string_view::npos) {
          const std::optional<long> ms = number(value.substr(colon + 1), 0, 60000);
          if (!ms) return bad(item, "late=N:MS takes a delay from 0 to 60000 milliseconds");
          fault.delayMs = static_cast<int>(*ms);
          requestText = value.substr(0, colon);
        }
      }
      const std::optional<long> n = number(requestText, 1, 1000000);
      if (!n) return bad(item, "takes the number of the request it hits, from 1 (for example lose=2)");
      fault.request = static_cast<int>(*n);
      layout_.faults.push_back(fault);
      return true;
    }
    return bad(item, "unknown item (modules: A, B, C; options: wire, burst, input=HEX:HEX..., flash=MS, "
                     "combi=M:BANKS:PISTONS:SIZE, "
                     "lose=N, late=N[:MS], corrupt=N, truncate=N, inputerror=N, failverify[=N])");
  }

  // input=HEX:HEX...: each one short message, 1 to 3 bytes in hex, status byte first.
  bool input(std::string_view item, std::string_view value) {
    for (std::string_view message : split(value, ':')) {
      std::vector<std::uint8_t> bytes;
      const bool sized = message.size() >= 2 && message.size() <= 6 && message.size() % 2 == 0;
      for (std::size_t i = 0; sized && i < message.size(); i += 2) {
        const std::optional<long> byte = number(std::string("0x").append(message.substr(i, 2)), 0, 255);
        if (!byte) break;
        bytes.push_back(static_cast<std::uint8_t>(*byte));
      }
      if (!sized || bytes.size() * 2 != message.size() || bytes[0] < 0x80 || bytes[0] == 0xF0 ||
          bytes[0] == 0xF7) {
        return bad(item, "input=HEX:HEX... takes short messages of 1 to 3 bytes in hex, status first "
                         "(for example input=913c64:913c00)");
      }
      layout_.waitingInput.push_back(std::move(bytes));
    }
    return true;
  }

  // combi=M:BANKS:PISTONS:SIZE
  bool combi(std::string_view item, std::string_view value) {
    const std::vector<std::string_view> fields = split(value, ':');
    if (fields.size() != 4) return bad(item, "combi=M:BANKS:PISTONS:SIZE takes four numbers");
    const std::optional<long> m = number(fields[0], 0, 63);
    const std::optional<long> banks = number(fields[1], 1, 256);
    const std::optional<long> pistons = number(fields[2], 1, 255);
    const std::optional<long> size = number(fields[3], 1, 255);
    if (!m || !banks || !pistons || !size)
      return bad(item, "module 0 to 63, banks 1 to 256, pistons and size 1 to 255");
    layout_.registrations.push_back(
        {static_cast<int>(*m), static_cast<int>(*banks), static_cast<int>(*pistons), static_cast<int>(*size)});
    return true;
  }

  std::string& error_;
  LoopLayout layout_;
};

}  // namespace

std::optional<LoopLayout> parseLoopLayout(std::string_view text, std::string& error) {
  return Parser(error).parse(text);
}

}  // namespace plenum
