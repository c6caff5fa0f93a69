// quillbrand: build, diff, inspect and apply patch programs.
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>

#include "builder/codepage.h"
#include "builder/console_window.h"
#include "builder/package_diff.h"
#include "builder/package_file.h"
#include "builder/package_report.h"
#include "package/package_model.h"
#include "workflow/fixed_texts.h"
#include "workflow/start_action.h"

namespace {

const int ExitChecksFailed = 1;
const int ExitBadInput = 2;

int Fail(const std::string& message) {
  std::cerr << "quillbrand: " << message << "\n";
  return ExitBadInput;
}

// The runtime beside this program, as scripts/build lays out dist/.
std::string DefaultRuntime() {
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path = n > 0 ? std::string(self, size_t(n)) : std::string();
  std::string folder = path.substr(0, path.find_last_of('/') + 1);
  for (const char* candidate : {"quillbrand-runtime.exe", "../../dist/quillbrand-runtime.exe", "../win32/quillbrand-runtime.exe"}) {
    struct stat status;
    if (stat((folder + candidate).c_str(), &status) == 0) return folder + candidate;
  }
  return folder + "quillbrand-runtime.exe";
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

int Build(const std::string& description, const std::string& output, const std::string& runtime, bool force) {
  PackageDescription package;
  std::string error;
  BuildOptions options;
  options.allowUnnamedKinds = force;
  if (!ReadPackageFile(description, options, package, error)) return Fail(error);
  if (!BuildPatchProgram(runtime.empty() ? DefaultRuntime() : runtime, package, output, error)) return Fail(error);
  std::cout << "built " << output << ": " << package.targets.size() << " target(s)\n";
  return 0;
}

int Inspect(const std::string& program, bool json) {
  InspectedProgram result;
  std::string error;
  if (!InspectProgram(program, result, error)) return Fail(error);
  std::cout << (json ? InspectionJson(program, result) : InspectionText(program, result));
  if (!result.hasPackage) return ExitBadInput;
  return result.damaged ? ExitChecksFailed : 0;
}

std::string DateText(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return "";
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", std::localtime(&status.st_mtime));
  return text;
}

int Diff(const std::string& originalPath, const std::string& patchedPath, const std::string& output,
         const std::string& buildOutput, const std::string& runtime) {
  std::string error;
  MappedFile originalFile(originalPath), patchedFile(patchedPath);
  if (!originalFile.ok) return Fail(originalPath + ": cannot be read");
  if (!patchedFile.ok) return Fail(patchedPath + ": cannot be read");
  std::string_view original = originalFile.bytes, patched = patchedFile.bytes;
  if (original.size() >= 0x80000000u || patched.size() >= 0x80000000u)
    return Fail("files of 2 GiB or more cannot be patched");
  TargetDescription target;
  if (!DeriveTarget(originalPath, original, patched, target, error)) return Fail(error);
  Utf8ToCp936(BaseName(originalPath), target.fileName);
  Utf8ToCp936(std::to_string(original.size()) + " 字节", target.sizeText);
  target.hasDate = 1;
  Utf8ToCp936(DateText(originalPath), target.dateText);
  PackageDescription package;
  Utf8ToCp936("补丁 " + BaseName(originalPath), package.windowCaption);
  package.titleText = package.windowCaption;
  package.targets = {target};
  if (!CheckPackage(package, BuildOptions(), error)) return Fail(error);
  std::string toml = PackageToToml(package);
  if (output.empty() && buildOutput.empty()) std::cout << toml;
  if (!output.empty()) {
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out << toml;
    if (!out) return Fail(output + ": cannot be written");
  }
  if (!buildOutput.empty() && !BuildPatchProgram(runtime.empty() ? DefaultRuntime() : runtime, package, buildOutput, error))
    return Fail(error);
  std::cerr << "diff: " << target.entries.size() << " entries, verified by applying them to a copy\n";
  return 0;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

int Apply(const std::string& program, const std::string& targetPath, int targetIndex, bool noBackup, bool dryRun) {
  std::string error;
  if (!LoadProgramPackage(program, error)) return Fail(error);
  if (targetIndex < 0 || targetIndex >= patchPackage.targetCount)
    return Fail("--target " + std::to_string(targetIndex) + ": the package has " +
                std::to_string(patchPackage.targetCount) + " target(s), numbered from 0");
  currentTarget = uint8_t(targetIndex);

  std::string workPath = targetPath, original, folder;
  if (dryRun) {
    char pattern[] = "/tmp/quillbrand-dry-run-XXXXXX";
    if (!mkdtemp(pattern)) return Fail("cannot make a temporary folder");
    folder = pattern;
    if (ReadWholeFile(targetPath, original)) {
      workPath = folder + "/" + BaseName(targetPath);
      std::ofstream(workPath, std::ios::binary) << original;
    } else {
      workPath = folder + "/missing";  // the open test reports it
    }
  }
  ResetConsoleWindow();
  console.targetPath = workPath;
  console.backupTicked = !noBackup && !dryRun;
  console.drawProgress = isatty(2);
  StartAction();

  bool failed = false;
  for (const ConsoleBox& box : console.boxes) {
    failed |= box.caption == ErrorCaption;
    std::string text = Cp936ToUtf8(Replace(box.text, workPath, targetPath));
    std::cout << Cp936ToUtf8(box.caption) << ": " << Replace(text, "\r\n", "\n") << "\n";
  }
  if (dryRun) {
    std::string after;
    ReadWholeFile(workPath, after);
    if (!failed) {
      std::cout << "dry run: " << targetPath << " is unchanged; the patch would change:\n";
      size_t common = std::min(original.size(), after.size());
      for (size_t at = 0; at < common;) {
        if (original[at] == after[at]) {
          at++;
          continue;
        }
        size_t end = at;
        while (end < common && original[end] != after[end]) end++;
        std::cout << "  bytes " << at << " to " << end - 1 << "\n";
        at = end;
      }
      if (after.size() != original.size())
        std::cout << "  length " << original.size() << " -> " << after.size() << "\n";
    }
    unlink(workPath.c_str());
    rmdir(folder.c_str());
  }
  return failed ? ExitChecksFailed : 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"quillbrand: make, check and apply self-applying patch programs"};
  app.require_subcommand(1);

  std::string description, output, runtime;
  bool force = false;
  CLI::App* build = app.add_subcommand("build", "build a patch program from a package description (TOML)");
  build->add_option("PACKAGE", description, "package description")->required();
  build->add_option("-o,--output", output, "patch program to write")->required();
  build->add_option("--runtime", runtime, "the bare runtime exe (default: beside this tool)");
  build->add_flag("--force", force, "build entry kinds 6-255 (applied as replace_all)");

  std::string original, patched, diffOutput, diffBuild;
  CLI::App* diff = app.add_subcommand("diff", "derive a package that turns ORIGINAL into PATCHED");
  diff->add_option("ORIGINAL", original)->required();
  diff->add_option("PATCHED", patched)->required();
  diff->add_option("-o,--output", diffOutput, "write the package description here (default: stdout)");
  diff->add_option("--build", diffBuild, "also build the patch program");
  diff->add_option("--runtime", runtime, "the bare runtime exe (default: beside this tool)");

  std::string program;
  bool json = false;
  CLI::App* inspect = app.add_subcommand("inspect", "show the package a patch program carries");
  inspect->add_option("PROGRAM", program)->required();
  inspect->add_flag("--json", json, "one JSON document");

  std::string target;
  int targetIndex = 0;
  bool noBackup = false, dryRun = false;
  CLI::App* apply = app.add_subcommand("apply", "check and patch TARGET as the patch program would");
  apply->add_option("PROGRAM", program)->required();
  apply->add_option("TARGET", target)->required();
  apply->add_option("--target", targetIndex, "which target of the package (from 0)");
  apply->add_flag("--no-backup", noBackup, "make no .bak copy");
  apply->add_flag("--dry-run", dryRun, "work on a temporary copy and list what would change");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& failure) {
    int code = app.exit(failure);
    return code == 0 ? 0 : ExitBadInput;
  }
  if (*build) return Build(description, output, runtime, force);
  if (*diff) return Diff(original, patched, diffOutput, diffBuild, runtime);
  if (*inspect) return Inspect(program, json);
  return Apply(program, target, targetIndex, noBackup, dryRun);
}
