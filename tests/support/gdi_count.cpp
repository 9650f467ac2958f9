#include "support/gdi_count.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>

namespace tessel_test {

namespace {

static_assert(sizeof(void*) == 8, "the table layout below is the x64 one");

// One entry of the table: UINT64 Object; ULONG Owner; USHORT Unique;
// UCHAR Type; UCHAR Flags; UINT64 UserPointer.
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

}  // namespace

std::array<size_t, 256> live_gdi_objects_by_type() {
  std::array<size_t, 256> live{};
  const unsigned char* peb = process_environment_block();
  if (!peb) return live;
  auto* table = *reinterpret_cast<const GdiTableEntry* const*>(peb + kTableOffsetInPeb);
  if (!table) return live;
  for (size_t i = 0; i < kTableEntries; ++i) {
    if (table[i].type != 0) ++live[table[i].type];
  }
  return live;
}

size_t live_gdi_objects() {
  size_t live = 0;
  for (size_t count : live_gdi_objects_by_type()) live += count;
  return live;
}

}  // namespace tessel_test
