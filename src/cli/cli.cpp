#include "cli/cli.h"

#include <algorithm>

#include "browsers/clean.h"
#include "cli/cli_args.h"
#include "cli/config_check.h"
#include "cli/guard.h"
#include "cli/json.h"
#include "cli/registrations.h"
#include "menuext/menu_ext_entries.h"
#include "platform/text.h"
#include "repair/check.h"
#include "repair/journal.h"
#include "repair/runner.h"
#include "repair/step_text.h"
#include "repair/undo.h"
#include "repair/users.h"
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
    if (args_.config) {
      if (std::string problem = ConfigProblem(s_.files, *args_.config); !problem.empty()) {
        return Usage("--config " + *args_.config + ": " + problem);
      }
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
    if (args_.command == "guard") return Guard();
    return Usage(args_.command);
  }

  // With --json the error is a document of its own, so a script never reads it as a report.
  int Usage(const std::string& what) {
    const std::string message = LoadString(3232) + what;
    if (args_.json) {
      std::string json = "{", error = "{";
      JsonField(json, "schema", std::to_string(kJsonSchema));
      JsonField(error, "code", std::to_string(kExitError));
      JsonField(error, "message", JsonString(message));
      JsonField(json, "error", error + "}");
      JsonField(json, "exitCode", std::to_string(kExitError));
      out_.Write(json + "}\n", true);
      return kExitError;
    }
    out_.Write(message + "\n", false);
    Help();
    return kExitError;
  }

 private:
  int Help() {
    std::string text = LoadString(3231) + "\n", json = JsonDocument("help"), list = "[";
    for (int i = 0; i < kRepairItemCount; ++i) {
      text += "  " + ItemLabel(i) + "\n";
      std::string entry = "{";
      JsonField(entry, "item", std::to_string(i));
      JsonField(entry, "name", JsonString(kRepairItems[i].name));
      JsonField(entry, "text", JsonString(LoadString(kRepairItems[i].textId)));
      JsonAppend(list, entry + "}");
    }
    text += LoadString(3504) + "\n";
    JsonField(json, "items", list + "]");
    return Finish(json, text, kExitOk);
  }

  // The items named after the command; none named means all for a scan.
  std::optional<std::vector<int>> Items(bool repair, std::string& error) {
    if (args_.rest.empty() && repair) {
      error = LoadString(3800);
      return std::nullopt;
    }
    auto items = ParseItems(args_.rest.empty() ? std::vector<std::string>{"all"} : args_.rest, error, repair);
    if (!items && error.empty()) error = LoadString(3800);
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

  // One part of an item: the whole item, or with every user apart the
  // machine's part (sid "") and each user's.
  struct Share {
    std::string sid;
    std::vector<StepTarget> targets;
  };

  bool AllUsers() const { return args_.allUsers || s_.runningAsSystem; }

  std::vector<Share> Shares(int item) {
    std::vector<StepTarget> targets = ResolveSteps(kRepairItems[item].steps, config_);
    if (!AllUsers()) return {{"", std::move(targets)}};
    std::vector<Share> shares{{"", MachineTargets(targets)}};
    for (const std::string& sid : users_) shares.push_back({sid, UserTargets(s_.registry, targets, sid)});
    return shares;
  }

  // "S-1-5-21-... (DOMAIN\name)" for the text, and the share's sid and account fields.
  std::string UserLabel(const std::string& sid, std::string& entry) {
    std::optional<std::string> account = s_.accountName ? s_.accountName(sid) : std::nullopt;
    JsonField(entry, "sid", JsonString(sid));
    JsonField(entry, "account", account ? JsonString(*account) : "null");
    return "    " + LoadString(3805) + " " + sid + (account ? " (" + *account + ")" : "");
  }

  // The hives whose MenuExt key is read: the own one, or each user's.
  std::vector<std::string> MenuExtHives() const { return AllUsers() ? users_ : std::vector<std::string>{""}; }

  void ListUsers() {
    if (!AllUsers()) return;
    long code = 0;
    users_ = LoadedUserHives(s_.registry, &code);
    usersUnreadable_ = code != 0;
  }

  // Whether an item has a share for each user (a per-user or a per-class step).
  static bool HasUserShare(int item) {
    for (const Step& step : kRepairItems[item].steps) {
      if (step.kind == StepKind::Key && step.root != RegRoot::LocalMachine) return true;
      if (step.kind == StepKind::ShellVerbs) return true;
    }
    return false;
  }

  int Scan() {
    std::string error;
    auto items = Items(false, error);
    if (!items) return Usage(error);
    ListUsers();
    std::string json = JsonDocument("scan"), text, list = "[";
    bool damaged = false, unknown = usersUnreadable_;
    for (int item : *items) {
      std::string entry = "{";
      JsonField(entry, "item", std::to_string(item));
      JsonField(entry, "name", JsonString(kRepairItems[item].name));
      if (item == kMenuManagerItem) {
        unknown = !ScanMenuExt(entry, text) || unknown;
        JsonAppend(list, entry + "}");
        continue;
      }
      if (item == kBrowserManagerItem) {
        const std::vector<BrowserFinding> findings = ScanBrowsers(BrowserAccess());
        damaged = damaged || !findings.empty();
        JsonField(entry, "state", JsonString(findings.empty() ? "intact" : "damaged"));
        std::string lines;
        JsonField(entry, "findings", FindingList(findings, lines));
        text += ItemLabel(item) + ": " + LoadString(findings.empty() ? 3221 : 3222) + "\n" + lines;
        JsonAppend(list, entry + "}");
        continue;
      }
      std::vector<Share> shares = Shares(item);
      std::vector<ItemCheck> checks;
      ItemState worst = ItemState::Intact;
      for (Share& share : shares) {
        checks.push_back(CheckTargets(std::move(share.targets), s_.registry));
        if (checks.back().state == ItemState::Damaged || worst == ItemState::Intact) worst = checks.back().state;
      }
      damaged = damaged || worst == ItemState::Damaged;
      unknown = unknown || worst == ItemState::Unknown;
      // Nobody signed in: an item only of per-user steps is not checked at all.
      const bool nobody = AllUsers() && users_.empty() && HasUserShare(item);
      const bool unchecked = nobody && checks[0].targets.empty();
      JsonField(entry, "state", JsonString(unchecked ? "not-checked" : StateName(worst)));
      text += ItemLabel(item) + ": " + (unchecked ? LoadString(3804) : LoadString(3221 + static_cast<int>(worst))) +
              (checks[0].commandsNotChecked ? "  (" + LoadString(3224) + ")" : "") + "\n";
      ScanSteps(checks[0], entry, text, "    ");
      if (!AllUsers()) {
        JsonAppend(list, entry + "}");
        continue;
      }
      std::string users = "[";
      for (std::size_t u = 1; u < shares.size(); ++u) {
        std::string user = "{";
        text += UserLabel(shares[u].sid, user) + ": " + LoadString(3221 + static_cast<int>(checks[u].state)) + "\n";
        JsonField(user, "state", JsonString(StateName(checks[u].state)));
        ScanSteps(checks[u], user, text, "      ");
        JsonAppend(users, user + "}");
      }
      if (nobody && !unchecked) text += "    " + LoadString(3804) + "\n";
      JsonField(entry, "users", users + "]");
      JsonAppend(list, entry + "}");
    }
    JsonField(json, "items", list + "]");
    return Finish(json, text, damaged ? kExitProblem : unknown ? kExitError : kExitOk);
  }

  // The number of entries, in all and per user; false when a key could not be read.
  bool ScanMenuExt(std::string& entry, std::string& text) {
    std::size_t total = 0;
    long error = 0;
    std::string users = "[", lines;
    for (const std::string& sid : MenuExtHives()) {
      long code = 0;
      const std::size_t count = MenuExtNames(s_.registry, &code, sid).size();
      total += count;
      if (code != 0) error = code;
      if (sid.empty()) continue;
      std::string user = "{";
      lines += UserLabel(sid, user) + ": " + LoadString(3228) + std::to_string(count) + "\n";
      JsonField(user, "menuExtensions", std::to_string(count));
      JsonField(user, "error", std::to_string(code));
      JsonAppend(users, user + "}");
    }
    JsonField(entry, "menuExtensions", std::to_string(total));
    JsonField(entry, "error", std::to_string(error));
    text += ItemLabel(kMenuManagerItem) + ": " + LoadString(3228) + std::to_string(total) + "\n" + lines;
    if (AllUsers()) JsonField(entry, "users", users + "]");
    if (AllUsers() && users_.empty()) text += "    " + LoadString(3804) + "\n";
    return error == 0;
  }

  // Each step's state, and in the text each step that differs or could not be read.
  static void ScanSteps(const ItemCheck& check, std::string& entry, std::string& text, const std::string& indent) {
    JsonField(entry, "registrationsChecked", check.commandsNotChecked ? "false" : "true");
    std::string steps = "[";
    for (std::size_t i = 0; i < check.steps.size(); ++i) {
      const StepCheck& step = check.steps[i];
      const bool problem = step.state == StepState::Differs || step.state == StepState::Unreadable;
      if (problem) text += indent + DescribeStep(check.targets[i]) + "\n" + indent + "  " + DescribeFound(step) + "\n";
      std::string s = JsonStep(check.targets[i]);
      JsonField(s, "state", JsonString(StepStateName(step.state)));
      if (problem) JsonField(s, "found", JsonString(DescribeFound(step)));
      JsonField(s, "error", std::to_string(step.code));
      JsonAppend(steps, s + "}");
    }
    JsonField(entry, "steps", steps + "]");
  }

  int Guard() {
    if (args_.stop) return args_.rest.empty() && s_.guard ? StopGuard(s_, out_) : Usage("--stop");
    std::string error;
    auto items = Items(true, error);
    if (!items) return Usage(error);
    std::erase(*items, kMenuManagerItem);
    if (items->empty() || !s_.guard) return Usage(Join(args_.rest));
    return RunGuard(*items, AllUsers(), s_, config_, out_);
  }

  int Repair() {
    std::string error;
    auto items = Items(true, error);
    if (!items) return Usage(error);
    ListUsers();
    // Every share is backed up before anything changes.
    std::vector<std::vector<Share>> plan;
    RepairJournal journal(s_.files, s_.registry, s_.version, config_);
    for (int item : *items) {
      plan.push_back(Shares(item));
      for (const Share& share : plan.back()) journal.Protect(share.targets);
    }
    std::string json = JsonDocument("repair"), text, list = "[";
    bool failed = usersUnreadable_;
    for (std::size_t n = 0; n < items->size(); ++n) {
      const int item = (*items)[n];
      std::string entry = "{", users = "[", lines;
      bool succeeded = true;
      std::string steps;
      std::vector<RegistrationProblem> problems;
      for (Share& share : plan[n]) {
        std::vector<StartedProcess> started;
        RepairContext context{s_.registry, s_.commands, config_, &started};
        RunReport report = ApplyTargets(std::move(share.targets), context);
        for (RegistrationProblem& problem : AwaitRegistrations(s_.commands, report, started)) {
          problems.push_back(std::move(problem));
        }
        const std::string result = LoadString(report.Succeeded() ? 3229 : 3230);
        succeeded = succeeded && report.Succeeded();
        std::string user = "{", label = share.sid.empty() ? "" : UserLabel(share.sid, user);
        if (!report.targets.empty()) journal.Record(ItemLabel(item) + (share.sid.empty() ? "" : " " + share.sid) + " - " + result, report);
        if (!share.sid.empty()) lines += label + ": " + result + "\n";
        if (auto first = report.FirstFailure()) {
          const std::string indent = share.sid.empty() ? "    " : "      ";
          lines += indent + DescribeStep(report.targets[*first]) + "\n" + indent + "  " +
                   DescribeOutcome(report.outcomes[*first]) + "\n";
        }
        if (share.sid.empty()) {
          steps = JsonOutcomes(report);
          continue;
        }
        JsonField(user, "succeeded", report.Succeeded() ? "true" : "false");
        JsonField(user, "steps", JsonOutcomes(report));
        JsonAppend(users, user + "}");
      }
      succeeded = succeeded && problems.empty();
      std::string registrations = "[";
      for (const RegistrationProblem& problem : problems) {
        lines += "    " + DescribeProblem(problem) + "\n";
        journal.Note(DescribeProblem(problem));
        std::string registration = "{";
        JsonField(registration, "command", JsonString(problem.command));
        JsonField(registration, "exitCode", problem.exitCode ? std::to_string(*problem.exitCode) : "null");
        JsonAppend(registrations, registration + "}");
      }
      failed = failed || !succeeded;
      text += ItemLabel(item) + ": " + LoadString(succeeded ? 3229 : 3230) + "\n" + lines;
      if (AllUsers() && users_.empty() && HasUserShare(item)) text += "    " + LoadString(3804) + "\n";
      JsonField(entry, "item", std::to_string(item));
      JsonField(entry, "name", JsonString(kRepairItems[item].name));
      JsonField(entry, "succeeded", succeeded ? "true" : "false");
      JsonField(entry, "steps", steps);
      if (AllUsers()) JsonField(entry, "users", users + "]");
      JsonField(entry, "failedRegistrations", registrations + "]");
      JsonAppend(list, entry + "}");
    }
    journal.Finish();
    JsonField(json, "backup", JsonString(journal.BackupPath()));
    JsonField(json, "log", JsonString(journal.LogPath()));
    JsonField(json, "items", list + "]");
    text += LoadString(3204) + (journal.BackupPath().empty() ? journal.NoBackupText() : journal.BackupPath()) + "\n";
    return Finish(json, text, failed ? kExitProblem : kExitOk);
  }

  int Undo() {
    if (args_.rest.size() > 1) return Usage(Join(args_.rest));
    RepairContext context{s_.registry, s_.commands, config_};
    UndoResult result = UndoBackup(s_.files, context, s_.version, args_.rest.empty() ? "" : args_.rest[0]);
    std::string json = JsonDocument("undo"), text;
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
    ListUsers();
    if (verb == "list" && args_.rest.size() == 1) {
      // With every user apart: each user's names, and in "entries" every name once.
      bool unreadable = usersUnreadable_;
      std::string text, list = "[", users = "[";
      std::vector<std::string> all;
      for (const std::string& sid : MenuExtHives()) {
        long code = 0;
        std::string user = "{", names = "[";
        if (!sid.empty()) text += UserLabel(sid, user) + "\n";
        for (const std::string& name : MenuExtNames(s_.registry, &code, sid)) {
          text += (sid.empty() ? "" : "      ") + name + "\n";
          JsonAppend(names, JsonString(name));
          if (std::none_of(all.begin(), all.end(), [&](const std::string& n) { return EqualsNoCase(n, name); })) {
            all.push_back(name);
            JsonAppend(list, JsonString(name));
          }
        }
        unreadable = unreadable || code != 0;
        JsonField(user, "entries", names + "]");
        JsonField(user, "error", std::to_string(code));
        JsonAppend(users, user + "}");
      }
      std::string json = JsonDocument("menuext list");
      JsonField(json, "entries", list + "]");
      if (AllUsers()) JsonField(json, "users", users + "]");
      return Finish(json, text, unreadable ? kExitError : kExitOk);
    }
    if (verb != "delete" || args_.rest.size() < 2) return Usage("menuext");
    // Each name goes from every hive that has it; a name no user has is not deleted.
    std::vector<MenuExtEntry> entries;
    std::vector<std::string> missing;
    for (auto name = args_.rest.begin() + 1; name != args_.rest.end(); ++name) {
      const std::size_t before = entries.size();
      for (const std::string& sid : MenuExtHives()) {
        const std::vector<std::string> have = MenuExtNames(s_.registry, nullptr, sid);
        if (sid.empty() || std::any_of(have.begin(), have.end(), [&](const std::string& n) { return EqualsNoCase(n, *name); })) {
          entries.push_back({*name, sid});
        }
      }
      if (entries.size() == before) missing.push_back(*name);
    }
    RunReport report;
    if (!entries.empty()) report = DeleteMenuExtEntries(s_.registry, &s_.files, s_.version, config_, entries);
    std::string json = JsonDocument("menuext delete"), text, list = "[";
    bool failed = usersUnreadable_ || !missing.empty();
    for (std::size_t i = 0; i < entries.size() + missing.size(); ++i) {
      const bool deleted = i < entries.size() && report.outcomes[i].outcome == Outcome::Done;
      const std::string& name = i < entries.size() ? entries[i].name : missing[i - entries.size()];
      failed = failed || !deleted;
      std::string entry = "{";
      JsonField(entry, "name", JsonString(name));
      text += name + ": " + LoadString(deleted ? 3233 : 3234) + "\n";
      if (i < entries.size() && !entries[i].sid.empty()) text += UserLabel(entries[i].sid, entry) + "\n";
      JsonField(entry, "deleted", deleted ? "true" : "false");
      JsonAppend(list, entry + "}");
    }
    JsonField(json, "entries", list + "]");
    return Finish(json, text, failed ? kExitProblem : kExitOk);
  }

  // With every user apart: the machine's and each signed-in user's.
  BrowserServices& BrowserAccess() {
    if (!browsers_) {
      ListUsers();
      browsers_.emplace(BrowserServices{s_.registry, s_.files, s_.shortcuts ? *s_.shortcuts : noShortcuts_,
                                        AllUsers() ? &users_ : nullptr});
    }
    return *browsers_;
  }

  // One JSON object per finding; `text` gets one indented line each.
  std::string FindingList(const std::vector<BrowserFinding>& findings, std::string& text) {
    std::string list = "[";
    for (const BrowserFinding& finding : findings) {
      std::string entry = FindingJson(finding);
      text += "    " + FindingText(finding) + FindingUser(finding, entry) + "\n";
      JsonAppend(list, entry + "}");
    }
    return list + "]";
  }

  // With every user apart, whose the finding is (null: the machine's), and "  [user S-1-5-21-...]" for the text.
  std::string FindingUser(const BrowserFinding& finding, std::string& entry) {
    if (!AllUsers()) return {};
    if (finding.user.empty()) {
      JsonField(entry, "sid", "null");
      JsonField(entry, "account", "null");
      return {};
    }
    std::string label = UserLabel(finding.user, entry);
    return "  [" + label.substr(label.find_first_not_of(' ')) + "]";
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
    std::string json = JsonDocument("browsers " + verb), text;
    if (verb == "list") {
      JsonField(json, "findings", FindingList(findings, text));
      if (findings.empty()) text = LoadString(3910) + "\n";
      if (AllUsers() && users_.empty()) text += LoadString(3804) + "\n";
      return Finish(json, text, !findings.empty() ? kExitProblem : usersUnreadable_ ? kExitError : kExitOk);
    }
    std::string list = "[";
    bool failed = usersUnreadable_;
    RepairJournal journal(s_.files, s_.registry, s_.version, config_);
    const std::vector<std::string> reasons = CleanFindings(BrowserAccess(), findings, journal);
    for (std::size_t i = 0; i < findings.size(); ++i) {
      const BrowserFinding& finding = findings[i];
      const std::string& reason = reasons[i];
      failed = failed || !reason.empty();
      std::string entry = FindingJson(finding);
      text += FindingText(finding) + FindingUser(finding, entry) + "\n    " +
              (reason.empty() ? LoadString(3233) : LoadString(3234) + ": " + reason) + "\n";
      JsonField(entry, "cleaned", reason.empty() ? "true" : "false");
      JsonField(entry, "reason", JsonString(reason));
      JsonAppend(list, entry + "}");
    }
    if (findings.empty()) text = LoadString(3910) + "\n";
    else text += LoadString(3204) + (journal.BackupPath().empty() ? journal.NoBackupText() : journal.BackupPath()) + "\n";
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
    std::vector<std::string> ListMachine() override { return {}; }
    std::vector<std::string> ListIn(const std::vector<ShortcutFolder>&) override { return {}; }
    ShortcutRead Read(const std::string&) override { return {{}, "missing"}; }
    std::string SaveArguments(const std::string&, const std::string&) override { return "missing"; }
    std::string Delete(const std::string&) override { return "missing"; }
    bool Exists(const std::string&) override { return false; }
  } noShortcuts_;
  std::optional<BrowserServices> browsers_;
  std::vector<std::string> users_;  // with every user apart: the loaded user hives
  bool usersUnreadable_ = false;
};

}  // namespace

int Run(const std::vector<std::string>& args, Services& services, Console& out) {
  std::string error;
  std::optional<Args> parsed = ParseArgs(args, error);
  if (!parsed) {
    Args json;
    json.json = WantsJson(args);
    return Program(json, services, out).Usage(error);
  }
  return Program(std::move(*parsed), services, out).Run();
}

}  // namespace orvane::cli
