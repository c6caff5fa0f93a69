// Applying one target's entries to its file, in place.
#include <string.h>

#include "engine/patch_engine.h"
#include "package/package_model.h"
#include "platform/file_io.h"
#include "ui/progress_bar.h"

namespace {

// Two fixed buffers, one per block size, reused by every block and entry.
uint8_t plainBlock[PlainBlockSize];
uint8_t wildcardBlock[WildcardBlockSize];

// A last bound on replacements within one block. Overlapping wildcard
// matches could in principle uncover each other in a cycle; no ending search
// comes anywhere near this many.
const int32_t MaxReplacementsPerBlock = 1 << 20;

const uint8_t AnyByte = '?';

// The 1 KiB blocks of a wildcard search are served from a window of the file
// read 64 KiB at a time: one system call for 64 blocks instead of one each.
// Every write of the entry goes to the file and into the window too, so a
// block always holds the file as it now stands, exactly as a read would.
struct ReadWindow {
  uint8_t bytes[65536];
  int64_t start;
  int32_t length;
  bool valid;
  bool reachedEnd;  // the read that filled it stopped at the file's end
};
ReadWindow readWindow;

bool ReadThroughWindow(FileHandle file, int64_t at, uint8_t* out, int32_t want, int32_t* got) {
  ReadWindow& w = readWindow;
  int64_t end = w.start + w.length;
  if (!w.valid || at < w.start || at > end || (at + want > end && !w.reachedEnd)) {
    int32_t n = 0;
    w.valid = false;
    if (at > 0x7FFFFFFF || !SetFilePosition(file, int32_t(at)) ||
        !ReadFromFile(file, w.bytes, int32_t(sizeof w.bytes), &n))
      return false;
    w.start = at;
    w.length = n;
    w.valid = true;
    w.reachedEnd = n < int32_t(sizeof w.bytes);
    end = at + n;
  }
  int64_t available = end - at;
  *got = int32_t(available < want ? available : want);
  memcpy(out, w.bytes + (at - w.start), size_t(*got));
  return true;
}

// The bytes two full plain blocks share (the pattern's length + 1 at the end
// of one, the start of the next) are kept from the first, as the file now
// holds them, rather than read again: the next block then reads on from
// where the last read stopped, without a seek.
struct SharedTail {
  uint8_t bytes[256];
  int64_t start;
  int32_t length;  // 0: nothing kept
};
SharedTail sharedTail;

// Bytes just written at `at`: copied into the kept tail and into the window
// where they hold them; a write that reaches past the window's end (the file
// may have grown) empties it.
void NoteWrite(int64_t at, const char* bytes, int32_t count) {
  SharedTail& t = sharedTail;
  for (int32_t k = 0; k < count && t.length > 0; k++)
    if (at + k >= t.start && at + k < t.start + t.length) t.bytes[at + k - t.start] = uint8_t(bytes[k]);
  ReadWindow& w = readWindow;
  if (!w.valid || count <= 0) return;
  int64_t end = w.start + w.length;
  if (at + count > end) {
    w.valid = false;
    return;
  }
  for (int32_t k = 0; k < count; k++)
    if (at + k >= w.start) w.bytes[at + k - w.start] = uint8_t(bytes[k]);
}

bool HasAnyByte(const ShortText& text) { return memchr(text.bytes, AnyByte, text.length) != nullptr; }

const uint8_t* Bytes(const ShortText& text) { return reinterpret_cast<const uint8_t*>(text.bytes); }

// Writes data at the current position, which is `at`; with wildcard data a
// "?" keeps the file's byte. Returns the bytes really written.
int32_t WriteData(FileHandle file, int64_t at, const ShortText& data, bool wildcardData) {
  int32_t written = 0;
  int32_t k = 0;
  while (k < data.length) {
    int32_t run = k;
    bool keep = wildcardData && uint8_t(data.bytes[k]) == AnyByte;
    while (run < data.length && (wildcardData && uint8_t(data.bytes[run]) == AnyByte) == keep) run++;
    if (keep) {
      if (!MoveFilePosition(file, run - k)) break;
    } else {
      int32_t put = 0;
      WriteToFile(file, data.bytes + k, run - k, &put);
      NoteWrite(at + k, data.bytes + k, put);
      written += put;
      if (put != run - k) break;
    }
    k = run;
  }
  return written;
}

void RunSearchEntry(FileHandle file, const PatchEntry& entry, int32_t size, PatchOutcome& outcome) {
  bool wildcardKind = entry.kind == ReplaceFirstWildcard || entry.kind == ReplaceAllWildcard;
  bool wildcardSearch = wildcardKind && HasAnyByte(entry.pattern);
  bool wildcardData = wildcardKind && HasAnyByte(entry.data);
  bool firstOnly = entry.kind == ReplaceFirst || entry.kind == ReplaceFirstWildcard;
  const uint8_t* pattern = Bytes(entry.pattern);
  int32_t patternLength = entry.pattern.length;
  uint8_t complement[255];
  ComplementText(pattern, patternLength, complement);
  uint8_t* block = wildcardSearch ? wildcardBlock : plainBlock;
  int32_t blockSize = wildcardSearch ? WildcardBlockSize : PlainBlockSize;
  auto search = [&](int32_t n) {
    return wildcardSearch ? FindWildcard(pattern, patternLength, block, n) : FindPlain(pattern, patternLength, block, n);
  };

  // Where the next block starts is followed here rather than asked of the
  // system, and so is where the system's file position stands: a seek is
  // made only where a read would not go on from the last one. Every write
  // sets the position itself.
  readWindow.valid = false;
  sharedTail.length = 0;
  int64_t filePosition = -1;  // unknown
  if (entry.offset >= 0) {
    int64_t blockStart = entry.offset;
    for (;;) {
      SetProgress(ProgressPercent(blockStart, size));
      int32_t n = 0;
      if (wildcardSearch) {
        if (!ReadThroughWindow(file, blockStart, block, blockSize, &n)) break;
      } else {
        int32_t kept = sharedTail.length > 0 && sharedTail.start == blockStart ? sharedTail.length : 0;
        memcpy(block, sharedTail.bytes, size_t(kept));
        sharedTail.length = 0;
        int64_t readAt = blockStart + kept;
        if (readAt != filePosition && (readAt > 0x7FFFFFFF || !SetFilePosition(file, int32_t(readAt)))) break;
        int32_t got = 0;
        if (!ReadFromFile(file, block + kept, blockSize - kept, &got)) break;
        filePosition = readAt + got;
        n = kept + got;
      }
      if (n == 0) break;
      int64_t blockEnd = blockStart + n;
      if (!wildcardSearch && n == PlainBlockSize && blockEnd < size) {
        // The next block starts inside this one: keep what they share
        // before the search hides matches in the buffer.
        int32_t share = patternLength + 1;
        memcpy(sharedTail.bytes, block + n - share, size_t(share));
        sharedTail.start = blockEnd - share;
        sharedTail.length = share;
      }

      int64_t nextStart = blockEnd;
      bool replaced = false;
      int32_t replacements = 0;
      int32_t previous = 0;
      for (int32_t pos = search(n); pos != 0; pos = search(n)) {
        // The complement just written over this place did not hide it (a
        // pattern that matches its own complement): every further search of
        // the block would find it again, forever. It is written already.
        if (pos == previous || replacements++ >= MaxReplacementsPerBlock) break;
        previous = pos;
        int64_t matchAt = blockStart + pos - 1;
        SetFilePosition(file, int32_t(matchAt));
        filePosition = -1;
        outcome.bytesWritten += WriteData(file, matchAt, entry.data, wildcardData);
        if (firstOnly) {
          SetProgress(0);
          return;
        }
        replaced = true;
        nextStart = matchAt + entry.data.length;
        // Hide the match in the block; the file is not touched by this.
        for (int32_t k = 0; k < patternLength && pos - 1 + k < n; k++) block[pos - 1 + k] = complement[k];
      }

      if (n == PlainBlockSize && blockEnd < size) {
        nextStart = blockEnd - patternLength - 1;  // blocks share the pattern's length + 1 bytes
      } else if (replaced && nextStart <= blockStart) {
        break;  // empty data at the block's first byte: the same block would be read again, forever
      }
      if (nextStart > 0x7FFFFFFF) break;
      blockStart = nextStart;
    }
  }
  SetProgress(0);
}

}  // namespace

int32_t ProgressPercent(int64_t done, int64_t total) {
  if (total == 0) return 0;
  double percent = double(done) / double(total) * 100.0;
  if (percent >= 2147483647.0) return 0x7FFFFFFF;
  if (percent <= -2147483648.0) return int32_t(-0x7FFFFFFF - 1);
  // Round half to even, without leaning on the run-time's rounding mode.
  double whole = double(int64_t(percent));
  if (whole > percent) whole -= 1.0;  // floor for negative values
  double fraction = percent - whole;
  if (fraction > 0.5 || (fraction == 0.5 && int64_t(whole) % 2 != 0)) whole += 1.0;
  return int32_t(whole);
}

PatchOutcome ApplyTargetPatch(const char* path) {
  PatchOutcome outcome = {0, false};
  FileHandle file = OpenFileForReadWrite(path);
  if (!file) return outcome;
  uint64_t fullSize = 0;
  // Positions are signed 32-bit: a file of 2 GiB or more cannot be addressed.
  if (!GetOpenFileSize(file, &fullSize) || fullSize >= 0x80000000u) {
    CloseFile(file);
    return outcome;
  }
  int32_t size = int32_t(fullSize);
  const TargetRecord& target = patchPackage.targets[currentTarget];
  for (int32_t i = 0; i < target.entryCount; i++) {
    const PatchEntry& entry = target.entries[i];
    // A negative offset cannot be a position: such an entry does nothing.
    if (entry.offset < 0) continue;
    if (entry.kind == WriteAt) {
      if (SetFilePosition(file, entry.offset)) outcome.bytesWritten += WriteData(file, entry.offset, entry.data, false);
    } else if (entry.kind == TruncateAt) {
      if (SetFilePosition(file, entry.offset) && SetFileEndHere(file)) outcome.truncated = true;
    } else {
      RunSearchEntry(file, entry, size, outcome);
    }
  }
  CloseFile(file);
  return outcome;
}
