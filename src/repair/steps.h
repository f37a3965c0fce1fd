#pragma once
// Repair routines as tables of steps, run by one interpreter.
//
// A Key step opens (creating if needed) the key that the value steps after it
// write to; that key is closed before the next Key, Command or ShellVerbs step.
// Steps under HKLM\SOFTWARE and HKCR\CLSID act in both registry views, the
// 64-bit one first. Each step reads before it writes: a value already as the
// table says is not written, a value or key already absent not deleted.
// Result: every step is attempted in order; the routine fails when any step
// was refused (a key not opened, a write or deletion refused). A value or
// subkey already absent is no failure. A command that cannot be started ends
// the routine at once with failure.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
  DeleteTree,    // root\path and everything below it (restoring a backup)
  Link,          // root\path made a link to value's target (restoring a backup)
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

// One step made concrete: the key it acts on and what it leaves there. Every
// reader of a table (apply, check, backup, log) walks this one list.
struct StepTarget {
  StepKind kind;
  RegRoot root = RegRoot::ClassesRoot;
  RegView view = RegView::Default;
  std::string path = {};  // Key: the key; value and subkey steps: their key; ShellVerbs, DeleteTree: the tree
  std::string name = {};     // value or subkey name
  RegValue value = {};       // SetValue: what it writes
  std::string command = {};  // Command: the line
  bool hasKey = false;  // value and subkey steps: a Key step came before
  bool unsafePage = false;  // SetValue: a configured page IsSafePage() refuses; never written
};

std::vector<StepTarget> ResolveSteps(std::span<const Step> steps, const AppConfig& config);

// The key a target acts on as the 64-bit view sees it (Wow6432Node for the
// 32-bit view).
std::string TargetKeyPath(const StepTarget& target);

// What became of one step when it ran.
enum class Outcome {
  Done,
  AlreadyAbsent,  // a deletion found nothing to delete
  Refused,        // Windows refused it; `code` says why
  NoKey,          // its key could not be opened; `code` is the key's error
  NotStarted,     // a command that could not be started
  NotRun,         // after a command could not be started
  Unchanged,      // already as the table says: nothing written
  UnsafePage,     // a configured page that is not a web address: not written
};

struct StepOutcome {
  Outcome outcome = Outcome::NotRun;
  long code = 0;
  bool Failed() const {
    return outcome != Outcome::Done && outcome != Outcome::Unchanged && outcome != Outcome::AlreadyAbsent;
  }
};

// A run of one table: the steps, made concrete, and each one's outcome.
struct RunReport {
  std::vector<StepTarget> targets;
  std::vector<StepOutcome> outcomes;  // one per target
  bool Succeeded() const;
  // Some registry step wrote or deleted something.
  bool Wrote() const;
  // The first step whose failure fails the routine; nullopt when none did.
  std::optional<std::size_t> FirstFailure() const;
};

RunReport RunSteps(std::span<const Step> steps, RepairContext& context);
// The same interpreter for steps already made concrete (a backup being restored).
RunReport ApplyTargets(std::vector<StepTarget> targets, RepairContext& context);

// The text a SetValue step writes, read from the configuration now.
std::string StepText(const Step& step, const AppConfig& config);

// Removes every subkey below HKEY_CLASSES_ROOT\Directory\shell\<path>, depth
// first, leaving that key itself. True when everything below it is gone.
bool DeleteShellVerbs(RegistryService& registry, std::string_view path);

// The key a ShellVerbs step empties, below HKEY_CLASSES_ROOT.
std::string ShellVerbsKey(std::string_view path);

}  // namespace orvane
