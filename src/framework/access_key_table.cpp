#include "framework/access_key_table.h"

#include "framework/error.h"

namespace framework {

namespace {

WCHAR to_lower(WCHAR c) {
  CharLowerBuffW(&c, 1);
  return c;
}

WCHAR to_upper(WCHAR c) {
  CharUpperBuffW(&c, 1);
  return c;
}

}  // namespace

std::vector<ACCEL> access_key_accelerators(std::wstring_view keys) {
  std::vector<ACCEL> entries;
  WORD command = 0;
  for (WCHAR c : keys) {
    ++command;
    if (IsCharAlphaW(c)) {
      WCHAR lower = to_lower(c);
      WCHAR upper = to_upper(c);
      entries.push_back({FALT, lower, command});
      if (upper != lower) entries.push_back({FALT, upper, command});
    } else {
      entries.push_back({FALT, c, command});
    }
  }
  return entries;
}

SHORT mnemonic_character(const MSG& message) {
  if (message.message == WM_CHAR || message.message == WM_SYSCHAR) {
    return static_cast<SHORT>(message.wParam);
  }
  auto c = static_cast<WCHAR>(MapVirtualKeyW(static_cast<UINT>(message.wParam), MAPVK_VK_TO_CHAR));
  if (c == 0) return static_cast<SHORT>(message.wParam);
  if (IsCharAlphaW(c)) c = GetKeyState(VK_SHIFT) < 0 ? to_upper(c) : to_lower(c);
  return static_cast<SHORT>(c);
}

void AccessKeyTable::rebuild(std::wstring_view keys) {
  reset();
  std::vector<ACCEL> entries = access_key_accelerators(keys);
  if (entries.empty()) return;
  if (entries.size() > 0x7FFF) raise_error(error_number::kInvalidPropertyValue);
  table_ = CreateAcceleratorTableW(entries.data(), static_cast<int>(entries.size()));
  if (!table_) throw ControlError(error_number::kOutOfMemory);
  count_ = static_cast<USHORT>(entries.size());
}

void AccessKeyTable::reset() {
  if (table_) DestroyAcceleratorTable(table_);
  table_ = nullptr;
  count_ = 0;
}

}  // namespace framework
