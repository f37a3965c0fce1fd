#pragma once
// Repair routines as tables of steps, run by one interpreter.
//
// A Key step opens (creating if needed) the key that the value steps after it
// write to; that key is closed before the next Key, Command or ShellVerbs step.
// Result: every step is attempted in order; the routine fails when any step
// was refused (a key not opened, a write or deletion refused). A value or
// subkey already absent is no failure. A command that cannot be started ends
// the routine at once with failure.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "repair/repair_context.h"

namespace orvane {

enum class StepKind {
  Key,           // open or create root\path
  SetValue,      // on the current key
  DeleteValue,   // on the current key
  DeleteSubkey,  // on the current key; the subkey must have no subkeys
  Command,       // start a command line, show-window 2
  ShellVerbs,    // DeleteShellVerbs(path); its result is not used
};

// Where a text value's data come from.
enum class TextSource {
  Fixed,       // Step::text
  StartPage,   // AppConfig::HomePage, "about:blank" when empty
  SearchPage,  // AppConfig::SEO, DefaultSearchPage when empty
};

struct Step {
  StepKind kind;
  RegRoot root = RegRoot::ClassesRoot;  // Key only
  std::string_view path = {};  // Key: subkey path; Command: line; ShellVerbs: path
  std::string_view name = {};  // value or subkey name ("" = default value)
  RegType type = RegType::None;
  std::string_view text = {};
  std::uint32_t number = 0;
  TextSource source = TextSource::Fixed;
};

namespace step {
constexpr Step Key(RegRoot root, std::string_view path) {
  return {.kind = StepKind::Key, .root = root, .path = path};
}
constexpr Step Sz(std::string_view name, std::string_view text) {
  return {.kind = StepKind::SetValue, .name = name, .type = RegType::Sz, .text = text};
}
constexpr Step ExpandSz(std::string_view name, std::string_view text) {
  return {.kind = StepKind::SetValue, .name = name, .type = RegType::ExpandSz, .text = text};
}
constexpr Step SzFrom(std::string_view name, TextSource source) {
  return {.kind = StepKind::SetValue, .name = name, .type = RegType::Sz, .source = source};
}
constexpr Step Dword(std::string_view name, std::uint32_t number) {
  return {.kind = StepKind::SetValue, .name = name, .type = RegType::Dword, .number = number};
}
constexpr Step DeleteValue(std::string_view name) {
  return {.kind = StepKind::DeleteValue, .name = name};
}
constexpr Step DeleteSubkey(std::string_view name) {
  return {.kind = StepKind::DeleteSubkey, .name = name};
}
constexpr Step Command(std::string_view line) { return {.kind = StepKind::Command, .path = line}; }
constexpr Step ShellVerbs(std::string_view path) {
  return {.kind = StepKind::ShellVerbs, .path = path};
}
}  // namespace step

// The default value's name.
inline constexpr std::string_view kDefault = "";

bool RunSteps(std::span<const Step> steps, RepairContext& context);

// The text a SetValue step writes, read from the configuration now.
std::string StepText(const Step& step, const AppConfig& config);

// Removes every subkey below HKEY_CLASSES_ROOT\Directory\shell\<path>, depth
// first, leaving that key itself. True when everything below it is gone.
bool DeleteShellVerbs(RegistryService& registry, std::string_view path);

}  // namespace orvane
