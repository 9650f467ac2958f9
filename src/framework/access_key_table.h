// The accelerator table a control hands its container in CONTROLINFO: one
// Alt+character entry for each access key, for letters one for each case, so
// that the container recognises the keystroke as a mnemonic whether it sees
// the key-down (virtual key, the upper-case letter) or the character.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace framework {

// The entries for an access-key string, in its order.
std::vector<ACCEL> access_key_accelerators(std::wstring_view keys);

// The character code a mnemonic keystroke stands for: the character itself
// for WM_CHAR/WM_SYSCHAR, the key's character (lower case unless Shift is
// held) for a key-down message.
SHORT mnemonic_character(const MSG& message);

// An accelerator table owned by the control (the container only borrows it).
class AccessKeyTable {
 public:
  AccessKeyTable() = default;
  AccessKeyTable(const AccessKeyTable&) = delete;
  AccessKeyTable& operator=(const AccessKeyTable&) = delete;
  ~AccessKeyTable() { reset(); }

  // Builds the table for keys; an empty string gives no table.
  void rebuild(std::wstring_view keys);
  void reset();

  HACCEL handle() const { return table_; }
  USHORT count() const { return count_; }

 private:
  HACCEL table_ = nullptr;
  USHORT count_ = 0;
};

}  // namespace framework
