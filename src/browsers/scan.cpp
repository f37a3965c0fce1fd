#include "browsers/scan.h"

#include "browsers/policies_json.h"
#include "browsers/user_places.h"
#include "platform/system_message.h"
#include "resources/catalogue.h"

namespace orvane {
namespace {

constexpr std::uint16_t kEffectText = 3900;  // + Effect
constexpr std::uint16_t kJsonUnreadable = 3906;
constexpr std::uint16_t kShortcutAddress = 3907;
constexpr std::uint16_t kShortcutImpostor = 3908;
constexpr std::uint16_t kShortcutUnreadable = 3909;
constexpr std::uint16_t kJsonUnwritable = 3911;

std::string RootName(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot: return "HKCR";
    case RegRoot::CurrentUser: return "HKCU";
    case RegRoot::LocalMachine: return "HKLM";
    case RegRoot::Users: return "HKU";
  }
  return {};
}

void ScanPolicies(BrowserServices& services, std::vector<BrowserFinding>& out) {
  for (PolicyHit& hit : FindPolicyHijacks(services.registry, services.users)) {
    BrowserFinding finding;
    finding.user = hit.sid;
    finding.browser = BrowserName(hit.browser);
    finding.where = RootName(hit.root) + "\\" + hit.keyPath + (hit.isKey ? "\\" + hit.name : " [" + hit.name + "]");
    finding.what = kEffectText + static_cast<std::uint16_t>(hit.effect);
    finding.value = hit.shown;
    finding.policy = std::move(hit);
    out.push_back(std::move(finding));
  }
}

void ScanPolicyFiles(BrowserServices& services, std::vector<BrowserFinding>& out) {
  for (const std::string& folder : FirefoxInstallFolders(services.registry)) {
    const std::string path = PoliciesJsonPath(folder);
    const auto text = services.files.ReadFile(path);
    if (!text) continue;
    BrowserFinding finding;
    finding.source = FindingSource::PolicyFile;
    finding.browser = BrowserName(Browser::Firefox);
    finding.file = path;
    const PoliciesJsonRead read = ReadPoliciesJson(*text);
    if (!read.readable) {
      finding.where = path;
      finding.what = kJsonUnreadable;
      finding.cleanable = false;
      out.push_back(finding);
    }
    for (const JsonPolicyHit& hit : read.hits) {
      finding.where = path + " [" + hit.name + "]";
      finding.what = kEffectText + static_cast<std::uint16_t>(hit.effect);
      finding.value = hit.shown;
      finding.entry = hit.name;
      out.push_back(finding);
    }
  }
}

void ScanShortcuts(BrowserServices& services, const std::vector<std::string>& paths, const std::string& user,
                   std::vector<BrowserFinding>& out) {
  const auto exists = [&](const std::string& path) { return services.shortcuts.Exists(path); };
  for (const std::string& path : paths) {
    BrowserFinding finding;
    finding.user = user;
    finding.source = FindingSource::Shortcut;
    finding.where = finding.file = path;
    const ShortcutRead read = services.shortcuts.Read(path);
    if (!read.error.empty()) {
      // Unreadable shortcuts of other programs are none of this list's business.
      const BrowserProgram* named = BrowserNamedLike(path);
      if (!named) continue;
      finding.browser = named->names.front();
      finding.what = kShortcutUnreadable;
      finding.value = read.error;
      finding.cleanable = false;
      out.push_back(std::move(finding));
      continue;
    }
    const ShortcutVerdict verdict = ClassifyShortcut(read.info, exists);
    if (verdict.fault == ShortcutFault::None) continue;
    finding.browser = verdict.browser->names.front();
    finding.fault = verdict.fault;
    if (verdict.fault == ShortcutFault::Address) {
      finding.what = kShortcutAddress;
      for (const std::string& address : verdict.addresses) {
        finding.value += (finding.value.empty() ? "" : " ") + address;
      }
    } else {
      finding.what = kShortcutImpostor;
      finding.value = read.info.target + (read.info.arguments.empty() ? "" : " " + read.info.arguments);
    }
    out.push_back(std::move(finding));
  }
}

std::string Reason(long code) {
  std::string message = SystemMessage(code);
  return message.empty() ? "error " + std::to_string(code) : message;
}

std::string CleanPolicyFile(BrowserServices& services, const BrowserFinding& finding) {
  const auto text = services.files.ReadFile(finding.file);
  if (!text) return {};  // the file has gone
  const auto cleaned = RemoveJsonHijacks(*text, {finding.entry});
  if (!cleaned) return LoadString(kJsonUnreadable);
  if (*cleaned == *text) return {};
  return WritePoliciesJson(services.files, finding.file, *cleaned) ? std::string() : LoadString(kJsonUnwritable);
}

std::string CleanShortcut(BrowserServices& services, const BrowserFinding& finding) {
  const ShortcutRead read = services.shortcuts.Read(finding.file);
  if (!read.error.empty()) return services.shortcuts.Exists(finding.file) ? read.error : std::string();
  const ShortcutVerdict verdict =
      ClassifyShortcut(read.info, [&](const std::string& path) { return services.shortcuts.Exists(path); });
  switch (verdict.fault) {
    case ShortcutFault::None: return {};
    case ShortcutFault::Address: return services.shortcuts.SaveArguments(finding.file, verdict.cleanArguments);
    case ShortcutFault::Impostor: return services.shortcuts.Delete(finding.file);
  }
  return {};
}

}  // namespace

std::vector<BrowserFinding> ScanBrowsers(BrowserServices& services) {
  std::vector<BrowserFinding> findings;
  ScanPolicies(services, findings);
  ScanPolicyFiles(services, findings);
  if (!services.users) {
    ScanShortcuts(services, services.shortcuts.List(), "", findings);
    return findings;
  }
  ScanShortcuts(services, services.shortcuts.ListMachine(), "", findings);
  for (const std::string& sid : *services.users) {
    ScanShortcuts(services, services.shortcuts.ListIn(UserShortcutFolders(services.registry, sid)), sid, findings);
  }
  return findings;
}

std::string FindingText(const BrowserFinding& finding) {
  std::string text = finding.browser + " | " + finding.where + " | " + LoadString(finding.what);
  if (!finding.value.empty()) text += " | " + finding.value;
  return text;
}

std::string CleanFinding(BrowserServices& services, const BrowserFinding& finding) {
  if (!finding.cleanable) return LoadString(finding.what);
  switch (finding.source) {
    case FindingSource::Policy: {
      const long code = RemovePolicyHit(services.registry, finding.policy);
      return code == regerr::kSuccess ? std::string() : Reason(code);
    }
    case FindingSource::PolicyFile: return CleanPolicyFile(services, finding);
    case FindingSource::Shortcut: return CleanShortcut(services, finding);
  }
  return {};
}

}  // namespace orvane
