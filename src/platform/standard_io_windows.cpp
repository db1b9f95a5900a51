#include "platform/standard_io.h"
#include "platform/windows_system.h"

long read_standard_input(char* buffer, std::size_t size, std::string& reason) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD got = 0;
  const DWORD asked = size > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(size);
  if (ReadFile(input, buffer, asked, &got, nullptr)) return static_cast<long>(got);
  const DWORD error = GetLastError();
  if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return 0;  // the writer closed its end
  reason = windows_system::reason(error);
  return -1;
}

bool write_standard_output(std::string_view bytes, std::string& reason) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(output, bytes.data(), chunk, &written, nullptr)) {
      reason = windows_system::reason(GetLastError());
      return false;
    }
    if (written == 0) {
      reason = "nothing written";
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}
