// The floor of the output cost: reads the given files into memory, then writes each into DIRECTORY
// with a single write and syncs it to the disk, and syncs the directory once, as a compiler that had its
// bytes ready and must leave them durable would.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: floor_writer DIRECTORY FILE...\n");
    return 2;
  }
  const std::string directory = argv[1];
  std::vector<std::pair<std::string, std::string>> files;
  for (int i = 2; i < argc; ++i) {
    const std::string path = argv[i];
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    files.emplace_back(directory + "/" + path.substr(path.rfind('/') + 1), std::move(bytes));
  }
  for (const auto& [path, bytes] : files) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) || fsync(fd) != 0 ||
        close(fd) != 0) {
      std::perror(path.c_str());
      return 1;
    }
  }
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0 || fsync(fd) != 0 || close(fd) != 0) {
    std::perror(directory.c_str());
    return 1;
  }
  return 0;
}
