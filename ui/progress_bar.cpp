#include "ui/progress_bar.h"

#include "engine/patch_engine.h"

WindowHandle progressBar;

void InitProgressBar() {
  progressBar = GetDialogItem(mainWindow, 1000);
  SendWindowMessage(progressBar, PBM_SETRANGE32_, 0, 100);
  SendWindowMessage(progressBar, PBM_SETSTEP_, 1, 0);
}

void SetProgress(int32_t percent) { SendWindowMessage(progressBar, PBM_SETPOS_, uintptr_t(percent), 0); }

void ReportCrcProgress(int32_t done, int32_t total) {
  if (total == 0) return;
  SetProgress(ProgressPercent(done, total));
}
