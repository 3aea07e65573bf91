// Test helper: holds a file open without sharing for N seconds, as another
// program locking it would, so that 7-Zip cannot open it during an update.
#include <stdio.h>
#include <windows.h>
int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  HANDLE h = CreateFileW(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
  if (h == INVALID_HANDLE_VALUE) {
    printf("open failed %lu\n", GetLastError());
    return 1;
  }
  printf("locked\n");
  fflush(stdout);
  Sleep(_wtoi(argv[2]) * 1000);
  CloseHandle(h);
  return 0;
}
