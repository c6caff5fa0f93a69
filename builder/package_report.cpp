#include "builder/package_report.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "builder/codepage.h"
#include "builder/package_file.h"
#include "package/package_model.h"
#include "package/payload_reader.h"

namespace {

std::string Text(const ShortText& text) { return std::string(text.bytes, text.length); }

uint32_t Little32(const std::string& bytes, size_t at) {
  if (at + 4 > bytes.size()) return 0;
  return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 | uint32_t(uint8_t(bytes[at + 2])) << 16 |
         uint32_t(uint8_t(bytes[at + 3])) << 24;
}

// Where the PE's certificate table (its Authenticode signature) starts, or 0.
uint64_t SignatureOffset(const std::string& image) {
  uint32_t header = Little32(image, 0x3C);
  if (header + 24 > image.size() || image.compare(header, 4, std::string("PE\0\0", 4)) != 0) return 0;
  size_t optional = header + 24;
  uint16_t magic = uint16_t(uint8_t(image[optional]) | uint8_t(image[optional + 1]) << 8);
  size_t directories = optional + (magic == 0x20B ? 112 : 96);
  uint32_t offset = Little32(image, directories + 4 * 8);  // entry 4: the certificate table
  uint32_t size = Little32(image, directories + 4 * 8 + 4);
  return size != 0 && uint64_t(offset) + size <= image.size() ? offset : 0;
}

std::string HexBytes(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", c);
    if (!out.empty()) out += ' ';
    out += pair;
  }
  return out;
}

}  // namespace

PackageDescription DescribeLoadedPackage() {
  const PatchPackage& p = patchPackage;
  PackageDescription package;
  package.reservedByte = p.reservedByte;
  package.textsScrambled = p.textsScrambled;
  package.windowCaption = Text(p.windowCaption);
  package.titleText = Text(p.titleText);
  package.descriptionText = Text(p.descriptionText);
  package.aboutText = Text(p.aboutText);
  package.link1Caption = Text(p.link1Caption);
  package.link1Target = Text(p.link1Target);
  package.link2Caption = Text(p.link2Caption);
  package.link2Target = Text(p.link2Target);
  for (int i = 0; i < p.targetCount; i++) {
    const TargetRecord& t = p.targets[i];
    TargetDescription target;
    target.fileName = Text(t.fileName);
    target.expectedSize = t.expectedSize;
    target.sizeText = Text(t.sizeText);
    target.dateText = Text(t.dateText);
    target.fileFilter = Text(t.fileFilter);
    target.expectedCrc = t.expectedCrc;
    target.checkSize = t.checkSize;
    target.checkCrc = t.checkCrc;
    target.hasDate = t.hasDate;
    target.reservedFlag = t.reservedFlag;
    target.reservedText = Text(t.reservedText);
    if (t.entryCount <= 0) {
      target.overrideEntryCount = true;
      target.entryCount = t.entryCount;
    }
    for (int32_t e = 0; e < t.entryCount; e++)
      target.entries.push_back({t.entries[e].kind, t.entries[e].offset, Text(t.entries[e].data), Text(t.entries[e].pattern)});
    package.targets.push_back(target);
  }
  return package;
}

bool LoadProgramPackage(const std::string& path, std::string& error) {
  ReleasePackage();
  currentTarget = 0;
  LoadPayloadMarker();
  int32_t at = LocatePayload(path.c_str());
  if (at < 0) {
    std::ifstream probe(path, std::ios::binary);
    error = path + (probe ? ": carries no package" : ": cannot be read");
    return false;
  }
  payloadOffset = at + 12;
  ReadPackage(path.c_str());
  if (patchPackage.targetCount == 0) {
    error = path + ": the package has no complete target";
    return false;
  }
  return true;
}

bool InspectProgram(const std::string& path, InspectedProgram& result, std::string& error) {
  std::string image;
  if (!ReadWholeFile(path, image)) {
    error = path + ": cannot be read";
    return false;
  }
  result = InspectedProgram();
  ReleasePackage();
  LoadPayloadMarker();
  int32_t at = LocatePayload(path.c_str());
  if (at < 0) return true;
  result.hasPackage = true;
  result.markerOffset = at;
  payloadOffset = at + 12;
  ReadPackage(path.c_str());
  result.package = DescribeLoadedPackage();

  // The package as read, written again, is exactly the bytes the reader
  // took; what follows them is trailing bytes. Fewer complete targets than
  // the payload declares is damage.
  std::string stored = image.substr(size_t(payloadOffset));
  std::string reread = WritePayload(result.package);
  size_t countAt = 2;
  for (int text = 0; text < 8 && countAt < stored.size(); text++) countAt += 1 + uint8_t(stored[countAt]);
  result.declaredTargets = countAt < stored.size() ? uint8_t(stored[countAt]) : 0;
  int complete = int(result.package.targets.size());
  if (countAt >= stored.size()) {
    result.damaged = true;
    result.damage = "the payload ends inside its header";
  } else if (result.declaredTargets > 16) {
    result.damaged = true;
    result.damage = "the payload declares " + std::to_string(result.declaredTargets) +
                    " targets; the runtime reads the first 16";
  } else if (result.declaredTargets > complete) {
    result.damaged = true;
    result.damage = "the payload declares " + std::to_string(result.declaredTargets) + " targets and ends early: " +
                    std::to_string(complete) + " complete";
  }
  result.payloadBytes = result.damaged ? int64_t(stored.size()) : int64_t(reread.size());
  result.trailingBytes = int64_t(stored.size()) - result.payloadBytes;
  uint64_t signature = SignatureOffset(image);
  result.trailingIsSignature = result.trailingBytes > 0 && signature >= uint64_t(payloadOffset + result.payloadBytes) &&
                               signature - uint64_t(payloadOffset + result.payloadBytes) < 8;
  return true;
}

std::string InspectionText(const std::string& path, const InspectedProgram& r) {
  std::ostringstream out;
  if (!r.hasPackage) {
    out << path << ": carries no package (no marker)\n";
    return out.str();
  }
  const PackageDescription& p = r.package;
  out << path << ": package behind the marker at offset " << r.markerOffset << ", " << r.payloadBytes << " bytes"
      << (p.textsScrambled ? ", texts scrambled" : "") << "\n";
  if (r.damaged) out << "DAMAGED: " << r.damage << "\n";
  if (r.trailingBytes > 0)
    out << r.trailingBytes << " trailing bytes follow the package"
        << (r.trailingIsSignature ? ": an Authenticode signature" : "") << "\n";
  out << "caption:     " << Cp936ToUtf8(p.windowCaption) << "\n"
      << "title:       " << Cp936ToUtf8(p.titleText) << "\n"
      << "description: " << Cp936ToUtf8(p.descriptionText) << "\n"
      << "about:       " << Cp936ToUtf8(p.aboutText) << "\n"
      << "link 1:      " << Cp936ToUtf8(p.link1Caption) << " -> " << Cp936ToUtf8(p.link1Target) << "\n"
      << "link 2:      " << Cp936ToUtf8(p.link2Caption) << " -> " << Cp936ToUtf8(p.link2Target) << "\n"
      << "targets:     " << p.targets.size() << "\n";
  for (size_t i = 0; i < p.targets.size(); i++) {
    const TargetDescription& t = p.targets[i];
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08X", t.expectedCrc);
    out << "target " << i << ": " << Cp936ToUtf8(t.fileName) << "\n"
        << "  size " << t.expectedSize << (t.checkSize ? " (checked)" : " (not checked)") << ", shown as \""
        << Cp936ToUtf8(t.sizeText) << "\"\n"
        << "  crc32 " << crc << (t.checkCrc ? " (checked)" : " (not checked)") << "\n"
        << "  date " << (t.hasDate ? "\"" + Cp936ToUtf8(t.dateText) + "\"" : "(none)") << "\n"
        << "  filter \"" << Cp936ToUtf8(t.fileFilter) << "\"\n"
        << "  entries " << t.entries.size() << "\n";
    for (size_t e = 0; e < t.entries.size(); e++) {
      const EntryDescription& entry = t.entries[e];
      out << "    " << e << ": " << (entry.kind < 6 ? KindName(entry.kind) : "unnamed (as replace_all)") << " ("
          << unsigned(entry.kind) << ") at " << entry.offset << " data [" << HexBytes(entry.data) << "]";
      if (entry.kind != 0) out << " pattern [" << HexBytes(entry.pattern) << "]";
      out << "\n";
    }
  }
  return out.str();
}

std::string InspectionJson(const std::string& path, const InspectedProgram& r) {
  using nlohmann::json;
  json out = {{"file", path}, {"hasPackage", r.hasPackage}};
  if (r.hasPackage) {
    const PackageDescription& p = r.package;
    out["markerOffset"] = r.markerOffset;
    out["payloadBytes"] = r.payloadBytes;
    out["trailingBytes"] = r.trailingBytes;
    out["trailingIsSignature"] = r.trailingIsSignature;
    out["damaged"] = r.damaged;
    if (r.damaged) out["damage"] = r.damage;
    out["declaredTargets"] = r.declaredTargets;
    out["reservedByte"] = p.reservedByte;
    out["scrambled"] = p.textsScrambled != 0;
    out["caption"] = Cp936ToUtf8(p.windowCaption);
    out["title"] = Cp936ToUtf8(p.titleText);
    out["description"] = Cp936ToUtf8(p.descriptionText);
    out["about"] = Cp936ToUtf8(p.aboutText);
    out["link1"] = {{"caption", Cp936ToUtf8(p.link1Caption)}, {"target", Cp936ToUtf8(p.link1Target)}};
    out["link2"] = {{"caption", Cp936ToUtf8(p.link2Caption)}, {"target", Cp936ToUtf8(p.link2Target)}};
    out["targets"] = json::array();
    for (const TargetDescription& t : p.targets) {
      json target = {{"fileName", Cp936ToUtf8(t.fileName)}, {"expectedSize", t.expectedSize},
                     {"sizeText", Cp936ToUtf8(t.sizeText)}, {"dateText", Cp936ToUtf8(t.dateText)},
                     {"fileFilter", Cp936ToUtf8(t.fileFilter)}, {"expectedCrc", t.expectedCrc},
                     {"checkSize", t.checkSize != 0}, {"checkCrc", t.checkCrc != 0}, {"hasDate", t.hasDate != 0},
                     {"reservedFlag", t.reservedFlag}, {"reservedText", Cp936ToUtf8(t.reservedText)}};
      target["entries"] = json::array();
      for (const EntryDescription& e : t.entries) {
        json entry = {{"kind", e.kind}, {"kindName", KindName(e.kind)}, {"offset", e.offset}, {"data", HexBytes(e.data)}};
        if (e.kind != 0) entry["pattern"] = HexBytes(e.pattern);
        target["entries"].push_back(entry);
      }
      out["targets"].push_back(target);
    }
  }
  return out.dump(2) + "\n";
}
