// Little-endian byte encoding for the persistence stream: a writer that
// appends to a buffer and a reader that never reads past the bytes it was
// given, plus the CRC-32 that guards each record.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

namespace framework {

class ByteWriter {
 public:
  void u16(uint16_t value);
  void u32(uint32_t value);
  void u64(uint64_t value);
  void bytes(std::span<const BYTE> data);
  // Overwrites 4 bytes written earlier at offset.
  void patch_u32(size_t offset, uint32_t value);

  // Drops everything from offset on.
  void truncate(size_t offset) { data_.resize(offset); }
  size_t size() const { return data_.size(); }
  const std::vector<BYTE>& data() const { return data_; }
  std::vector<BYTE> take() { return std::move(data_); }

 private:
  std::vector<BYTE> data_;
};

// Reads from a fixed span. Every call answers false, and reads nothing,
// when fewer bytes are left than it needs; the position then stays.
class ByteReader {
 public:
  explicit ByteReader(std::span<const BYTE> data) : data_(data) {}

  bool u16(uint16_t& value);
  bool u32(uint32_t& value);
  bool u64(uint64_t& value);
  // The next n bytes, without copying.
  bool bytes(size_t n, std::span<const BYTE>& out);

  size_t left() const { return data_.size() - position_; }
  size_t position() const { return position_; }

 private:
  std::span<const BYTE> data_;
  size_t position_ = 0;
};

// CRC-32 (the polynomial of zip and PNG) of data.
uint32_t crc32(std::span<const BYTE> data);

}  // namespace framework
