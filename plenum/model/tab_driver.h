#pragma once
// Stop tabs driven by dual magnets on an output board. The combination action owns the
// tabs; an output board whose bits carry their magnets generates the module's share of
// them: the tab table, the reversibles and the piston header values.
//
// The combination action offers its tabs through StopTabSource and sets
// CompilerContext::stopTabSource when it becomes the configuration's combination action.

#include <optional>
#include <vector>

#include "plenum/model/element.h"

namespace plenum {

class ModInputBit;
class ModuleProgram;
class NvPbusMod;
class PbusDev;

// An *ON or *OFF magnet: a named output board and a 1-based bit on it.
struct StopTabMagnet {
  IdentifierRecord* board = nullptr;
  int bit = 0;

  bool names(const PbusDev& candidate) const;
};

struct StopTab {
  const Element* statement = nullptr;  // the DUAL_MAG_TAB statement; reports go there
  std::optional<StopTabMagnet> on;
  std::optional<StopTabMagnet> off;
  const ModInputBit* position = nullptr;  // *NAME: the input that reports the tab's state
  std::vector<const ModInputBit*> reversibles;
};

class StopTabSource {
 public:
  virtual ~StopTabSource() = default;
  // The dual-magnet tabs in statement order.
  virtual std::vector<StopTab> stopTabs() const = 0;
  virtual int dualMagnetTime() const = 0;
  virtual int pistonCount() const = 0;
  // The combination action's own code for a module that drives tabs from an output
  // board (as opposed to lighted stops).
  virtual void generateForTabDriver(ModuleProgram& program, NvPbusMod& module) = 0;
};

// The tabs of the configuration being compiled, or null without a combination action.
StopTabSource* currentStopTabs();

// Whether some tab's *ON or *OFF names this board.
bool drivesStopTabs(const PbusDev& board);

// The tab-driver steps of one output board. firstOutputBoard: no output board of the
// module generated before it. tabCount is the board's running tab number.
void generateStopTabs(PbusDev& board, ModuleProgram& program, bool firstOutputBoard,
                      int& tabCount);

}  // namespace plenum
