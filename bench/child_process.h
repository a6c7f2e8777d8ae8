#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct ChildRun {
  bool exited_ok = false;       // ended by exit status 0
  std::int64_t started_ns = 0;  // just before it was spawned, on the monotonic clock
  std::string output;           // all it wrote to its standard output and error
  long peak_rss_kib = 0;        // its peak resident memory
};

// Starts `program` with `arguments`, collects what it writes and waits for it.
ChildRun RunChild(const std::string& program, const std::vector<std::string>& arguments);

// The folder this benchmark's own program lies in, where its helper programs are.
std::string OwnFolder();

}  // namespace bench
