#pragma once

#include <cstdio>
#include <cstdlib>

/// A property every input must keep; a broken one stops the fuzzer with the condition and its place,
/// so that the input is kept as a finding.
#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)
