// The main window's progress bar (control 1000): a whole percent, 0 to 100.
#pragma once
#include <stdint.h>

#include "platform/window.h"

extern WindowHandle progressBar;

// Takes the bar's handle from mainWindow and sets range 0..100, step 1.
void InitProgressBar();
// Sends the position as it is; 0 empties the bar.
void SetProgress(int32_t percent);
// The checksum's progress callback: nothing when total is 0, otherwise the
// percent of done in total, rounded half to even.
void ReportCrcProgress(int32_t done, int32_t total);
