#include "framework/byte_codec.h"

#include <array>

namespace framework {

void ByteWriter::u16(uint16_t value) {
  const BYTE b[2] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8)};
  data_.insert(data_.end(), b, b + 2);
}

void ByteWriter::u32(uint32_t value) {
  const BYTE b[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                     static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
  data_.insert(data_.end(), b, b + 4);
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

// Slicing by four: table k gives the CRC of a byte followed by k zero bytes,
// so four bytes are folded in with four lookups instead of four rounds.
using CrcTables = std::array<std::array<uint32_t, 256>, 4>;

constexpr CrcTables make_crc_tables() {
  CrcTables t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][i] = c;
  }
  for (uint32_t i = 0; i < 256; ++i) {
    for (size_t k = 1; k < t.size(); ++k) t[k][i] = t[0][t[k - 1][i] & 0xFF] ^ (t[k - 1][i] >> 8);
  }
  return t;
}

constexpr CrcTables kCrc = make_crc_tables();

}  // namespace

uint32_t crc32(std::span<const BYTE> data) {
  uint32_t c = 0xFFFFFFFFu;
  const BYTE* p = data.data();
  size_t n = data.size();
  for (; n >= 4; n -= 4, p += 4) {
    c ^= static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    c = kCrc[3][c & 0xFF] ^ kCrc[2][(c >> 8) & 0xFF] ^ kCrc[1][(c >> 16) & 0xFF] ^ kCrc[0][c >> 24];
  }
  for (; n > 0; --n, ++p) c = kCrc[0][(c ^ *p) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

}  // namespace framework
