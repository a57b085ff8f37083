#pragma once

#include <cstdio>
#include <cstdlib>

// A property a fuzz target checks on every input; a failure aborts, which the
// fuzzer and the corpus replay both report.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)
