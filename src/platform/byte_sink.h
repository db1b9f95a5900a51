#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// Where the bytes of a file go as they are made: each piece is passed on at once, so a producer that
/// makes its bytes in pieces through a small buffer of its own never holds them whole.
///
/// A producer either appends every piece (write) or places every piece (write_at), never both on one
/// sink: placing lets it make two stretches of a file side by side, each at its own offset.
class ByteSink {
 public:
  /// Appends the bytes after those given before.
  virtual void write(std::string_view bytes) = 0;
  /// Puts the bytes at `offset` from the start of the file, which then holds at least offset +
  /// bytes.size() bytes. A stretch not yet placed reads as zeros until it is.
  virtual void write_at(std::uint64_t offset, std::string_view bytes) = 0;

 protected:
  ~ByteSink() = default;
};

/// A sink that gathers the bytes in memory.
class StringSink : public ByteSink {
 public:
  void write(std::string_view bytes) override { bytes_.append(bytes); }
  void write_at(std::uint64_t offset, std::string_view bytes) override {
    const auto at = static_cast<std::size_t>(offset);
    if (bytes_.size() < at + bytes.size()) bytes_.resize(at + bytes.size());
    bytes_.replace(at, bytes.size(), bytes);
  }
  std::string& bytes() { return bytes_; }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};
