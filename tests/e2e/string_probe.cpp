// Prints string 999 of the exe named on the command line as hex bytes, the
// way the runtime loads it (LoadStringA, room for 13 characters).
#include <windows.h>
#include <stdio.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HMODULE module = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return 3;
  char buffer[13] = {0};
  int n = LoadStringA(module, 999, buffer, 13);
  for (int i = 0; i < n; i++) printf("%02x", (unsigned char)buffer[i]);
  printf("\n");
  return 0;
}
