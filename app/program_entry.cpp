#include "app/program_entry.h"

#include "package/package_model.h"
#include "package/payload_reader.h"
#include "platform/process.h"
#include "platform/window.h"
#include "ui/main_window.h"

int32_t RunProgram() {
  LoadPayloadMarker();
  char ownPath[261];
  GetOwnProgramPath(ownPath, sizeof ownPath);
  int32_t markerAt = LocatePayload(ownPath);
  if (markerAt < 0) return 0;
  payloadOffset = markerAt + 12;
  ReadPackage(ownPath);
  // The window steps through targets and needs at least one.
  if (patchPackage.targetCount == 0) {
    ReleasePackage();
    return 0;
  }
  ClearBytes(commandLinePath);
  if (patchPackage.targetCount == 1) FirstCommandLineArgument(GetProcessCommandLine(), commandLinePath);
  RunModalDialog(100, nullptr, MainDialogProc);
  ReleasePackage();
  return 0;
}
