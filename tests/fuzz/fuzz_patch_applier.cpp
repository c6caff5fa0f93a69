// Random entries on a random file: the applier must end, stay inside its
// buffers and never write outside what the entries name.
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "builder/payload_writer.h"
#include "engine/patch_engine.h"
#include "package/package_model.h"
#include "package/payload_reader.h"
#include "tests/fake_window.h"

namespace {

struct Input {
  const uint8_t* data;
  size_t size;
  uint8_t Byte() {
    if (size == 0) return 0;
    size--;
    return *data++;
  }
  std::string Text(size_t most) {
    size_t length = Byte() % (most + 1);
    std::string text;
    while (length-- > 0) text += char("AB?*xX\0\xff"[Byte() % 8]);
    return text;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in = {data, size};
  static std::string dir = "/dev/shm/quillbrand-fuzz-applier-" + std::to_string(getpid());
  PackageDescription package;
  TargetDescription target;
  int entries = in.Byte() % 4;
  for (int i = 0; i < entries; i++) {
    EntryDescription entry;
    entry.kind = in.Byte() % 8;
    int16_t offset = int16_t(in.Byte() | in.Byte() << 8);
    entry.offset = offset % 3000;
    entry.data = in.Text(4);
    if (entry.kind != 0) entry.pattern = in.Text(4);
    target.entries.push_back(entry);
  }
  package.targets.push_back(target);
  std::string program = dir + ".exe";
  std::string bytes = std::string("MZ") + PayloadMarkerText + WritePayload(package);
  FILE* file = fopen(program.c_str(), "wb");
  fwrite(bytes.data(), 1, bytes.size(), file);
  fclose(file);
  ReleasePackage();
  LoadPayloadMarker();
  payloadOffset = LocatePayload(program.c_str()) + 12;
  ReadPackage(program.c_str());
  currentTarget = 0;

  // The rest is the file, stretched so that block edges come into play.
  std::string content(reinterpret_cast<const char*>(in.data), in.size);
  if (!content.empty() && content[0] & 1) content.resize(1020 + size_t(uint8_t(content[0])) * 130, 'x');
  std::string path = dir + ".bin";
  file = fopen(path.c_str(), "wb");
  fwrite(content.data(), 1, content.size(), file);
  fclose(file);
  ResetFakeWindow();
  ApplyTargetPatch(path.c_str());
  return 0;
}
