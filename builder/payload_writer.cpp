#include "builder/payload_writer.h"

std::string ScrambleText(const std::string& text) {
  std::string result = text;
  for (size_t k = 1; k <= result.size(); k++) result[k - 1] = char(uint8_t(result[k - 1]) ^ uint8_t(k));
  return result;
}

namespace {

struct PayloadBuilder {
  std::string bytes;
  bool scrambled;

  void Number8(uint8_t value) { bytes += char(value); }
  void Number32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes += char((value >> shift) & 0xFF);
  }
  void Text(const std::string& text) {
    std::string stored = text.substr(0, 255);
    if (scrambled) stored = ScrambleText(stored);
    Number8(uint8_t(stored.size()));
    bytes += stored;
  }
};

}  // namespace

std::string WritePayload(const PackageDescription& package) {
  PayloadBuilder out{std::string(), package.textsScrambled != 0};
  out.Number8(package.reservedByte);
  out.Number8(package.textsScrambled);
  for (const std::string* text : {&package.windowCaption, &package.titleText, &package.descriptionText,
                                  &package.aboutText, &package.link1Caption, &package.link1Target,
                                  &package.link2Caption, &package.link2Target})
    out.Text(*text);
  out.Number8(package.overrideTargetCount ? package.targetCount : uint8_t(package.targets.size()));
  for (const TargetDescription& target : package.targets) {
    out.Text(target.fileName);
    out.Number32(uint32_t(target.expectedSize));
    out.Text(target.sizeText);
    out.Text(target.dateText);
    out.Text(target.fileFilter);
    out.Number32(target.expectedCrc);
    out.Number8(target.checkSize);
    out.Number8(target.checkCrc);
    out.Number8(target.hasDate);
    out.Number8(target.reservedFlag);
    out.Text(target.reservedText);
    out.Number32(uint32_t(target.overrideEntryCount ? target.entryCount : int32_t(target.entries.size())));
    for (const EntryDescription& entry : target.entries) {
      out.Number8(entry.kind);
      out.Number32(uint32_t(entry.offset));
      out.Text(entry.data);
      if (entry.kind != 0) out.Text(entry.pattern);
    }
  }
  return out.bytes;
}
