#pragma once

// A temporary directory of a test's own, for every test that touches the disk.

#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

namespace test_support {

/// A new, empty directory under the system's temporary directory, removed with everything in it when
/// the object goes.
class TemporaryDirectory {
 public:
  explicit TemporaryDirectory(const std::string& prefix = "scenario-test") {
#ifdef _WIN32
    // No mkdtemp: a random name, made only when it is not taken.
    std::mt19937_64 numbers{std::random_device{}()};
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const auto candidate =
          std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(numbers() % 1000000000));
      if (std::filesystem::create_directory(candidate)) path_ = utf8(candidate);
    }
    if (path_.empty()) throw std::runtime_error("cannot make a temporary directory");
#else
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary directory");
    path_ = pattern;
#endif
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(native(path_), ignored);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::string& path() const { return path_; }
  /// A path inside the directory.
  std::string at(const std::string& name) const { return utf8(native(path_) / native(name)); }
  void write(const std::string& name, std::string_view bytes) const {
    std::filesystem::create_directories(native(at(name)).parent_path());
    std::ofstream(native(at(name)), std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(native(at(name)), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  /// The names of the entries of a directory inside it ("" for itself).
  std::set<std::string> entries(const std::string& name = "") const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(native(name.empty() ? path_ : at(name))))
      names.insert(utf8(entry.path().filename()));
    return names;
  }

  /// Names are UTF-8 in the tests as in the program (on Windows a plain string would be read in the local
  /// code page).
  static std::filesystem::path native(const std::string& name) { return std::u8string(name.begin(), name.end()); }
  static std::string utf8(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return {name.begin(), name.end()};
  }

 private:
  std::string path_;
};

}  // namespace test_support
