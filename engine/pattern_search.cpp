// Byte pattern searches over one block.
//
// Both fast searches look for candidates by two anchor bytes of the pattern
// at once, 64 block positions per step with AVX2 or 16 with SSE2, whichever
// the processor has (asked at run time, so the exe starts on any i686), and
// confirm each candidate in full. That keeps them fast on x86 code,
// where a single common first byte (0x00, 0xFF, 0x8B) would stop a
// first-byte scan at nearly every position.
#include <string.h>

#include "engine/patch_engine.h"

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>
#define QB_HAVE_SSE2_CODE 1
#endif

namespace {

const uint8_t AnyByte = '?';
const uint8_t AnyRun = '*';

// What a candidate start must satisfy besides its two anchors.
struct Candidate {
  const uint8_t* pattern;
  int32_t length;
  bool wildcards;  // "?" in the pattern matches any byte
};

bool Confirm(const Candidate& want, const uint8_t* at) {
  if (!want.wildcards) return memcmp(at, want.pattern, size_t(want.length)) == 0;
  for (int32_t k = 0; k < want.length; k++)
    if (want.pattern[k] != AnyByte && want.pattern[k] != at[k]) return false;
  return true;
}

// Smallest start s in [0, lastStart] with block[s + offsetA] == a,
// block[s + offsetB] == b and Confirm; -1 for none. Scalar form.
int32_t ScanScalar(const uint8_t* block, int32_t from, int32_t lastStart, uint8_t a, int32_t offsetA, uint8_t b,
                   int32_t offsetB, const Candidate& want) {
  for (int32_t s = from; s <= lastStart; s++)
    if (block[s + offsetA] == a && block[s + offsetB] == b && Confirm(want, block + s)) return s;
  return -1;
}

#ifdef QB_HAVE_SSE2_CODE
// A block that comes from memory rather than from a read just made is
// streamed into the cache this far ahead of the scan. A prefetch never
// faults, so reaching past the block's end is harmless.
const int32_t PrefetchAhead = 2048;

__attribute__((target("sse2"))) int32_t ScanSse2(const uint8_t* block, int32_t lastStart, uint8_t a, int32_t offsetA,
                                                  uint8_t b, int32_t offsetB, const Candidate& want) {
  const __m128i wantA = _mm_set1_epi8(char(a));
  const __m128i wantB = _mm_set1_epi8(char(b));
  int32_t s = 0;
  // Sixteen starts at a time while both anchor loads stay inside the block.
  for (; s + 15 <= lastStart; s += 16) {
    if ((s & 63) == 0) _mm_prefetch(reinterpret_cast<const char*>(uintptr_t(block + s) + PrefetchAhead), _MM_HINT_T0);
    __m128i atA = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + s + offsetA));
    __m128i atB = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + s + offsetB));
    unsigned hits = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(atA, wantA), _mm_cmpeq_epi8(atB, wantB))));
    while (hits != 0) {
      int32_t bit = __builtin_ctz(hits);
      if (Confirm(want, block + s + bit)) return s + bit;
      hits &= hits - 1;
    }
  }
  return ScanScalar(block, s, lastStart, a, offsetA, b, offsetB, want);
}

// Asked of the processor on every search: cheap next to the search itself,
// and no guarded static (which would pull the C++ run-time's locking in).
__attribute__((target("avx2"))) int32_t ScanAvx2(const uint8_t* block, int32_t lastStart, uint8_t a, int32_t offsetA,
                                                  uint8_t b, int32_t offsetB, const Candidate& want) {
  const __m256i wantA = _mm256_set1_epi8(char(a));
  const __m256i wantB = _mm256_set1_epi8(char(b));
  int32_t s = 0;
  // Sixty-four starts a step, tested as one branch; the rare hit is then
  // looked at half by half.
  for (; s + 63 <= lastStart; s += 64) {
    const uint8_t* at = block + s;
    _mm_prefetch(reinterpret_cast<const char*>(uintptr_t(at) + PrefetchAhead), _MM_HINT_T0);
    __m256i hits0 = _mm256_and_si256(
        _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offsetA)), wantA),
        _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offsetB)), wantB));
    __m256i hits1 = _mm256_and_si256(
        _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 32 + offsetA)), wantA),
        _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 32 + offsetB)), wantB));
    if (_mm256_testz_si256(_mm256_or_si256(hits0, hits1), _mm256_or_si256(hits0, hits1))) continue;
    for (int half = 0; half < 2; half++) {
      unsigned hits = unsigned(_mm256_movemask_epi8(half == 0 ? hits0 : hits1));
      while (hits != 0) {
        int32_t bit = __builtin_ctz(hits);
        if (Confirm(want, at + half * 32 + bit)) return s + half * 32 + bit;
        hits &= hits - 1;
      }
    }
  }
  return ScanScalar(block, s, lastStart, a, offsetA, b, offsetB, want);
}

// Asked once, before main: whether the processor (and the system, which
// must save the wide registers) offers AVX2.
const bool processorHasAvx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));

bool ProcessorHasSse2() {
#if defined(__x86_64__)
  return true;
#else
  return __builtin_cpu_supports("sse2");
#endif
}
#endif

int32_t ScanForCandidate(const uint8_t* block, int32_t lastStart, uint8_t a, int32_t offsetA, uint8_t b,
                         int32_t offsetB, const Candidate& want) {
#ifdef QB_HAVE_SSE2_CODE
  if (processorHasAvx2) return ScanAvx2(block, lastStart, a, offsetA, b, offsetB, want);
  if (ProcessorHasSse2()) return ScanSse2(block, lastStart, a, offsetA, b, offsetB, want);
#endif
  return ScanScalar(block, 0, lastStart, a, offsetA, b, offsetB, want);
}

// Leftmost start of a "*"-pattern match by one pass over the block: for every
// pattern position, the smallest start of a partial match standing there.
// Partial matches at the same position have the same future, so the
// smallest start is all that needs keeping.
int32_t FindWithRuns(const uint8_t* pattern, int32_t m, const uint8_t* block, int32_t n) {
  const int32_t None = 0x7FFFFFFF;
  int32_t current[257], next[257];
  for (int32_t i = 0; i <= m; i++) current[i] = None;
  int32_t best = None;
  // A "*" may stand for nothing: a start at i also stands at i + 1.
  auto close = [&](int32_t* states) {
    for (int32_t i = 0; i < m; i++)
      if (pattern[i] == AnyRun && states[i] < states[i + 1]) states[i + 1] = states[i];
  };
  for (int32_t t = 0; t < n; t++) {
    if (t < best && t < current[0]) current[0] = t;  // a new start at every block position
    close(current);
    if (current[m] < best) best = current[m];
    bool alive = false;
    for (int32_t i = 0; i <= m; i++) next[i] = None;
    for (int32_t i = 0; i < m; i++) {
      if (current[i] >= best) continue;
      uint8_t want = pattern[i];
      if (want == AnyRun) {
        if (current[i] < next[i]) next[i] = current[i];
      } else if (want == AnyByte || want == block[t]) {
        if (current[i] < next[i + 1]) next[i + 1] = current[i];
      } else {
        continue;
      }
      alive = true;
    }
    for (int32_t i = 0; i <= m; i++) current[i] = next[i];
    close(current);
    if (current[m] < best) best = current[m];
    if (!alive && best != None) break;
  }
  return best == None ? 0 : best + 1;
}

}  // namespace

int32_t FindPlain(const uint8_t* pattern, int32_t patternLength, const uint8_t* block, int32_t blockLength) {
  if (patternLength <= 0 || blockLength <= 0 || patternLength > blockLength) return 0;
  Candidate want = {pattern, patternLength, false};
  int32_t last = patternLength - 1;
  int32_t start = ScanForCandidate(block, blockLength - patternLength, pattern[0], 0, pattern[last], last, want);
  return start + 1;
}

bool WildcardMatch(const uint8_t* pattern, int32_t patternLength, const uint8_t* text, int32_t textLength) {
  // The pattern need only match a leading part of the text, so the first
  // time any partial match reaches the pattern's end decides.
  bool states[257];
  int32_t m = patternLength;
  for (int32_t i = 0; i <= m; i++) states[i] = i == 0;
  auto close = [&]() {
    for (int32_t i = 0; i < m; i++)
      if (states[i] && pattern[i] == AnyRun) states[i + 1] = true;
  };
  close();
  if (states[m]) return true;
  for (int32_t t = 0; t < textLength; t++) {
    bool next[257] = {false};
    bool alive = false;
    for (int32_t i = 0; i < m; i++) {
      if (!states[i]) continue;
      if (pattern[i] == AnyRun) next[i] = alive = true;
      else if (pattern[i] == AnyByte || pattern[i] == text[t]) next[i + 1] = alive = true;
    }
    for (int32_t i = 0; i <= m; i++) states[i] = next[i];
    close();
    if (states[m]) return true;
    if (!alive) return false;
  }
  return false;
}

int32_t FindWildcard(const uint8_t* pattern, int32_t patternLength, const uint8_t* block, int32_t blockLength) {
  if (patternLength <= 0 || blockLength <= 0) return 0;
  if (memchr(pattern, AnyRun, size_t(patternLength))) return FindWithRuns(pattern, patternLength, block, blockLength);
  if (patternLength > blockLength) return 0;
  // Anchor on the first and the last byte that is not "?".
  int32_t first = -1, last = -1;
  for (int32_t k = 0; k < patternLength; k++)
    if (pattern[k] != AnyByte) {
      if (first < 0) first = k;
      last = k;
    }
  if (first < 0) return 1;  // only "?": the first place where the pattern fits
  Candidate want = {pattern, patternLength, true};
  int32_t start =
      ScanForCandidate(block, blockLength - patternLength, pattern[first], first, pattern[last], last, want);
  return start + 1;
}

void ComplementText(const uint8_t* text, int32_t count, uint8_t* out) {
  for (int32_t k = 0; k < count; k++) out[k] = uint8_t(~text[k]);
}

int32_t CountLiteralBytes(const uint8_t* text, int32_t count) {
  int32_t literal = 0;
  for (int32_t k = 0; k < count; k++) literal += text[k] != AnyByte;
  return literal;
}
