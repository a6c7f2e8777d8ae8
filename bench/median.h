#pragma once

#include <algorithm>
#include <vector>

namespace bench {

// The middle value; for an even count, the mean of the two middle ones.
inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace bench
