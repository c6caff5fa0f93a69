// Any bytes behind the marker: the reader must never crash, read past the
// end, or fill more than the table's 16 slots.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "builder/payload_writer.h"
#include "package/package_model.h"
#include "package/payload_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::string path = "/dev/shm/quillbrand-fuzz-reader-" + std::to_string(getpid());
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return 0;
  fwrite("MZ", 1, 2, file);
  fwrite(PayloadMarkerText, 1, 12, file);
  fwrite(data, 1, size, file);
  fclose(file);
  LoadPayloadMarker();
  int32_t at = LocatePayload(path.c_str());
  if (at < 0) abort();
  payloadOffset = at + 12;
  ReadPackage(path.c_str());
  if (patchPackage.targetCount > MaxTargets) abort();
  for (int i = 0; i < patchPackage.targetCount; i++) {
    const TargetRecord& target = patchPackage.targets[i];
    for (int32_t e = 0; e < target.entryCount; e++) {
      // Touch every entry: ASan reports any record outside the array.
      volatile uint8_t kind = target.entries[e].kind;
      (void)kind;
    }
  }
  ReleasePackage();
  return 0;
}
