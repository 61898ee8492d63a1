#include "tirasse/win32/copy_registration_dialog.h"

#include <string>

#include "tirasse/core/memory_range.h"

namespace tirasse::win32 {

namespace {
void showRange(HWND from, HWND through, const MemoryRange& range) {
  setControlText(from, std::to_string(range.from));
  setControlText(through, std::to_string(range.through));
}
}  // namespace

CopyRegistrationDialog::CopyRegistrationDialog(HWND owner) {
  createDialog("Copy Registration", owner, 190, 96);
  const DWORD box = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
  add(L"STATIC", "Copy memory:", SS_LEFT, -1, {7, 9, 90, 10});
  source_ = add(L"EDIT", "0", box, SourceBox, {100, 7, 40, 12});
  add(L"STATIC", "To memories from:", SS_LEFT, -1, {7, 25, 90, 10});
  from_ = add(L"EDIT", "1", box, FromBox, {100, 23, 40, 12});
  add(L"STATIC", "through:", SS_LEFT, -1, {7, 41, 90, 10});
  through_ = add(L"EDIT", "127", box, ThroughBox, {100, 39, 40, 12});
  add(L"STATIC", "Note: Memories are numbered starting with zero.", SS_LEFT, -1, {7, 58, 176, 10});
  add(L"BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, {79, 75, 50, 14});
  add(L"BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, {133, 75, 50, 14});
}

int CopyRegistrationDialog::sourceMemory() const { return clampMemoryNumber(controlText(source_)); }

MemoryRange CopyRegistrationDialog::targets() const {
  return afterFromEdited(controlText(from_), controlText(through_));
}

void CopyRegistrationDialog::command(int id, int code, HWND) {
  if (code != EN_KILLFOCUS) return;
  if (id == SourceBox) setControlText(source_, std::to_string(sourceMemory()));
  if (id == FromBox) showRange(from_, through_, targets());
  if (id == ThroughBox) {
    showRange(from_, through_, afterThroughEdited(controlText(from_), controlText(through_)));
  }
}

bool CopyRegistrationDialog::accept() {
  // A box edited and not yet left counts as leaving it would make it.
  setControlText(source_, std::to_string(sourceMemory()));
  showRange(from_, through_, targets());
  return true;
}

}  // namespace tirasse::win32
