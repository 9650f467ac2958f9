// The framework's own stream format for a control's properties, used by
// IPersistStreamInit and, as the stream "Contents", by IPersistStorage. It
// holds the same keys and values, in the same order, that the control
// writes to a property bag. All numbers are little-endian.
//
//   header, 12 bytes:
//     0  4  magic "OCXP"
//     4  2  format version (1)
//     6  2  reserved, written 0, ignored
//     8  4  length of the records that follow, in bytes
//   records, one per write, in the order written:
//     0  4  body length n
//     4  4  CRC-32 of the body
//     8  n  body:
//             2  key length k, in UTF-16 units
//            2k  key, UTF-16
//             2  VARTYPE of the value
//             …  value, to the end of the body
//
// Values by type: VT_EMPTY and VT_NULL nothing; VT_I1, VT_UI1 one byte;
// VT_I2, VT_UI2, VT_BOOL two; VT_I4, VT_UI4, VT_INT, VT_UINT, VT_R4,
// VT_ERROR four; VT_I8, VT_UI8, VT_R8, VT_CY, VT_DATE eight; VT_BSTR its
// UTF-16 characters; VT_DISPATCH and VT_UNKNOWN nothing for Nothing, else
// the object's class identifier and what its own IPersistStream wrote
// (fonts and pictures only, persisted_object.h).
//
// Every write is stored, write defaults included, so that the stream says
// exactly what was saved; a key written twice is stored twice, and a reader
// takes the first.
//
// Damage: a reader keeps the records before the first one that is cut
// short or fails its CRC; every key it has not seen by then reads as absent,
// so the control gives it its read default. A stream with another magic or
// version is damaged at its first byte. A record whose value it cannot
// decode (a type it does not know, a wrong length, an object that will not
// load) reads as absent too. Either way the reader reports the stream as
// incomplete, and the load as a whole fails, after it has run.
#pragma once

#include <objidl.h>

#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/byte_codec.h"
#include "framework/property_bag.h"

namespace framework {

inline constexpr size_t kPropertyStreamHeaderSize = 12;
inline constexpr uint16_t kPropertyStreamVersion = 1;

class StreamPropertyWriter final : public PropertyWriter {
 public:
  StreamPropertyWriter();

  // Appends a record. Throws ControlError (13) for a value of a type the
  // format does not hold, or when an object cannot be saved.
  void write(std::wstring_view key, const Variant& value, const Variant* write_default) override;

  // The whole stream, header and records.
  std::vector<BYTE> bytes() const;

 private:
  ByteWriter out_;
};

class StreamPropertyReader final : public PropertyReader {
 public:
  // Parses a stream as read_property_stream returned it.
  explicit StreamPropertyReader(std::span<const BYTE> stream);

  // Whether the whole stream, and every value read from it so far, was read
  // without damage.
  bool complete() const { return complete_; }

 protected:
  std::optional<Variant> find(std::wstring_view key, VARTYPE as) override;

 private:
  struct Value {
    VARTYPE vt;
    std::vector<BYTE> bytes;
  };
  std::unordered_map<std::wstring, Value> values_;
  bool complete_ = false;
};

// The bytes of one saved property stream from stream, starting at its
// current position: the header, then as many bytes of records as the header
// announces and the stream holds. Reads nothing beyond the header of a
// stream that is not in this format, and nothing beyond what the header
// announces, so a container's data after it stays unread.
std::vector<BYTE> read_property_stream(IStream* stream);

}  // namespace framework
