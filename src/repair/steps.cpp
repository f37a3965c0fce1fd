#include "repair/steps.h"

#include <exception>
#include <string>
#include <vector>

namespace orvane {
namespace {

constexpr std::string_view kShellVerbsBase = "Directory\\shell\\";
constexpr std::string_view kBlankPage = "about:blank";

bool Absent(long code) { return code == regerr::kFileNotFound; }

RegValue StepValue(const Step& step, const AppConfig& config) {
  if (step.type == RegType::Dword) return RegValue::Dword(step.number);
  return RegValue::Text(step.type, StepText(step, config));
}

// One level of the walk; a failure here ends this level only.
bool EmptyShellVerb(RegistryService& registry, const std::string& path) {
  try {
    RegKey key(registry);
    std::string full(kShellVerbsBase);
    full += path;
    long opened = key.Open(RegRoot::ClassesRoot, full, kKeyAllButDelete);
    if (opened != regerr::kSuccess) return Absent(opened);

    RegKeyInfo info;
    if (registry.QueryInfoKey(key.Get(), info) != regerr::kSuccess) return false;

    // Read every name before deleting any: deleting shifts the indexes.
    bool ok = true;
    std::vector<std::string> names;
    names.reserve(info.subkeys);
    for (std::uint32_t index = 0; index < info.subkeys; ++index) {
      std::string name;
      if (registry.EnumKey(key.Get(), index, info.maxSubkeyLen + 1, name) == regerr::kSuccess) {
        names.push_back(std::move(name));
      } else {
        ok = false;
      }
    }
    for (const std::string& name : names) {
      ok = EmptyShellVerb(registry, path + "\\" + name) && ok;
      long deleted = registry.DeleteKey(key.Get(), name);
      if (deleted != regerr::kSuccess && !Absent(deleted)) ok = false;
    }
    return ok;
  } catch (const std::exception&) {
    return false;
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

bool DeleteShellVerbs(RegistryService& registry, std::string_view path) {
  return EmptyShellVerb(registry, std::string(path));
}

bool RunSteps(std::span<const Step> steps, RepairContext& context) {
  RegistryService& registry = context.registry;
  RegKey key(registry);
  bool ok = true;
  for (const Step& step : steps) {
    switch (step.kind) {
      case StepKind::Key:
        key.Close();
        if (key.Create(step.root, step.path) != regerr::kSuccess) ok = false;
        break;
      case StepKind::SetValue:
        if (!key.IsOpen()) {  // its key was refused, or the table names none
          ok = false;
          break;
        }
        if (registry.SetValue(key.Get(), step.name, StepValue(step, context.config)) !=
            regerr::kSuccess) {
          ok = false;
        }
        break;
      case StepKind::DeleteValue:
      case StepKind::DeleteSubkey: {
        if (!key.IsOpen()) {
          ok = false;
          break;
        }
        long code = step.kind == StepKind::DeleteValue ? registry.DeleteValue(key.Get(), step.name)
                                                       : registry.DeleteKey(key.Get(), step.name);
        if (code != regerr::kSuccess && !Absent(code)) ok = false;
        break;
      }
      case StepKind::Command: {
        key.Close();
        auto process = context.commands.Start(step.path, kShowMinimized);
        if (!process) return false;
        if (context.started) context.started->push_back(*process);
        break;
      }
      case StepKind::ShellVerbs:
        key.Close();
        DeleteShellVerbs(registry, step.path);
        break;
    }
  }
  return ok;
}

}  // namespace orvane
