// A program that holds a file open as most programs do, without leave to delete it (as the simulator
// holds the scenario it has loaded), for the Wine comparison: hold_open FILE SECONDS. It says "holding"
// on standard output once the file is open, and lets it go after SECONDS.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: hold_open FILE SECONDS\n");
    return 2;
  }
  const HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "hold_open: cannot open %s (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(std::atoi(argv[2])) * 1000);
  CloseHandle(file);
  return 0;
}
