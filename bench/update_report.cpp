#include "bench/update_report.h"

#include <sstream>

namespace bench {

std::string FormatReport(const UpdateFigures& f) {
  std::ostringstream out;
  out << "update " << f.succeeded << ' ' << f.duration_us << ' ' << f.cpu_us << ' '
      << f.wire.host_bytes << ' ' << f.wire.host_wire_us << ' ' << f.wire.device_bytes << ' '
      << f.wire.device_wire_us << ' ' << f.device_work_us << '\n';
  return out.str();
}

std::optional<UpdateFigures> ParseReport(const std::string& output) {
  const std::size_t at = output.rfind("update ");
  if (at == std::string::npos) return std::nullopt;
  std::istringstream in(output.substr(at));
  std::string word;
  UpdateFigures f;
  in >> word >> f.succeeded >> f.duration_us >> f.cpu_us >> f.wire.host_bytes >>
      f.wire.host_wire_us >> f.wire.device_bytes >> f.wire.device_wire_us >> f.device_work_us;
  if (!in || word != "update") return std::nullopt;
  return f;
}

}  // namespace bench
