#pragma once

#include <string>
#include <string_view>

/// Where the bytes of a file go as they are made: each piece is passed on at once, so a producer that
/// makes its bytes in pieces through a small buffer of its own never holds them whole.
class ByteSink {
 public:
  virtual void write(std::string_view bytes) = 0;

 protected:
  ~ByteSink() = default;
};

/// A sink that gathers the bytes in memory.
class StringSink : public ByteSink {
 public:
  void write(std::string_view bytes) override { bytes_.append(bytes); }
  std::string& bytes() { return bytes_; }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};
