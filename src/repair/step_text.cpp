#include "repair/step_text.h"

#include <cstdio>

#include "platform/system_message.h"
#include "repair/reg_file.h"
#include "resources/catalogue.h"

namespace orvane {
namespace {

constexpr std::size_t kShownBytes = 64;

std::uint16_t ActionText(StepKind kind) {
  switch (kind) {
    case StepKind::Key: return 3209;
    case StepKind::SetValue: return 3206;
    case StepKind::DeleteValue: return 3207;
    case StepKind::DeleteSubkey: return 3208;
    case StepKind::Command: return 3210;
    case StepKind::ShellVerbs: return 3211;
    case StepKind::DeleteTree: return 3212;
    case StepKind::Link: return 3700;
  }
  return 3209;
}

std::uint16_t OutcomeText(Outcome outcome) {
  switch (outcome) {
    case Outcome::Done: return 3213;
    case Outcome::Unchanged: return 3400;
    case Outcome::AlreadyAbsent: return 3214;
    case Outcome::Refused: return 3215;
    case Outcome::NoKey: return 3216;
    case Outcome::NotStarted: return 3217;
    case Outcome::NotRun: return 3218;
    case Outcome::UnsafePage: return 3701;
  }
  return 3218;
}

}  // namespace

std::string DescribeValue(const RegValue& value) {
  if (value.type == RegType::Sz || value.type == RegType::ExpandSz) {
    return std::string(value.type == RegType::ExpandSz ? "REG_EXPAND_SZ " : "") + "\"" + value.AsText() + "\"";
  }
  char text[32];
  if (value.type == RegType::Dword && value.data.size() == 4) {
    unsigned n = value.data[0] | value.data[1] << 8 | value.data[2] << 16 | unsigned(value.data[3]) << 24;
    std::snprintf(text, sizeof text, "dword:%08x", n);
    return text;
  }
  std::snprintf(text, sizeof text, "hex(%x):", static_cast<unsigned>(value.type));
  std::string out = text;
  for (std::size_t i = 0; i < value.data.size() && i < kShownBytes; ++i) {
    std::snprintf(text, sizeof text, i ? ",%02x" : "%02x", value.data[i]);
    out += text;
  }
  if (value.data.size() > kShownBytes) out += ",...";
  return out;
}

std::string DescribeStep(const StepTarget& target) {
  std::string text = LoadString(ActionText(target.kind)) + " ";
  if (target.kind == StepKind::Command) return text + target.command;
  text += FullKeyName(target.root, TargetKeyPath(target));
  switch (target.kind) {
    case StepKind::SetValue:
      return text + " \"" + target.name + "\" = " + DescribeValue(target.value);
    case StepKind::DeleteValue:
    case StepKind::DeleteSubkey:
      return text + " \"" + target.name + "\"";
    case StepKind::Link:
      return text + " -> " + target.value.AsLinkTarget();
    default:
      return text;
  }
}

std::string DescribeError(long code) {
  std::string message = SystemMessage(code);
  return message + "(" + std::to_string(code) + ")";
}

std::string DescribeOutcome(const StepOutcome& outcome) {
  std::string text = LoadString(OutcomeText(outcome.outcome));
  if (outcome.outcome == Outcome::Refused || outcome.outcome == Outcome::NoKey) {
    return text + " " + DescribeError(outcome.code);
  }
  return text;
}

std::string DescribeFound(const StepCheck& check) {
  switch (check.state) {
    case StepState::Intact: return LoadString(3221);
    case StepState::NotChecked: return LoadString(3224);
    case StepState::Unreadable: return LoadString(3227) + " " + DescribeError(check.code);
    case StepState::Differs: break;
  }
  if (check.found) return LoadString(3225) + DescribeValue(*check.found);
  if (!check.subkeys.empty()) return LoadString(3225) + check.subkeys.front();
  return LoadString(3226);
}

}  // namespace orvane
