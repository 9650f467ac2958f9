#include "support/gdi_count.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>

namespace tessel_test {

namespace {

static_assert(sizeof(void*) == 8, "the table layout below is the x64 one");

// One entry of the table: UINT64 Object; ULONG Owner; USHORT Unique (its
// low 7 bits the extended type); UCHAR Type; UCHAR Flags; UINT64 UserPointer.
struct GdiTableEntry {
  uint64_t object;
  uint32_t owner;
  uint16_t unique;
  uint8_t type;
  uint8_t flags;
  uint64_t user_pointer;
};
static_assert(sizeof(GdiTableEntry) == 24);

constexpr size_t kTableOffsetInPeb = 0xF8;  // GdiSharedHandleTable, x64
constexpr size_t kTableEntries = 65536;
constexpr uint16_t kWindowDcExtType = 0x01;  // memory DCs are 0x41, metafile DCs 0x21/0x66

// The PEB through ntdll (reading it from the TEB's segment register trips a
// bounds warning of the compiler).
const unsigned char* process_environment_block() {
  using Query = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION info{};
  if (!query ||
      query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof(info), nullptr) != 0) {
    return nullptr;
  }
  return reinterpret_cast<const unsigned char*>(info.PebBaseAddress);
}

// Runs each(entry) for every entry of the table, if it can be found.
template <class Each>
void for_each_entry(Each each) {
  const unsigned char* peb = process_environment_block();
  if (!peb) return;
  auto table = *reinterpret_cast<const GdiTableEntry* const*>(peb + kTableOffsetInPeb);
  for (size_t i = 0; table && i < kTableEntries; ++i) each(table[i]);
}

}  // namespace

std::array<size_t, 256> live_gdi_objects_by_type() {
  std::array<size_t, 256> live{};
  for_each_entry([&](const GdiTableEntry& entry) { live[entry.type] += entry.type != 0; });
  return live;
}

size_t live_window_dcs() {
  size_t live = 0;
  for_each_entry([&](const GdiTableEntry& entry) {
    live += entry.type == gdi_type::kDc && (entry.unique & 0x7f) == kWindowDcExtType;
  });
  return live;
}

size_t live_gdi_objects() {
  size_t live = 0;
  for (size_t count : live_gdi_objects_by_type()) live += count;
  return live;
}

}  // namespace tessel_test
