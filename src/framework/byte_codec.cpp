#include "framework/byte_codec.h"

#include <array>

namespace framework {

void ByteWriter::u16(uint16_t value) {
  data_.push_back(static_cast<BYTE>(value));
  data_.push_back(static_cast<BYTE>(value >> 8));
}

void ByteWriter::u32(uint32_t value) {
  u16(static_cast<uint16_t>(value));
  u16(static_cast<uint16_t>(value >> 16));
}

void ByteWriter::u64(uint64_t value) {
  u32(static_cast<uint32_t>(value));
  u32(static_cast<uint32_t>(value >> 32));
}

void ByteWriter::bytes(std::span<const BYTE> data) {
  data_.insert(data_.end(), data.begin(), data.end());
}

void ByteWriter::patch_u32(size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) data_.at(offset + i) = static_cast<BYTE>(value >> (8 * i));
}

bool ByteReader::u16(uint16_t& value) {
  std::span<const BYTE> b;
  if (!bytes(2, b)) return false;
  value = static_cast<uint16_t>(b[0] | (b[1] << 8));
  return true;
}

bool ByteReader::u32(uint32_t& value) {
  std::span<const BYTE> b;
  if (!bytes(4, b)) return false;
  value = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
          (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return true;
}

bool ByteReader::u64(uint64_t& value) {
  if (left() < 8) return false;
  uint32_t low = 0, high = 0;
  u32(low);
  u32(high);
  value = (static_cast<uint64_t>(high) << 32) | low;
  return true;
}

bool ByteReader::bytes(size_t n, std::span<const BYTE>& out) {
  if (n > left()) return false;
  out = data_.subspan(position_, n);
  position_ += n;
  return true;
}

namespace {

constexpr std::array<uint32_t, 256> make_crc_table() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = make_crc_table();

}  // namespace

uint32_t crc32(std::span<const BYTE> data) {
  uint32_t c = 0xFFFFFFFFu;
  for (BYTE b : data) c = kCrcTable[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

}  // namespace framework
