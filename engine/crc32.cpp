// Table-driven CRC-32, one table lookup per byte.
//
// Eight tables let the loop fold eight bytes per step (slicing). Long runs
// are cut into four lanes that are folded side by side, so the processor
// works on four independent chains of lookups at once; the lanes' registers
// are joined by shifting each one past the lanes after it (a multiplication
// modulo the polynomial, once per 32 KiB, not per byte).
#include <string.h>

#include "engine/patch_engine.h"

namespace {

struct CrcTables {
  uint32_t entry[8][256];
  uint32_t powers[32];  // x^(2^k) modulo the polynomial, reflected
};

constexpr uint32_t MultiplyModP(uint32_t a, uint32_t b) {
  // Reflected: bit 31 stands for x^0. Shift-and-add, reducing as b grows.
  uint32_t product = 0;
  for (uint32_t bit = 1u << 31; bit != 0; bit >>= 1) {
    if (a & bit) product ^= b;
    b = (b & 1) ? (b >> 1) ^ 0xEDB88320u : b >> 1;
  }
  return product;
}

constexpr CrcTables MakeTables() {
  CrcTables tables{};
  for (uint32_t i = 0; i < 256; i++) {
    uint32_t value = i;
    for (int bit = 0; bit < 8; bit++) value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
    tables.entry[0][i] = value;
  }
  for (int k = 1; k < 8; k++)
    for (uint32_t i = 0; i < 256; i++) {
      uint32_t previous = tables.entry[k - 1][i];
      tables.entry[k][i] = (previous >> 8) ^ tables.entry[0][previous & 0xFF];
    }
  tables.powers[0] = 1u << 30;  // x^1
  for (int k = 1; k < 32; k++) tables.powers[k] = MultiplyModP(tables.powers[k - 1], tables.powers[k - 1]);
  return tables;
}

constexpr CrcTables crcTables = MakeTables();

// x^(8 * bytes) modulo the polynomial: what shifting a register past that
// many zero bytes multiplies it by.
constexpr uint32_t ShiftFactor(uint32_t bytes) {
  uint32_t factor = 1u << 31;  // x^0
  for (int k = 3; bytes != 0; k++, bytes >>= 1)
    if (bytes & 1) factor = MultiplyModP(crcTables.powers[k], factor);
  return factor;
}

__attribute__((always_inline)) inline uint32_t FoldEight(uint32_t crc, const uint8_t* bytes) {
  const uint32_t(*t)[256] = crcTables.entry;
  uint32_t low, high;
  memcpy(&low, bytes, 4);
  memcpy(&high, bytes + 4, 4);
  low ^= crc;  // little-endian: the register meets the first four bytes
  return t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
         t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
}

uint32_t FoldBytes(uint32_t crc, const uint8_t* bytes, int32_t count) {
  while (count >= 8) {
    crc = FoldEight(crc, bytes);
    bytes += 8;
    count -= 8;
  }
  while (count-- > 0) crc = (crc >> 8) ^ crcTables.entry[0][(crc ^ *bytes++) & 0xFF];
  return crc;
}

// A run is folded in groups of four neighbouring lanes of LaneBytes each,
// so the four chains read memory close together; each group is joined with
// a constant factor.
const int32_t LaneBytes = 8192;
constexpr uint32_t laneShift = ShiftFactor(LaneBytes);

}  // namespace

uint32_t Crc32Update(const uint8_t* bytes, int32_t count, uint32_t crcRegister) {
  uint32_t crc = crcRegister;
  while (count >= 4 * LaneBytes) {
    uint32_t crc1 = 0, crc2 = 0, crc3 = 0;
    for (int32_t done = 0; done < LaneBytes; done += 8) {
      crc = FoldEight(crc, bytes + done);
      crc1 = FoldEight(crc1, bytes + LaneBytes + done);
      crc2 = FoldEight(crc2, bytes + 2 * LaneBytes + done);
      crc3 = FoldEight(crc3, bytes + 3 * LaneBytes + done);
    }
    // The register of a run is linear: A then B is A shifted past B, plus B.
    crc = MultiplyModP(laneShift, crc) ^ crc1;
    crc = MultiplyModP(laneShift, crc) ^ crc2;
    crc = MultiplyModP(laneShift, crc) ^ crc3;
    bytes += 4 * LaneBytes;
    count -= 4 * LaneBytes;
  }
  return FoldBytes(crc, bytes, count);
}
