// The patch engine: the checksum of a target, byte pattern searches, and
// applying one target's entries to its file in place.
//
// Byte strings here are counted (pointer and length); any byte value is data.
// Positions returned by the searches are 1-based within the block, 0 for
// none. File offsets and sizes are signed 32-bit: targets of 2 GiB or more are
// refused rather than patched at wrong places.
#pragma once
#include <stdint.h>

// ---- Checksum (CRC-32 of IEEE 802.3 / zlib, reflected, 0xEDB88320) ----

const int32_t CrcBlockSize = 65536;

// Folds count bytes into the running register (no start value, no final
// complement: the caller does both).
uint32_t Crc32Update(const uint8_t* bytes, int32_t count, uint32_t crcRegister);

// Bytes read so far and the file's size, after each non-empty block is read
// and before it is folded in.
typedef void (*ChecksumProgress)(int32_t done, int32_t total);

// The CRC-32 of the whole file at path, read in CrcBlockSize blocks. Only
// reads. A failed open, size, read or close never returns: it ends the
// process through the fatal run-time error box with the system's error code.
uint32_t FileCrc32(const char* path, ChecksumProgress progress);

// ---- Pattern search ----

// First occurrence of pattern in block; 0 when none, or either is empty.
int32_t FindPlain(const uint8_t* pattern, int32_t patternLength, const uint8_t* block, int32_t blockLength);

// True when pattern matches a leading part of text: "?" is any one byte and
// "*" any run of bytes, empty included; every other byte matches itself.
bool WildcardMatch(const uint8_t* pattern, int32_t patternLength, const uint8_t* text, int32_t textLength);

// Where the first match of pattern (with "?" and "*" as above) begins in
// block, staying inside it; 0 for none. Without "*", one filtered pass over
// the block, like FindPlain; with "*", one pass that follows every pattern
// position at once: O(block x pattern), never more.
int32_t FindWildcard(const uint8_t* pattern, int32_t patternLength, const uint8_t* block, int32_t blockLength);

// out[k] = ~text[k] for each of the count bytes; out may not alias text.
void ComplementText(const uint8_t* text, int32_t count, uint8_t* out);

// Number of bytes that are not "?".
int32_t CountLiteralBytes(const uint8_t* text, int32_t count);

// ---- Applier ----

const int32_t PlainBlockSize = 32768;
const int32_t WildcardBlockSize = 1024;

struct PatchOutcome {
  int32_t bytesWritten;  // bytes really written (a failed write counts what it wrote)
  bool truncated;        // a TruncateAt entry really set the file's end
};

// Applies the entries of patchPackage.targets[currentTarget] to the file at
// path, in their order, and moves the progress bar while searching. A file
// that cannot be opened for reading and writing, or of 2 GiB or more, is left
// alone: 0 bytes, not truncated. Nothing is undone after a failure.
PatchOutcome ApplyTargetPatch(const char* path);

// The whole-percent value the bar gets for done of total: the quotient
// first, times 100, rounded half to even. 0 when total is 0.
int32_t ProgressPercent(int64_t done, int64_t total);
