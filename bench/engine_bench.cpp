// Engine throughput beside its baselines, in one run: the same source runs
// natively and, built for i686, under Wine. Prints "NAME GB/s" lines;
// scripts/bench turns them into ratios.
//
// Usage: engine_bench WORK_FOLDER [PE_FILE...]
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "engine/patch_engine.h"
#include "package/package_model.h"
#include "platform/file_io.h"

namespace {

const size_t BufferSize = size_t(256) << 20;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Contender {
  const char* name;
  std::function<void()> work;
};

// Contenders in turns, round after round, each keeping its best time: a
// busy moment of the machine then falls on all of them alike.
void MeasureInTurns(double bytes, const std::vector<Contender>& contenders, int rounds = 7) {
  std::vector<double> best(contenders.size(), 1e30);
  for (int round = 0; round < rounds; round++)
    for (size_t i = 0; i < contenders.size(); i++) {
      double start = Now();
      contenders[i].work();
      double took = Now() - start;
      if (took < best[i]) best[i] = took;
    }
  for (size_t i = 0; i < contenders.size(); i++) printf("%s %.3f\n", contenders[i].name, bytes / best[i] / 1e9);
  fflush(stdout);
}

volatile uint32_t sink;

int32_t SearchBlocks(const std::vector<uint8_t>& data, const std::string& pattern, bool wildcard) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(pattern.data());
  int32_t found = 0;
  for (size_t at = 0; at + PlainBlockSize <= data.size(); at += PlainBlockSize)
    found += wildcard ? FindWildcard(p, int32_t(pattern.size()), data.data() + at, PlainBlockSize)
                      : FindPlain(p, int32_t(pattern.size()), data.data() + at, PlainBlockSize);
  return found;
}

// A pattern that starts with first and occurs nowhere in data.
std::string AbsentPattern(const std::vector<uint8_t>& data, uint8_t first, size_t length, bool wildcards) {
  for (uint32_t seed = 1;; seed++) {
    std::string pattern(1, char(first));
    uint32_t state = seed * 2654435761u;
    while (pattern.size() < length) {
      state = state * 1103515245u + 12345u;
      pattern += char(state >> 24);
    }
    for (char& c : pattern)
      if (c == '?' || c == '*') c = 'q';
    if (wildcards)
      for (size_t k : {3, 6, 9, 12}) pattern[k] = '?';
    if (SearchBlocks(data, pattern, wildcards) == 0) return pattern;
  }
}

void FillWithPeBytes(std::vector<uint8_t>& data, int count, char** files) {
  size_t filled = 0;
  while (filled < data.size() && count > 0) {
    for (int i = 0; i < count && filled < data.size(); i++) {
      FILE* file = fopen(files[i], "rb");
      if (!file) continue;
      filled += fread(data.data() + filled, 1, data.size() - filled, file);
      fclose(file);
    }
  }
}

void ReadInBlocks(const char* path) {
  static uint8_t block[PlainBlockSize];
  FileHandle file = OpenFileForReading(path);
  int32_t got = 0;
  uint32_t sum = 0;
  while (ReadFromFile(file, block, PlainBlockSize, &got) && got > 0) sum += block[0];
  CloseFile(file);
  sink = sum;
}

void LoadOneEntry(uint8_t kind, const std::string& pattern) {
  static PatchEntry entry;
  memset(&entry, 0, sizeof entry);
  entry.kind = kind;
  entry.pattern.length = uint8_t(pattern.size());
  memcpy(entry.pattern.bytes, pattern.data(), pattern.size());
  entry.data.length = 1;
  entry.data.bytes[0] = 'x';
  patchPackage.targetCount = 1;
  patchPackage.targets[0].entryCount = 1;
  patchPackage.targets[0].entries = &entry;
  currentTarget = 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: engine_bench WORK_FOLDER [PE_FILE...]\n");
    return 2;
  }
  std::vector<uint8_t> random(BufferSize);
  uint32_t state = 12345;
  for (size_t i = 0; i < random.size(); i += 4) {
    state = state * 1664525u + 1013904223u;
    memcpy(&random[i], &state, 4);
  }
  double bytes = double(BufferSize);

  MeasureInTurns(bytes, {{"crc32_quillbrand", [&] { sink = Crc32Update(random.data(), int32_t(random.size()), ~0u); }},
                         {"crc32_zlib", [&] { sink = uint32_t(crc32(0, random.data(), uInt(random.size()))); }}});

  std::string path = std::string(argv[1]) + "/bench-256mib.bin";
  FILE* out = fopen(path.c_str(), "wb");
  fwrite(random.data(), 1, random.size(), out);
  fclose(out);
  std::vector<uint8_t> pe(BufferSize);
  if (argc > 2) FillWithPeBytes(pe, argc - 2, argv + 2);
  else pe = random;
  std::string pePath = std::string(argv[1]) + "/bench-pe.bin";
  out = fopen(pePath.c_str(), "wb");
  fwrite(pe.data(), 1, pe.size(), out);
  fclose(out);

  std::string plain4 = AbsentPattern(random, 'Q', 4, false);
  std::string plain16 = AbsentPattern(random, 'Q', 16, false);
  std::string zero4 = AbsentPattern(pe, 0x00, 4, false);
  std::string zero16 = AbsentPattern(pe, 0x00, 16, false);
  std::string wild16 = AbsentPattern(pe, 0x8B, 16, true);
  std::string plainPe16 = AbsentPattern(pe, 0x8B, 16, false);
  MeasureInTurns(bytes, {{"read_32k_blocks", [&] { ReadInBlocks(path.c_str()); }},
                         {"findplain_4", [&] { sink = SearchBlocks(random, plain4, false); }},
                         {"findplain_16", [&] { sink = SearchBlocks(random, plain16, false); }}});
  MeasureInTurns(bytes, {{"read_32k_blocks_pe", [&] { ReadInBlocks(pePath.c_str()); }},
                         {"findplain_pe_00_4", [&] { sink = SearchBlocks(pe, zero4, false); }},
                         {"findplain_pe_00_16", [&] { sink = SearchBlocks(pe, zero16, false); }},
                         {"findplain_pe_16", [&] { sink = SearchBlocks(pe, plainPe16, false); }},
                         {"findwildcard_pe_16", [&] { sink = SearchBlocks(pe, wild16, true); }}});
  MeasureInTurns(bytes, {{"read_32k_blocks_file", [&] { ReadInBlocks(pePath.c_str()); }},
                         {"apply_plain", [&] {
                            LoadOneEntry(ReplaceAll, plainPe16);
                            sink = uint32_t(ApplyTargetPatch(pePath.c_str()).bytesWritten);
                          }},
                         {"apply_wildcard", [&] {
                            LoadOneEntry(ReplaceAllWildcard, wild16);
                            sink = uint32_t(ApplyTargetPatch(pePath.c_str()).bytesWritten);
                          }}});
  patchPackage.targets[0].entries = nullptr;
  remove(path.c_str());
  remove(pePath.c_str());
  return 0;
}
