#include "cli/cli.h"

#include "browsers/clean.h"
#include "cli/cli_args.h"
#include "cli/json.h"
#include "menuext/menu_ext_entries.h"
#include "repair/check.h"
#include "repair/journal.h"
#include "repair/runner.h"
#include "repair/step_text.h"
#include "repair/undo.h"
#include "resources/catalogue.h"

namespace orvane::cli {
namespace {

const char* StateName(ItemState state) {
  switch (state) {
    case ItemState::Intact: return "intact";
    case ItemState::Damaged: return "damaged";
    case ItemState::Unknown: return "unknown";
  }
  return "unknown";
}

const char* StepStateName(StepState state) {
  switch (state) {
    case StepState::Intact: return "intact";
    case StepState::Differs: return "differs";
    case StepState::Unreadable: return "unreadable";
    case StepState::NotChecked: return "not-checked";
  }
  return "";
}

std::string ItemLabel(int item) {
  return "[" + std::to_string(item) + "] " + kRepairItems[item].name + "  " + LoadString(kRepairItems[item].textId);
}

std::string JsonStep(const StepTarget& target) {
  std::string out = "{";
  JsonField(out, "step", JsonString(DescribeStep(target)));
  return out;
}

std::string JsonOutcomes(const RunReport& report) {
  std::string out = "[";
  for (std::size_t i = 0; i < report.targets.size(); ++i) {
    if (i) out += ',';
    std::string step = JsonStep(report.targets[i]);
    JsonField(step, "ok", report.outcomes[i].Failed() ? "false" : "true");
    JsonField(step, "error", std::to_string(report.outcomes[i].code));
    JsonField(step, "outcome", JsonString(DescribeOutcome(report.outcomes[i])));
    out += step + "}";
  }
  return out + "]";
}

class Program {
 public:
  Program(Args args, Services& services, Console& out) : args_(std::move(args)), s_(services), out_(out) {}

  int Run() {
    if (args_.config && !s_.files.ReadFile(*args_.config)) return Usage("--config " + *args_.config);
    if (args_.config) {
      ReadConfigAt(s_.configFiles, *args_.config, config_);
    } else {
      ReadConfig(s_.configFiles, config_);
    }
    if (args_.command == "help") return Help();
    if (args_.command == "scan") return Scan();
    if (args_.command == "repair") return Repair();
    if (args_.command == "undo") return Undo();
    if (args_.command == "menuext") return MenuExt();
    if (args_.command == "browsers") return Browsers();
    return Usage(args_.command);
  }

  int Usage(const std::string& what) {
    out_.Write(LoadString(3232) + what + "\n", false);
    Help();
    return kExitError;
  }

 private:
  int Help() {
    std::string text = LoadString(3231) + "\n";
    for (int i = 0; i < kRepairItemCount; ++i) text += "  " + ItemLabel(i) + "\n";
    out_.Write(text, false);
    return kExitOk;
  }

  std::optional<std::vector<int>> Items(bool required) {
    std::string error;
    if (required && args_.rest.empty()) return std::nullopt;
    auto items = ParseItems(args_.rest.empty() ? std::vector<std::string>{"all"} : args_.rest, error);
    return items;
  }

  int Finish(std::string& json, std::string& text, int code) {
    if (args_.json) {
      JsonField(json, "exitCode", std::to_string(code));
      out_.Write(json + "}\n", true);
    } else {
      out_.Write(text, false);
    }
    return code;
  }

  int Scan() {
    auto items = Items(false);
    if (!items) return Usage(Join(args_.rest));
    std::string json = "{", text, list = "[";
    JsonField(json, "command", "\"scan\"");
    bool damaged = false, unknown = false;
    for (int item : *items) {
      std::string entry = "{";
      JsonField(entry, "item", std::to_string(item));
      JsonField(entry, "name", JsonString(kRepairItems[item].name));
      if (item == kMenuManagerItem) {
        long code = 0;
        std::size_t count = MenuExtNames(s_.registry, &code).size();
        JsonField(entry, "menuExtensions", std::to_string(count));
        JsonField(entry, "error", std::to_string(code));
        text += ItemLabel(item) + ": " + LoadString(3228) + std::to_string(count) + "\n";
        unknown = unknown || code != 0;
      } else if (item == kBrowserManagerItem) {
        const std::vector<BrowserFinding> findings = ScanBrowsers(BrowserAccess());
        damaged = damaged || !findings.empty();
        JsonField(entry, "state", JsonString(findings.empty() ? "intact" : "damaged"));
        std::string lines;
        JsonField(entry, "findings", FindingList(findings, lines));
        text += ItemLabel(item) + ": " + LoadString(findings.empty() ? 3221 : 3222) + "\n" + lines;
      } else {
        ItemCheck check = CheckSteps(kRepairItems[item].steps, s_.registry, config_);
        damaged = damaged || check.state == ItemState::Damaged;
        unknown = unknown || check.state == ItemState::Unknown;
        ScanItem(item, check, entry, text);
      }
      JsonAppend(list, entry + "}");
    }
    JsonField(json, "items", list + "]");
    return Finish(json, text, damaged ? kExitProblem : unknown ? kExitError : kExitOk);
  }

  // One item's state, and each step that differs or could not be read.
  static void ScanItem(int item, const ItemCheck& check, std::string& entry, std::string& text) {
    JsonField(entry, "state", JsonString(StateName(check.state)));
    JsonField(entry, "registrationsChecked", check.commandsNotChecked ? "false" : "true");
    text += ItemLabel(item) + ": " + LoadString(3221 + static_cast<int>(check.state)) +
            (check.commandsNotChecked ? "  (" + LoadString(3224) + ")" : "") + "\n";
    std::string steps = "[";
    for (std::size_t i = 0; i < check.steps.size(); ++i) {
      const StepCheck& step = check.steps[i];
      const bool problem = step.state == StepState::Differs || step.state == StepState::Unreadable;
      if (problem) text += "    " + DescribeStep(check.targets[i]) + "\n      " + DescribeFound(step) + "\n";
      std::string s = JsonStep(check.targets[i]);
      JsonField(s, "state", JsonString(StepStateName(step.state)));
      if (problem) JsonField(s, "found", JsonString(DescribeFound(step)));
      JsonField(s, "error", std::to_string(step.code));
      JsonAppend(steps, s + "}");
    }
    JsonField(entry, "steps", steps + "]");
  }

  int Repair() {
    auto items = Items(true);
    if (!items || items->empty()) return Usage(Join(args_.rest));
    for (int item : *items) {
      if (args_.rest == std::vector<std::string>{"all"}) break;
      if (item == kMenuManagerItem) return Usage("menu-ext");
      if (item == kBrowserManagerItem) return Usage("browsers");
    }
    std::erase(*items, kMenuManagerItem);
    std::erase(*items, kBrowserManagerItem);
    RepairJournal journal(s_.files, s_.registry, s_.version, config_);
    for (int item : *items) journal.Protect(ResolveSteps(kRepairItems[item].steps, config_));
    std::string json = "{", text, list = "[";
    JsonField(json, "command", "\"repair\"");
    JsonField(json, "backup", JsonString(journal.BackupPath()));
    bool failed = false;
    for (int item : *items) {
      RepairContext context{s_.registry, s_.commands, config_};
      RunReport report = RunSteps(kRepairItems[item].steps, context);
      const std::string result = LoadString(report.Succeeded() ? 3229 : 3230);
      journal.Record(ItemLabel(item) + " - " + result, report);
      failed = failed || !report.Succeeded();
      text += ItemLabel(item) + ": " + result + "\n";
      if (auto first = report.FirstFailure()) {
        text += "    " + DescribeStep(report.targets[*first]) + "\n      " + DescribeOutcome(report.outcomes[*first]) + "\n";
      }
      std::string entry = "{";
      JsonField(entry, "item", std::to_string(item));
      JsonField(entry, "name", JsonString(kRepairItems[item].name));
      JsonField(entry, "succeeded", report.Succeeded() ? "true" : "false");
      JsonField(entry, "steps", JsonOutcomes(report));
      JsonAppend(list, entry + "}");
    }
    JsonField(json, "log", JsonString(journal.LogPath()));
    JsonField(json, "items", list + "]");
    text += LoadString(3204) + (journal.BackupPath().empty() ? LoadString(3205) : journal.BackupPath()) + "\n";
    return Finish(json, text, failed ? kExitProblem : kExitOk);
  }

  int Undo() {
    if (args_.rest.size() > 1) return Usage(Join(args_.rest));
    RepairContext context{s_.registry, s_.commands, config_};
    UndoResult result = UndoBackup(s_.files, context, s_.version, args_.rest.empty() ? "" : args_.rest[0]);
    std::string json = "{", text;
    JsonField(json, "command", "\"undo\"");
    JsonField(json, "file", JsonString(result.file));
    using Status = UndoResult::Status;
    const char* status[] = {"restored", "failed", "no-backup", "malformed"};
    JsonField(json, "status", JsonString(status[static_cast<int>(result.status)]));
    switch (result.status) {
      case Status::NoBackup: text = LoadString(3122) + "\n"; break;
      case Status::Malformed: text = LoadString(3123) + result.file + "\n  " + result.error + "\n"; break;
      case Status::Restored: text = LoadString(3120) + "\n"; break;
      case Status::Failed: text = LoadString(3121) + result.logPath + "\n"; break;
    }
    for (std::size_t i = 0; i < result.report.targets.size(); ++i) {
      text += "  " + DescribeStep(result.report.targets[i]) + "  ->  " + DescribeOutcome(result.report.outcomes[i]) + "\n";
    }
    if (result.status == Status::Malformed) JsonField(json, "error", JsonString(result.error));
    JsonField(json, "backup", JsonString(result.backupPath));
    JsonField(json, "log", JsonString(result.logPath));
    JsonField(json, "steps", JsonOutcomes(result.report));
    return Finish(json, text, result.status == Status::Restored ? kExitOk : kExitProblem);
  }

  int MenuExt() {
    const std::string verb = args_.rest.empty() ? "" : AsciiLowerWord(args_.rest[0]);
    if (verb == "list" && args_.rest.size() == 1) {
      long code = 0;
      std::string text, list = "[";
      for (const std::string& name : MenuExtNames(s_.registry, &code)) {
        text += name + "\n";
        JsonAppend(list, JsonString(name));
      }
      std::string json = "{";
      JsonField(json, "command", "\"menuext list\"");
      JsonField(json, "entries", list + "]");
      return Finish(json, text, code == 0 ? kExitOk : kExitError);
    }
    if (verb != "delete" || args_.rest.size() < 2) return Usage("menuext");
    std::string json = "{", text, list = "[";
    JsonField(json, "command", "\"menuext delete\"");
    bool failed = false;
    for (std::size_t i = 1; i < args_.rest.size(); ++i) {
      bool deleted = DeleteMenuExtEntry(s_.registry, args_.rest[i]);
      failed = failed || !deleted;
      text += args_.rest[i] + ": " + LoadString(deleted ? 3233 : 3234) + "\n";
      std::string entry = "{";
      JsonField(entry, "name", JsonString(args_.rest[i]));
      JsonField(entry, "deleted", deleted ? "true" : "false");
      JsonAppend(list, entry + "}");
    }
    JsonField(json, "entries", list + "]");
    return Finish(json, text, failed ? kExitProblem : kExitOk);
  }

  BrowserServices& BrowserAccess() {
    if (!browsers_) browsers_.emplace(BrowserServices{s_.registry, s_.files, s_.shortcuts ? *s_.shortcuts : noShortcuts_});
    return *browsers_;
  }

  // One JSON object per finding; `text` gets one indented line each.
  static std::string FindingList(const std::vector<BrowserFinding>& findings, std::string& text) {
    std::string list = "[";
    for (const BrowserFinding& finding : findings) {
      text += "    " + FindingText(finding) + "\n";
      JsonAppend(list, FindingJson(finding) + "}");
    }
    return list + "]";
  }

  static std::string FindingJson(const BrowserFinding& finding) {
    static constexpr const char* kSources[] = {"policy", "policies.json", "shortcut"};
    std::string entry = "{";
    JsonField(entry, "browser", JsonString(finding.browser));
    JsonField(entry, "source", JsonString(kSources[static_cast<int>(finding.source)]));
    JsonField(entry, "where", JsonString(finding.where));
    JsonField(entry, "what", JsonString(LoadString(finding.what)));
    JsonField(entry, "value", JsonString(finding.value));
    JsonField(entry, "cleanable", finding.cleanable ? "true" : "false");
    return entry;
  }

  // list: exit 1 when anything is found. clean: every finding, exit 1 when any stays.
  int Browsers() {
    const std::string verb = args_.rest.size() == 1 ? AsciiLowerWord(args_.rest[0]) : "";
    if (verb != "list" && verb != "clean") return Usage(Join(args_.rest));
    const std::vector<BrowserFinding> findings = ScanBrowsers(BrowserAccess());
    std::string json = "{", text;
    JsonField(json, "command", JsonString("browsers " + verb));
    if (verb == "list") {
      JsonField(json, "findings", FindingList(findings, text));
      if (findings.empty()) text = LoadString(3910) + "\n";
      return Finish(json, text, findings.empty() ? kExitOk : kExitProblem);
    }
    std::string list = "[";
    bool failed = false;
    RepairJournal journal(s_.files, s_.registry, s_.version, config_);
    const std::vector<std::string> reasons = CleanFindings(BrowserAccess(), findings, journal);
    for (std::size_t i = 0; i < findings.size(); ++i) {
      const BrowserFinding& finding = findings[i];
      const std::string& reason = reasons[i];
      failed = failed || !reason.empty();
      text += FindingText(finding) + "\n    " + (reason.empty() ? LoadString(3233) : LoadString(3234) + ": " + reason) + "\n";
      std::string entry = FindingJson(finding);
      JsonField(entry, "cleaned", reason.empty() ? "true" : "false");
      JsonField(entry, "reason", JsonString(reason));
      JsonAppend(list, entry + "}");
    }
    if (findings.empty()) text = LoadString(3910) + "\n";
    else text += LoadString(3204) + (journal.BackupPath().empty() ? LoadString(3205) : journal.BackupPath()) + "\n";
    JsonField(json, "backup", JsonString(journal.BackupPath()));
    JsonField(json, "log", JsonString(journal.LogPath()));
    JsonField(json, "findings", list + "]");
    return Finish(json, text, failed ? kExitProblem : kExitOk);
  }

  static std::string AsciiLowerWord(const std::string& word) {
    std::string out = word;
    for (char& c : out) if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
  }

  static std::string Join(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
    return out;
  }

  Args args_;
  Services& s_;
  Console& out_;
  AppConfig config_;
  // A store with no shortcuts, for services that bring none.
  struct NoShortcuts : ShortcutStore {
    std::vector<std::string> List() override { return {}; }
    ShortcutRead Read(const std::string&) override { return {{}, "missing"}; }
    std::string SaveArguments(const std::string&, const std::string&) override { return "missing"; }
    std::string Delete(const std::string&) override { return "missing"; }
    bool Exists(const std::string&) override { return false; }
  } noShortcuts_;
  std::optional<BrowserServices> browsers_;
};

}  // namespace

int Run(const std::vector<std::string>& args, Services& services, Console& out) {
  std::string error;
  std::optional<Args> parsed = ParseArgs(args, error);
  if (!parsed) {
    Program program(Args{}, services, out);
    return program.Usage(error);
  }
  return Program(std::move(*parsed), services, out).Run();
}

}  // namespace orvane::cli
