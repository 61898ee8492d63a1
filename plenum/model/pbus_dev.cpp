#include "plenum/model/pbus_dev.h"

#include <cstdio>

#include "plenum/codegen/mod_function.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

void PbusDev::attach(NvPbusMod& owner, int& outputBytes, int& inputBytes) {
  outputOffset = outputBytes;
  inputOffset = inputBytes;
  outputBytes += outputByteCount();
  inputBytes += inputByteCount();
  if (functionUse() != 0) owner.markFunctionUse(functionUse());
  module = &owner;
  for (const auto& item : items)
    if (item->identifier) item->identifier->moduleNumber = owner.number;
}

int PbusDev::outputByteCount() const { return 0; }
int PbusDev::outputBitCount() const { return 0; }
int PbusDev::inputByteCount() const { return 0; }
int PbusDev::inputBitCount() const { return 0; }
int PbusDev::boardKind() const { return PlainBoard; }
bool PbusDev::usesCombinationAction() const { return false; }
void PbusDev::markAnalogBit(int) {}
unsigned PbusDev::functionUse() const { return 0; }

void PbusDev::addItem(Element*) { std::printf("bug addItem\n"); }

void PbusDev::addBoardItem(Element* item) {
  items.emplace_back(item);
  if (auto* function = dynamic_cast<ModFunction*>(item)) function->board = this;
}

}  // namespace plenum
