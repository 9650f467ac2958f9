#include "framework/property_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "framework/error.h"
#include "framework/persisted_object.h"
#include "framework/stream_io.h"

namespace framework {

namespace {

constexpr BYTE kMagic[4] = {'O', 'C', 'X', 'P'};
constexpr size_t kLengthOffset = 8;

// The size of a value of fixed size (0 for VT_EMPTY and VT_NULL), or
// SIZE_MAX for a string, an object, or a type the format does not hold.
size_t fixed_size(VARTYPE vt) {
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
      return 0;
    case VT_I1:
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR:
      return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
      return 8;
    default:
      return std::numeric_limits<size_t>::max();
  }
}

bool is_object(VARTYPE vt) { return vt == VT_DISPATCH || vt == VT_UNKNOWN; }

// The scalar members of VARIANT's union all start at its first byte, and
// the platform is little-endian like the format.
std::span<const BYTE> scalar_bytes(const VARIANT& v, size_t size) {
  return {reinterpret_cast<const BYTE*>(&V_UI1(&v)), size};
}

void encode_value(ByteWriter& out, const VARIANT& v) {
  const VARTYPE vt = V_VT(&v);
  if (const size_t size = fixed_size(vt); size != std::numeric_limits<size_t>::max()) {
    out.bytes(scalar_bytes(v, size));
  } else if (vt == VT_BSTR) {
    const UINT length = SysStringLen(V_BSTR(&v));
    out.bytes({reinterpret_cast<const BYTE*>(V_BSTR(&v)), length * sizeof(OLECHAR)});
  } else if (is_object(vt)) {
    IUnknown* object = vt == VT_DISPATCH ? V_DISPATCH(&v) : V_UNKNOWN(&v);
    if (object) out.bytes(save_object(object));
  } else {
    raise_error(error_number::kTypeMismatch);
  }
}

Variant decode_value(VARTYPE vt, std::span<const BYTE> bytes) {
  Variant result;
  VARIANT* v = result.get();
  if (const size_t size = fixed_size(vt); size != std::numeric_limits<size_t>::max()) {
    if (bytes.size() != size) raise_error(error_number::kTypeMismatch);
    std::memcpy(&V_UI1(v), bytes.data(), size);
    V_VT(v) = vt;
  } else if (vt == VT_BSTR) {
    if (bytes.size() % sizeof(OLECHAR) != 0) raise_error(error_number::kTypeMismatch);
    const UINT length = static_cast<UINT>(bytes.size() / sizeof(OLECHAR));
    BSTR text = SysAllocStringLen(nullptr, length);
    if (!text) throw std::bad_alloc();
    std::memcpy(text, bytes.data(), bytes.size());
    V_VT(v) = VT_BSTR;
    V_BSTR(v) = text;
  } else if (is_object(vt)) {
    ComPtr<IDispatch> object = bytes.empty() ? nullptr : load_object(bytes);
    V_VT(v) = VT_DISPATCH;
    V_DISPATCH(v) = object.detach();
  } else {
    raise_error(error_number::kTypeMismatch);
  }
  return result;
}

std::wstring key_of(std::span<const BYTE> bytes) {
  std::wstring key(bytes.size() / 2, L'\0');
  for (size_t i = 0; i < key.size(); ++i) {
    key[i] = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return key;
}

}  // namespace

StreamPropertyWriter::StreamPropertyWriter() {
  out_.bytes(kMagic);
  out_.u16(kPropertyStreamVersion);
  out_.u16(0);
  out_.u32(0);  // the records' length, filled in by bytes()
}

void StreamPropertyWriter::write(std::wstring_view key, const Variant& value, const Variant*) {
  // A reference is stored as the value it refers to.
  Variant dereferenced;
  const VARIANT* v = value.get();
  if (V_VT(v) & VT_BYREF) {
    check_hr(VariantCopyInd(dereferenced.get(), const_cast<VARIANT*>(v)));
    v = dereferenced.get();
  }
  if (key.size() > std::numeric_limits<uint16_t>::max()) {
    raise_error(error_number::kInvalidPropertyValue);
  }
  // The record is encoded in place; its length and CRC are filled in once
  // the body is there. A value that cannot be encoded takes the record out
  // again.
  const size_t start = out_.size();
  out_.u32(0);
  out_.u32(0);
  try {
    out_.u16(static_cast<uint16_t>(key.size()));
    // UTF-16 units are little-endian in memory as in the format.
    out_.bytes({reinterpret_cast<const BYTE*>(key.data()), key.size() * sizeof(wchar_t)});
    out_.u16(V_VT(v));
    encode_value(out_, *v);
  } catch (...) {
    out_.truncate(start);
    throw;
  }
  const size_t body = out_.size() - start - 8;
  if (out_.size() - kPropertyStreamHeaderSize > std::numeric_limits<uint32_t>::max()) {
    out_.truncate(start);
    raise_error(error_number::kOutOfMemory);
  }
  out_.patch_u32(start, static_cast<uint32_t>(body));
  out_.patch_u32(start + 4, crc32(std::span<const BYTE>(out_.data()).subspan(start + 8)));
}

std::vector<BYTE> StreamPropertyWriter::bytes() const {
  ByteWriter copy = out_;
  copy.patch_u32(kLengthOffset, static_cast<uint32_t>(out_.size() - kPropertyStreamHeaderSize));
  return copy.take();
}

StreamPropertyReader::StreamPropertyReader(std::span<const BYTE> stream) {
  ByteReader header(stream);
  std::span<const BYTE> magic;
  uint16_t version = 0, reserved = 0;
  uint32_t length = 0;
  if (!header.bytes(sizeof kMagic, magic) || !std::equal(magic.begin(), magic.end(), kMagic) ||
      !header.u16(version) || version != kPropertyStreamVersion || !header.u16(reserved) ||
      !header.u32(length)) {
    return;  // not ours, or cut off inside the header: nothing is readable
  }
  std::span<const BYTE> records = stream.subspan(kPropertyStreamHeaderSize);
  const bool cut_short = records.size() < length;
  if (!cut_short) records = records.first(length);
  ByteReader in(records);
  while (in.left() > 0) {
    uint32_t size = 0, crc = 0;
    std::span<const BYTE> body;
    if (!in.u32(size) || !in.u32(crc) || !in.bytes(size, body) || crc32(body) != crc) return;
    ByteReader fields(body);
    uint16_t key_length = 0, vt = 0;
    std::span<const BYTE> key;
    if (!fields.u16(key_length) || !fields.bytes(2u * key_length, key) || !fields.u16(vt)) return;
    std::span<const BYTE> value;
    fields.bytes(fields.left(), value);
    values_.try_emplace(key_of(key), Value{vt, std::vector<BYTE>(value.begin(), value.end())});
  }
  complete_ = !cut_short;
}

// A key past the damage, or whose value does not decode, reads as absent:
// the reader gets the same default as for a key that was never saved, and
// the stream no longer counts as complete.
std::optional<Variant> StreamPropertyReader::find(std::wstring_view key, VARTYPE) {
  auto it = values_.find(std::wstring(key));
  if (it == values_.end()) return std::nullopt;
  try {
    return decode_value(it->second.vt, it->second.bytes);
  } catch (const ControlError&) {
    complete_ = false;
    return std::nullopt;
  }
}

std::vector<BYTE> read_property_stream(IStream* stream) {
  std::vector<BYTE> bytes = read_up_to(stream, kPropertyStreamHeaderSize);
  if (bytes.size() < kPropertyStreamHeaderSize ||
      !std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin())) {
    return bytes;
  }
  ByteReader header(std::span<const BYTE>(bytes).subspan(kLengthOffset));
  uint32_t length = 0;
  header.u32(length);
  std::vector<BYTE> records = read_up_to(stream, length);
  bytes.insert(bytes.end(), records.begin(), records.end());
  return bytes;
}

}  // namespace framework
