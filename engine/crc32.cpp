// Table-driven CRC-32. Eight tables let the loop fold eight bytes per step
// (slicing): still one table lookup per byte, with fewer dependent steps.
#include <string.h>

#include "engine/patch_engine.h"

namespace {

struct CrcTables {
  uint32_t entry[8][256];
};

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
  return tables;
}

constexpr CrcTables crcTables = MakeTables();

}  // namespace

uint32_t Crc32Update(const uint8_t* bytes, int32_t count, uint32_t crcRegister) {
  const uint32_t(*t)[256] = crcTables.entry;
  uint32_t crc = crcRegister;
  while (count >= 8) {
    uint32_t low, high;
    memcpy(&low, bytes, 4);
    memcpy(&high, bytes + 4, 4);
    low ^= crc;  // little-endian: the register meets the first four bytes
    crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
          t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    bytes += 8;
    count -= 8;
  }
  while (count-- > 0) crc = (crc >> 8) ^ t[0][(crc ^ *bytes++) & 0xFF];
  return crc;
}
