// What the Start button does: check the chosen file, back it up, patch it,
// report, and move on to the next target (or close the window after the last).
#pragma once

#include "package/byte_string.h"

void StartAction();

// The path box text, at most 254 bytes.
void ReadTargetPathBox(ByteString& path);
// True when the backup box is ticked.
bool BackupWanted();
void ShowError(const char* text);
// Asks whether to skip to the next target; false without asking in a
// one-target package and on the last target.
bool AskContinue();
// Moves currentTarget on; ends the window after the last target.
void AdvanceTarget();
