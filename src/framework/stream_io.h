// Reading and writing whole byte blocks through an IStream.
#pragma once

#include <objidl.h>

#include <span>
#include <vector>

namespace framework {

// Up to n bytes from stream: fewer when the stream ends or a read fails
// first. Memory grows with the bytes that actually arrive, never ahead of
// them by more than one chunk, so a wrong n allocates nothing large.
std::vector<BYTE> read_up_to(IStream* stream, size_t n);

// Writes all of bytes; throws ControlError when the stream takes fewer.
void write_all(IStream* stream, std::span<const BYTE> bytes);

}  // namespace framework
