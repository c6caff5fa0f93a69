// The window layer for the command-line tool: the runtime's own start action
// runs against it, with the target path and backup choice given here, its
// message boxes collected for printing, and its progress drawn on stderr.
#pragma once
#include <string>
#include <vector>

struct ConsoleBox {
  std::string caption;  // CP936, as the runtime composed them
  std::string text;
  unsigned style;
};

struct ConsoleWindow {
  std::string targetPath;  // what the path box holds
  bool backupTicked = true;
  bool drawProgress = false;
  std::vector<ConsoleBox> boxes;
  bool ended = false;
};

extern ConsoleWindow console;

// Installs a fresh console window as mainWindow.
void ResetConsoleWindow();
