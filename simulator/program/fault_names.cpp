#include "simulator/program/fault_names.h"

#include <charconv>

#include "payload/firmware.h"

namespace simprog {
namespace {

constexpr int kLastChunk = static_cast<int>(kLoaderSize / 256) - 1;

std::optional<int> Number(std::string_view text, int base) {
  if (base == 16 && (text.starts_with("0x") || text.starts_with("0X"))) text.remove_prefix(2);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return {};
  return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at = text.find(separator); at != std::string_view::npos;
       at = text.find(separator)) {
    parts.push_back(text.substr(0, at));
    text.remove_prefix(at + 1);
  }
  parts.push_back(text);
  return parts;
}

}  // namespace

const std::vector<StepName>& StepNames() {
  static const std::vector<StepName> names = {
      {"sync", sim::Step::kSync, 0, false},
      {"calibration", sim::Step::kCalibration, 0, false},
      {"probe", sim::Step::kProbe, 0, false},
      {"command0c", sim::Step::kCommand0C, 1, false},
      {"chunk", sim::Step::kChunk, kLastChunk, false},
      {"start", sim::Step::kStart, 0, false},
      {"erase-ack", sim::Step::kEraseAck, 0, false},
      {"erase-done", sim::Step::kEraseDone, 0, false},
      {"data-mode", sim::Step::kDataMode, 0, false},
      {"page", sim::Step::kPage, 63, true},
      {"closing", sim::Step::kClosing, 0, false},
  };
  return names;
}

const std::vector<KindName>& KindNames() {
  static const std::vector<KindName> names = {
      {"no-reply", sim::FaultKind::kNoReply},
      {"wrong-reply", sim::FaultKind::kWrongReply},
      {"late-reply", sim::FaultKind::kLateReply},
      {"noise", sim::FaultKind::kNoiseBeforeReply},
      {"power-lost", sim::FaultKind::kPowerLost},
      {"unplugged", sim::FaultKind::kAdapterUnplugged},
      {"erase-never-completes", sim::FaultKind::kEraseNeverCompletes},
  };
  return names;
}

const std::vector<std::uint8_t>& Banks() {
  static const std::vector<std::uint8_t> banks = [] {
    std::vector<std::uint8_t> list;
    for (std::size_t b = 0; b < kBankCount; ++b) list.push_back(BuiltInBankImages()[b].bank);
    return list;
  }();
  return banks;
}

int PagesIn(std::uint8_t bank) {
  for (std::size_t b = 0; b < kBankCount; ++b) {
    if (BuiltInBankImages()[b].bank == bank) {
      return static_cast<int>(BuiltInBankImages()[b].size / kPageSize);
    }
  }
  return 0;
}

std::optional<sim::Fault> ParseFault(std::string_view text, std::string& error) {
  sim::Fault fault;
  if (text.ends_with('*')) {
    fault.times = 0;
    text.remove_suffix(1);
  }
  const std::size_t at = text.find('@');
  if (at == std::string_view::npos) {
    error = "a fault is KIND@STEP";
    return {};
  }
  const std::string_view kind = text.substr(0, at);
  const std::vector<std::string_view> step = Split(text.substr(at + 1), ':');

  const KindName* kind_name = nullptr;
  for (const KindName& k : KindNames()) {
    if (kind == k.name) kind_name = &k;
  }
  if (kind_name == nullptr) {
    error = "unknown fault kind \"" + std::string(kind) + "\"";
    return {};
  }
  fault.kind = kind_name->kind;

  const StepName* step_name = nullptr;
  for (const StepName& s : StepNames()) {
    if (step[0] == s.name) step_name = &s;
  }
  if (step_name == nullptr) {
    error = "unknown step \"" + std::string(step[0]) + "\"";
    return {};
  }
  const std::size_t arguments = step_name->banked ? 2 : step_name->last_index > 0 ? 1 : 0;
  if (step.size() != arguments + 1) {
    error = "step \"" + std::string(step_name->name) + "\" takes " + std::to_string(arguments) +
            " number(s) after it";
    return {};
  }
  fault.at.step = step_name->step;
  int last_index = step_name->last_index;
  if (step_name->banked) {
    const std::optional<int> bank = Number(step[1], 16);
    if (!bank || PagesIn(static_cast<std::uint8_t>(*bank)) == 0 || *bank > 0xFF) {
      error = "no bank \"" + std::string(step[1]) + "\" in the payload";
      return {};
    }
    fault.at.bank = static_cast<std::uint8_t>(*bank);
    last_index = PagesIn(fault.at.bank) - 1;
  }
  if (arguments > 0) {
    const std::optional<int> index = Number(step.back(), 10);
    if (!index || *index < 0 || *index > last_index) {
      error = "\"" + std::string(step.back()) + "\" is not 0 to " + std::to_string(last_index);
      return {};
    }
    fault.at.index = *index;
  }
  if (fault.kind == sim::FaultKind::kEraseNeverCompletes && fault.at.step != sim::Step::kEraseAck &&
      fault.at.step != sim::Step::kEraseDone) {
    error = "only the erase can fail to complete";
    return {};
  }
  return fault;
}

std::string Describe(const sim::Fault& fault) {
  return sim::Describe(fault.kind) + " at " + sim::Describe(fault.at) +
         (fault.times == 0 ? " (every time)" : "");
}

std::string FaultSyntaxHelp() {
  std::string kinds, steps;
  for (const KindName& k : KindNames()) kinds += std::string(kinds.empty() ? "" : ", ") + k.name;
  for (const StepName& s : StepNames()) {
    steps += std::string(steps.empty() ? "" : ", ") + s.name +
             (s.banked           ? ":BANK:K"
              : s.last_index > 0 ? ":K"
                                 : "");
  }
  return "KIND is one of " + kinds + ";\nSTEP is one of " + steps +
         "\n(BANK in hex: DF, FC to FF). A trailing * spoils every occurrence of the step.";
}

}  // namespace simprog
