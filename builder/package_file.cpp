#include "builder/package_file.h"

#include <toml++/toml.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "builder/codepage.h"

namespace {

const char* const kindNames[] = {"write_at",           "replace_first",       "replace_all",
                                 "replace_first_wildcard", "replace_all_wildcard", "truncate_at"};

struct Reader {
  const BuildOptions& options;
  std::string& error;

  bool Fail(const std::string& field, const std::string& what) {
    error = field + ": " + what;
    return false;
  }

  bool Text(const toml::table& table, const char* key, const std::string& field, std::string& out) {
    const toml::node* node = table.get(key);
    out.clear();
    if (!node) return true;
    const auto* value = node->as_string();
    if (!value) return Fail(field, "must be a text");
    if (!Utf8ToCp936(value->get(), out)) return Fail(field, "has a character that code page 936 cannot store");
    return true;
  }

  bool Bytes(const toml::table& table, const char* key, const std::string& field, std::string& out) {
    std::string textKey = std::string(key) + "_text";
    if (table.contains(key) && table.contains(textKey)) return Fail(field, "give either " + std::string(key) + " or " + textKey);
    if (table.contains(textKey)) return Text(table, textKey.c_str(), field, out);
    out.clear();
    const toml::node* node = table.get(key);
    if (!node) return true;
    const auto* value = node->as_string();
    if (!value || !ParseHexBytes(value->get(), out)) return Fail(field, "must be hex byte pairs such as \"48 8B ?? 05\"");
    return true;
  }

  template <typename T>
  bool Number(const toml::table& table, const char* key, const std::string& field, int64_t low, int64_t high, T& out) {
    const toml::node* node = table.get(key);
    if (!node) return true;
    const auto* value = node->as_integer();
    if (!value || value->get() < low || value->get() > high)
      return Fail(field, "must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    out = T(value->get());
    return true;
  }

  bool Flag(const toml::table& table, const char* key, const std::string& field, uint8_t& out) {
    const toml::node* node = table.get(key);
    if (!node) return true;
    if (const auto* value = node->as_boolean()) {
      out = value->get() ? 1 : 0;
      return true;
    }
    return Number(table, key, field, 0, 255, out);
  }

  bool Crc(const toml::table& table, const std::string& field, uint32_t& out) {
    const toml::node* node = table.get("expected_crc");
    if (!node) return true;
    if (const auto* text = node->as_string()) {
      char* end = nullptr;
      unsigned long value = std::strtoul(text->get().c_str(), &end, 16);
      if (text->get().empty() || *end != 0 || value > 0xFFFFFFFFul) return Fail(field, "must be 8 hex digits");
      out = uint32_t(value);
      return true;
    }
    return Number(table, "expected_crc", field, 0, 0xFFFFFFFFll, out);
  }

  bool Kind(const toml::table& table, const std::string& field, uint8_t& out) {
    const toml::node* node = table.get("kind");
    if (!node) return Fail(field, "is missing");
    if (const auto* name = node->as_string()) {
      for (unsigned k = 0; k < 6; k++)
        if (name->get() == kindNames[k]) {
          out = uint8_t(k);
          return true;
        }
      return Fail(field, "unknown kind \"" + name->get() + "\"");
    }
    return Number(table, "kind", field, 0, 255, out);
  }

  bool Entry(const toml::table& table, const std::string& field, EntryDescription& entry) {
    if (!Kind(table, field + ".kind", entry.kind)) return false;
    if (!table.contains("offset")) return Fail(field + ".offset", "is missing");
    if (!Number(table, "offset", field + ".offset", 0, 0x7FFFFFFF, entry.offset)) return false;
    if (!Bytes(table, "data", field + ".data", entry.data)) return false;
    if (!Bytes(table, "pattern", field + ".pattern", entry.pattern)) return false;
    if (entry.kind == 0 && !entry.pattern.empty()) return Fail(field + ".pattern", "write_at takes no pattern");
    if (entry.kind >= 1 && entry.kind <= 4 && entry.pattern.empty())
      return Fail(field + ".pattern", "a search needs a pattern");
    return true;
  }

  bool Target(const toml::table& table, const std::string& field, TargetDescription& target) {
    if (!Text(table, "file_name", field + ".file_name", target.fileName) ||
        !Number(table, "expected_size", field + ".expected_size", 0, 0x7FFFFFFF, target.expectedSize) ||
        !Text(table, "size_text", field + ".size_text", target.sizeText) ||
        !Text(table, "date_text", field + ".date_text", target.dateText) ||
        !Text(table, "file_filter", field + ".file_filter", target.fileFilter) ||
        !Crc(table, field + ".expected_crc", target.expectedCrc) ||
        !Flag(table, "check_size", field + ".check_size", target.checkSize) ||
        !Flag(table, "check_crc", field + ".check_crc", target.checkCrc) ||
        !Flag(table, "has_date", field + ".has_date", target.hasDate) ||
        !Number(table, "reserved_flag", field + ".reserved_flag", 0, 255, target.reservedFlag) ||
        !Text(table, "reserved_text", field + ".reserved_text", target.reservedText))
      return false;
    if (const toml::node* entries = table.get("entry")) {
      const toml::array* list = entries->as_array();
      if (!list) return Fail(field + ".entry", "must be a list of [[target.entry]] tables");
      for (size_t i = 0; i < list->size(); i++) {
        const toml::table* entry = list->get(i)->as_table();
        std::string name = field + ".entry[" + std::to_string(i) + "]";
        if (!entry) return Fail(name, "must be a table");
        target.entries.emplace_back();
        if (!Entry(*entry, name, target.entries.back())) return false;
      }
    }
    return true;
  }

  bool Link(const toml::table& table, const char* key, std::string& caption, std::string& target) {
    const toml::node* node = table.get(key);
    if (!node) return true;
    const toml::table* link = node->as_table();
    if (!link) return Fail(key, "must be { caption = \"...\", target = \"...\" }");
    return Text(*link, "caption", std::string(key) + ".caption", caption) &&
           Text(*link, "target", std::string(key) + ".target", target);
  }

  bool Package(const toml::table& table, PackageDescription& package) {
    const toml::node* scrambled = table.get("scrambled");
    if (scrambled && !scrambled->as_boolean()) return Fail("scrambled", "must be true or false");
    package.textsScrambled = scrambled && scrambled->as_boolean()->get() ? 1 : 0;
    if (!Number(table, "reserved_byte", "reserved_byte", 0, 255, package.reservedByte) ||
        !Text(table, "caption", "caption", package.windowCaption) || !Text(table, "title", "title", package.titleText) ||
        !Text(table, "description", "description", package.descriptionText) ||
        !Text(table, "about", "about", package.aboutText) ||
        !Link(table, "link1", package.link1Caption, package.link1Target) ||
        !Link(table, "link2", package.link2Caption, package.link2Target))
      return false;
    const toml::node* targets = table.get("target");
    const toml::array* list = targets ? targets->as_array() : nullptr;
    if (targets && !list) return Fail("target", "must be a list of [[target]] tables");
    for (size_t i = 0; list && i < list->size(); i++) {
      const toml::table* target = list->get(i)->as_table();
      std::string name = "target[" + std::to_string(i) + "]";
      if (!target) return Fail(name, "must be a table");
      package.targets.emplace_back();
      if (!Target(*target, name, package.targets.back())) return false;
    }
    return CheckPackage(package, options, error);
  }
};

bool TooLong(const std::string& bytes, const std::string& field, std::string& error) {
  if (bytes.size() <= 255) return false;
  error = field + ": " + std::to_string(bytes.size()) + " bytes after encoding, the limit is 255";
  return true;
}

}  // namespace

bool ParseHexBytes(const std::string& text, std::string& bytes) {
  bytes.clear();
  std::istringstream in(text);
  std::string pair;
  while (in >> pair) {
    if (pair == "??") {
      bytes += '?';
      continue;
    }
    if (pair.size() != 2 || !isxdigit((unsigned char)pair[0]) || !isxdigit((unsigned char)pair[1])) return false;
    bytes += char(std::stoi(pair, nullptr, 16));
  }
  return true;
}

const char* KindName(unsigned kind) { return kind < 6 ? kindNames[kind] : ""; }

bool CheckPackage(const PackageDescription& package, const BuildOptions& options, std::string& error) {
  const std::pair<const std::string*, const char*> header[] = {
      {&package.windowCaption, "caption"},      {&package.titleText, "title"},
      {&package.descriptionText, "description"}, {&package.aboutText, "about"},
      {&package.link1Caption, "link1.caption"}, {&package.link1Target, "link1.target"},
      {&package.link2Caption, "link2.caption"}, {&package.link2Target, "link2.target"}};
  for (const auto& [text, name] : header)
    if (TooLong(*text, name, error)) return false;
  if (package.targets.empty()) {
    error = "target: the package has no target; the limit is 1 to 16";
    return false;
  }
  if (package.targets.size() > 16) {
    error = "target: " + std::to_string(package.targets.size()) + " targets, the limit is 16";
    return false;
  }
  for (size_t t = 0; t < package.targets.size(); t++) {
    const TargetDescription& target = package.targets[t];
    std::string name = "target[" + std::to_string(t) + "]";
    const std::pair<const std::string*, const char*> texts[] = {
        {&target.fileName, ".file_name"},     {&target.sizeText, ".size_text"},
        {&target.dateText, ".date_text"},     {&target.fileFilter, ".file_filter"},
        {&target.reservedText, ".reserved_text"}};
    for (const auto& [text, field] : texts)
      if (TooLong(*text, name + field, error)) return false;
    for (size_t e = 0; e < target.entries.size(); e++) {
      const EntryDescription& entry = target.entries[e];
      std::string field = name + ".entry[" + std::to_string(e) + "]";
      if (entry.kind > 5 && !options.allowUnnamedKinds) {
        error = field + ".kind: " + std::to_string(entry.kind) + " has no name (the limit is 5); --force builds it as replace_all";
        return false;
      }
      if (TooLong(entry.data, field + ".data", error) || TooLong(entry.pattern, field + ".pattern", error)) return false;
    }
  }
  std::string payload = WritePayload(package);
  size_t at = payload.find(PayloadMarkerText);
  if (at != std::string::npos) {
    error = "the payload holds the 12 marker bytes \"" + std::string(PayloadMarkerText) + "\" at payload byte " +
            std::to_string(at) + ": the runtime would read the package from there, the wrong place" +
            (package.textsScrambled ? "" : " (scrambled = true may avoid it)");
    return false;
  }
  return true;
}

bool ReadPackageFile(const std::string& path, const BuildOptions& options, PackageDescription& package,
                     std::string& error) {
  toml::table table;
  try {
    table = toml::parse_file(path);
  } catch (const toml::parse_error& failure) {
    std::ostringstream message;
    message << path << ":" << failure.source().begin.line << ": " << failure.description();
    error = message.str();
    return false;
  }
  Reader reader{options, error};
  package = PackageDescription();
  if (!reader.Package(table, package)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

namespace {

std::string TomlString(const std::string& cp936) {
  std::string utf8 = Cp936ToUtf8(cp936), out = "\"";
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += char(c);
    } else if (c < 0x20 || c == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", c);
      out += escape;
    } else {
      out += char(c);
    }
  }
  return out + "\"";
}

std::string HexString(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char pair[4];
    std::snprintf(pair, sizeof pair, c == '?' ? "??" : "%02X", c);
    if (!out.empty()) out += ' ';
    out += pair;
  }
  return "\"" + out + "\"";
}

}  // namespace

std::string PackageToToml(const PackageDescription& package) {
  std::ostringstream out;
  out << "scrambled = " << (package.textsScrambled ? "true" : "false") << "\n";
  out << "caption = " << TomlString(package.windowCaption) << "\n";
  out << "title = " << TomlString(package.titleText) << "\n";
  out << "description = " << TomlString(package.descriptionText) << "\n";
  out << "about = " << TomlString(package.aboutText) << "\n";
  if (!package.link1Caption.empty() || !package.link1Target.empty())
    out << "link1 = { caption = " << TomlString(package.link1Caption) << ", target = " << TomlString(package.link1Target) << " }\n";
  if (!package.link2Caption.empty() || !package.link2Target.empty())
    out << "link2 = { caption = " << TomlString(package.link2Caption) << ", target = " << TomlString(package.link2Target) << " }\n";
  for (const TargetDescription& target : package.targets) {
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08X", target.expectedCrc);
    out << "\n[[target]]\nfile_name = " << TomlString(target.fileName) << "\nexpected_size = " << target.expectedSize
        << "\nexpected_crc = \"" << crc << "\"\ncheck_size = " << (target.checkSize ? "true" : "false")
        << "\ncheck_crc = " << (target.checkCrc ? "true" : "false") << "\nsize_text = " << TomlString(target.sizeText)
        << "\nhas_date = " << (target.hasDate ? "true" : "false") << "\ndate_text = " << TomlString(target.dateText)
        << "\nfile_filter = " << TomlString(target.fileFilter) << "\n";
    for (const EntryDescription& entry : target.entries) {
      out << "\n[[target.entry]]\nkind = ";
      if (entry.kind < 6) out << "\"" << KindName(entry.kind) << "\"";
      else out << unsigned(entry.kind);
      out << "\noffset = " << entry.offset << "\ndata = " << HexString(entry.data) << "\n";
      if (entry.kind != 0) out << "pattern = " << HexString(entry.pattern) << "\n";
    }
  }
  return out.str();
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  bytes = all.str();
  return true;
}

bool BuildPatchProgram(const std::string& runtimePath, const PackageDescription& package,
                       const std::string& outputPath, std::string& error) {
  std::string bytes;
  if (!ReadWholeFile(runtimePath, bytes)) {
    error = runtimePath + ": cannot read the runtime";
    return false;
  }
  if (bytes.size() < 2 || bytes.compare(0, 2, "MZ") != 0) {
    error = runtimePath + ": not a Windows program";
    return false;
  }
  if (bytes.find(PayloadMarkerText) != std::string::npos) {
    error = runtimePath + ": carries a package already; build from the bare runtime";
    return false;
  }
  bytes += PayloadMarkerText;
  bytes += WritePayload(package);
  std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  if (!out) {
    error = outputPath + ": cannot write the patch program";
    return false;
  }
  return true;
}
