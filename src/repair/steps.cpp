#include "repair/steps.h"

#include <string>
#include <vector>

#include "repair/check.h"
#include "repair/key_tree.h"

namespace orvane {
namespace {

constexpr std::string_view kShellVerbsBase = "Directory\\shell\\";
constexpr std::string_view kBlankPage = "about:blank";

bool Absent(long code) { return code == regerr::kFileNotFound; }

RegValue StepValue(const Step& step, const AppConfig& config) {
  if (step.type == RegType::Dword) return RegValue::Dword(step.number);
  return RegValue::Text(step.type, StepText(step, config));
}

StepOutcome Written(long code) {
  return {code == regerr::kSuccess ? Outcome::Done : Outcome::Refused, code};
}

StepOutcome Deleted(long code) {
  if (Absent(code)) return {Outcome::AlreadyAbsent, code};
  return Written(code);
}

// A Key target and the value and subkey targets after it.
std::size_t GroupEnd(const std::vector<StepTarget>& targets, std::size_t keyIndex) {
  std::size_t end = keyIndex + 1;
  while (end < targets.size() && targets[end].hasKey && targets[end].kind != StepKind::Key) ++end;
  return end;
}

// Repeats each group whose key Windows keeps apart in the two views.
std::vector<StepTarget> InBothViews(std::vector<StepTarget> targets) {
  std::vector<StepTarget> out;
  out.reserve(targets.size());
  for (std::size_t i = 0; i < targets.size();) {
    if (targets[i].kind != StepKind::Key || !HasSeparateViews(targets[i].root, targets[i].path)) {
      out.push_back(std::move(targets[i++]));
      continue;
    }
    const std::size_t end = GroupEnd(targets, i);
    for (RegView view : {RegView::Bits64, RegView::Bits32}) {
      for (std::size_t j = i; j < end; ++j) {
        out.push_back(targets[j]);
        out.back().view = view;
      }
    }
    i = end;
  }
  return out;
}

// Applies one value or subkey step to the open key.
StepOutcome ApplyToKey(RegistryService& registry, const RegKey& key, const StepTarget& target) {
  switch (target.kind) {
    case StepKind::SetValue: return Written(registry.SetValue(key.Get(), target.name, target.value));
    case StepKind::DeleteValue: return Deleted(registry.DeleteValue(key.Get(), target.name));
    default: return Deleted(DeleteSubkeyItself(registry, key.Get(), target.name));
  }
}

}  // namespace

std::string StepText(const Step& step, const AppConfig& config) {
  switch (step.source) {
    case TextSource::StartPage:
      return config.HomePage.empty() ? std::string(kBlankPage) : config.HomePage;
    case TextSource::SearchPage:
      return config.SEO.empty() ? std::string(DefaultSearchPage) : config.SEO;
    case TextSource::Fixed:
      break;
  }
  return std::string(step.text);
}

std::string ShellVerbsKey(std::string_view path) {
  std::string full(kShellVerbsBase);
  full += path;
  return full;
}

bool DeleteShellVerbs(RegistryService& registry, std::string_view path) {
  return EmptyKeyTree(registry, RegRoot::ClassesRoot, ShellVerbsKey(path));
}

std::vector<StepTarget> ResolveSteps(std::span<const Step> steps, const AppConfig& config) {
  std::vector<StepTarget> targets;
  targets.reserve(steps.size());
  const Step* key = nullptr;
  for (const Step& step : steps) {
    StepTarget target{.kind = step.kind, .name = std::string(step.name)};
    switch (step.kind) {
      case StepKind::Key:
        key = &step;
        break;
      case StepKind::SetValue:
        target.value = StepValue(step, config);
        target.unsafePage = step.source != TextSource::Fixed && !IsSafePage(StepText(step, config));
        break;
      case StepKind::Command:
        key = nullptr;
        target.command = std::string(step.path);
        break;
      case StepKind::ShellVerbs:
        key = nullptr;
        target.root = RegRoot::ClassesRoot;
        target.path = ShellVerbsKey(step.path);
        break;
      default:
        break;
    }
    if (key && step.kind != StepKind::ShellVerbs && step.kind != StepKind::Command) {
      target.root = key->root;
      target.path = std::string(key->path);
      target.hasKey = true;
    }
    targets.push_back(std::move(target));
  }
  return InBothViews(std::move(targets));
}

std::string TargetKeyPath(const StepTarget& target) {
  return target.view == RegView::Bits32 ? Wow64Path(target.root, target.path) : target.path;
}

bool RunReport::Succeeded() const { return !FirstFailure().has_value(); }

bool RunReport::Wrote() const {
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    if (outcomes[i].outcome == Outcome::Done && targets[i].kind != StepKind::Command) return true;
  }
  return false;
}

std::optional<std::size_t> RunReport::FirstFailure() const {
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    // Emptying the verb tree only prepares the deletion after it.
    if (targets[i].kind == StepKind::ShellVerbs) continue;
    if (outcomes[i].Failed()) return i;
  }
  return std::nullopt;
}

RunReport RunSteps(std::span<const Step> steps, RepairContext& context) {
  return ApplyTargets(ResolveSteps(steps, context.config), context);
}

RunReport ApplyTargets(std::vector<StepTarget> targets, RepairContext& context) {
  RegistryService& registry = context.registry;
  RunReport report{std::move(targets), {}};
  report.outcomes.resize(report.targets.size());
  RegKey key(registry);
  long keyCode = regerr::kInvalidHandle;  // a value step before any Key has no key
  constexpr std::size_t kNoStep = ~std::size_t{0};
  std::size_t keyStep = kNoStep;  // a Key step found intact: created when first needed
  for (std::size_t i = 0; i < report.targets.size(); ++i) {
    const StepTarget& target = report.targets[i];
    StepOutcome& outcome = report.outcomes[i];
    if (target.kind != StepKind::SetValue && target.kind != StepKind::DeleteValue &&
        target.kind != StepKind::DeleteSubkey) {
      key.Close();
      keyCode = regerr::kInvalidHandle;
      keyStep = kNoStep;
    }
    const StepState found = target.kind == StepKind::Command
                                ? StepState::NotChecked
                                : CheckStep(registry, report.targets, i).state;
    switch (target.kind) {
      case StepKind::Key:
        if (found == StepState::Intact) {
          keyStep = i;
          outcome = {Outcome::Unchanged, 0};
        } else {
          keyCode = key.Create(target.root, target.path, target.view);
          outcome = Written(keyCode);
        }
        break;
      case StepKind::SetValue:
      case StepKind::DeleteValue:
      case StepKind::DeleteSubkey:
        if (target.unsafePage) {
          outcome = {Outcome::UnsafePage, regerr::kInvalidData};
          break;
        }
        if (found == StepState::Intact) {
          outcome = {target.kind == StepKind::SetValue ? Outcome::Unchanged : Outcome::AlreadyAbsent, 0};
          break;
        }
        if (keyStep != kNoStep) {  // the key was there when read; open it now to write
          keyCode = key.Create(report.targets[keyStep].root, report.targets[keyStep].path,
                               report.targets[keyStep].view);
          report.outcomes[keyStep] = Written(keyCode);
          keyStep = kNoStep;
        }
        outcome = key.IsOpen() ? ApplyToKey(registry, key, target) : StepOutcome{Outcome::NoKey, keyCode};
        break;
      case StepKind::Command: {
        auto process = context.commands.Start(target.command, kShowMinimized);
        if (!process) {
          outcome = {Outcome::NotStarted, 0};
          return report;  // the steps after it stay NotRun
        }
        if (context.started) context.started->push_back(*process);
        outcome = {Outcome::Done, 0};
        break;
      }
      case StepKind::ShellVerbs:
        if (found == StepState::Intact) {
          outcome = {Outcome::Unchanged, 0};
        } else {
          outcome = {EmptyKeyTree(registry, target.root, target.path) ? Outcome::Done : Outcome::Refused, 0};
        }
        break;
      case StepKind::DeleteTree:
        outcome = found == StepState::Intact ? StepOutcome{Outcome::AlreadyAbsent, 0}
                                             : Written(DeleteKeyTree(registry, target.root, target.path));
        break;
      case StepKind::Link: {
        if (found == StepState::Intact) {
          outcome = {Outcome::Unchanged, 0};
          break;
        }
        long code = DeleteKeyTree(registry, target.root, target.path);  // whatever stands there instead
        if (code == regerr::kSuccess) {
          code = registry.CreateLink(target.root, target.path, target.view, target.value.AsLinkTarget());
        }
        outcome = Written(code);
        break;
      }
    }
  }
  return report;
}

}  // namespace orvane
