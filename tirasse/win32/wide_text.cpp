#include "tirasse/win32/wide_text.h"

#include <windows.h>

namespace tirasse::win32 {

namespace {

std::wstring toWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) {
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  }
  return wide;
}

// How many bytes the sequence that starts with `lead` has; 1 for a byte that starts none.
std::size_t sequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

}  // namespace

std::wstring widen(std::string_view utf8) { return toWide(CP_UTF8, utf8); }

std::string ansiToUtf8(std::string_view ansi) { return narrow(toWide(CP_ACP, ansi)); }

std::string narrow(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), text.data(),
                        size, nullptr, nullptr);
  }
  return text;
}

std::wstring Utf8Stream::decode(std::string_view piece) {
  pending_.append(piece);
  // Keep back the start of a sequence whose last bytes have not come yet.
  std::size_t complete = pending_.size();
  for (std::size_t back = 1; back <= 3 && back <= pending_.size(); ++back) {
    const auto byte = static_cast<unsigned char>(pending_[pending_.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    if (sequenceLength(byte) > back) complete = pending_.size() - back;
    break;
  }
  std::wstring text = widen(std::string_view(pending_).substr(0, complete));
  pending_.erase(0, complete);
  return text;
}

std::wstring Utf8Stream::finish() {
  std::wstring text = widen(pending_);
  pending_.clear();
  return text;
}

}  // namespace tirasse::win32
