#include "platform/standard_io.h"
#include "platform/windows_system.h"

Result<std::size_t> read_standard_input(char* buffer, std::size_t size) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD got = 0;
  const DWORD asked = size > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(size);
  if (ReadFile(input, buffer, asked, &got, nullptr)) return static_cast<std::size_t>(got);
  const DWORD error = GetLastError();
  if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return std::size_t{0};  // the writer closed its end
  return Status::io_error("standard input", windows_system::reason(error));
}

Status write_standard_output(std::string_view bytes) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(output, bytes.data(), chunk, &written, nullptr))
      return Status::io_error("standard output", windows_system::reason(GetLastError()));
    if (written == 0) return Status::io_error("standard output", "nothing written");
    bytes.remove_prefix(written);
  }
  return {};
}
