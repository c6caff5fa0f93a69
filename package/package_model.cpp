#include "package/package_model.h"

PatchPackage patchPackage;
uint8_t currentTarget;

void UnscrambleText(ShortText& text) {
  for (int k = 1; k <= text.length; k++) text.bytes[k - 1] = char(uint8_t(text.bytes[k - 1]) ^ uint8_t(k));
}
