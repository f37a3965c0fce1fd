#include "browsers/shortcut_rules.h"

#include <algorithm>
#include <array>

#include "browsers/address.h"
#include "platform/text.h"

namespace orvane {
namespace {

using namespace std::string_view_literals;

constexpr std::array kEdge = {"Microsoft Edge"sv, "Edge"sv};
constexpr std::array kChrome = {"Google Chrome"sv, "Chrome"sv, "谷歌浏览器"sv};
constexpr std::array kFirefox = {"Mozilla Firefox"sv, "Firefox"sv, "火狐浏览器"sv};
constexpr std::array kExplorer = {"Internet Explorer"sv, "IE浏览器"sv};
constexpr std::array kBrave = {"Brave"sv};
constexpr std::array kOpera = {"Opera"sv, "Opera 浏览器"sv};
constexpr std::array k360se = {"360安全浏览器"sv};
constexpr std::array k360chrome = {"360极速浏览器"sv};
constexpr std::array kQQ = {"QQ浏览器"sv};
constexpr std::array kSogou = {"搜狗高速浏览器"sv, "搜狗浏览器"sv};
constexpr std::array k2345 = {"2345加速浏览器"sv, "2345浏览器"sv};
constexpr std::array kLiebao = {"猎豹浏览器"sv, "猎豹安全浏览器"sv};
constexpr std::array kVivaldi = {"Vivaldi"sv};
constexpr std::array kMaxthon = {"傲游浏览器"sv, "Maxthon"sv};
constexpr std::array kChromium = {"Chromium"sv};

constexpr std::array<BrowserProgram, 15> kBrowsers = {{
    {"msedge.exe", kEdge},         {"chrome.exe", kChrome},         {"firefox.exe", kFirefox},
    {"iexplore.exe", kExplorer},   {"brave.exe", kBrave},
    // Opera's shortcuts start launcher.exe, which keeps opera.exe in a folder per version.
    {"opera.exe", kOpera, "launcher.exe"},
    {"360se.exe", k360se},         {"360chrome.exe", k360chrome},   {"QQBrowser.exe", kQQ},
    {"SogouExplorer.exe", kSogou}, {"2345Explorer.exe", k2345},     {"liebao.exe", kLiebao},
    {"vivaldi.exe", kVivaldi},     {"Maxthon.exe", kMaxthon},       {"chromium.exe", kChromium},
}};

// What no browser shortcut starts: script hosts, shells and internet shortcuts.
constexpr std::array kScriptPrograms = {"cmd.exe"sv, "mshta.exe"sv, "wscript.exe"sv, "cscript.exe"sv,
                                        "powershell.exe"sv, "pwsh.exe"sv, "rundll32.exe"sv};
constexpr std::array kScriptEndings = {".url"sv, ".bat"sv, ".cmd"sv, ".vbs"sv, ".vbe"sv, ".js"sv,
                                       ".jse"sv, ".wsf"sv, ".wsh"sv, ".hta"sv, ".ps1"sv};

std::string_view FileName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view Folder(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

// "Google Chrome - 快捷方式 (2).lnk" -> "Google Chrome".
std::string LinkName(std::string_view path) {
  std::string name(FileName(path));
  if (EqualsNoCase(std::string_view(name).substr(name.size() >= 4 ? name.size() - 4 : 0), ".lnk")) {
    name.resize(name.size() - 4);
  }
  if (name.ends_with(')')) {
    const std::size_t open = name.rfind(" (");
    if (open != std::string::npos &&
        std::all_of(name.begin() + open + 2, name.end() - 1, [](char c) { return c >= '0' && c <= '9'; })) {
      name.resize(open);
    }
  }
  for (std::string_view suffix : {" - 快捷方式"sv, " - Shortcut"sv}) {
    if (name.size() > suffix.size() && EqualsNoCase(std::string_view(name).substr(name.size() - suffix.size()), suffix)) {
      name.resize(name.size() - suffix.size());
    }
  }
  return name;
}

const BrowserProgram* ByExe(std::string_view path) {
  const std::string_view file = FileName(path);
  for (const BrowserProgram& browser : kBrowsers) {
    if (EqualsNoCase(file, browser.exe)) return &browser;
  }
  return nullptr;
}

const BrowserProgram* ByLook(const ShortcutInfo& shortcut) {
  if (const BrowserProgram* named = BrowserNamedLike(shortcut.path)) return named;
  return shortcut.iconPath.empty() ? nullptr : ByExe(shortcut.iconPath);
}

bool IsScript(std::string_view target) {
  const std::string_view file = FileName(target);
  return std::ranges::any_of(kScriptPrograms, [&](std::string_view p) { return EqualsNoCase(file, p); }) ||
         std::ranges::any_of(kScriptEndings, [&](std::string_view e) {
           return file.size() > e.size() && EqualsNoCase(file.substr(file.size() - e.size()), e);
         });
}

}  // namespace

std::span<const BrowserProgram> BrowserPrograms() { return kBrowsers; }

const BrowserProgram* BrowserNamedLike(std::string_view linkPath) {
  const std::string name = LinkName(linkPath);
  for (const BrowserProgram& browser : kBrowsers) {
    if (std::ranges::any_of(browser.names, [&](std::string_view n) { return EqualsNoCase(name, n); })) {
      return &browser;
    }
  }
  return nullptr;
}

ShortcutVerdict ClassifyShortcut(const ShortcutInfo& shortcut,
                                 const std::function<bool(const std::string&)>& fileExists) {
  ShortcutVerdict verdict;
  if (shortcut.target.empty()) return verdict;
  const BrowserProgram* posing = ByLook(shortcut);
  const BrowserProgram* started = ByExe(shortcut.target);
  if (!started && posing && !posing->launcher.empty() && EqualsNoCase(FileName(shortcut.target), posing->launcher)) {
    started = posing;
  }
  if (posing && posing != started) {
    const bool ownHelper = !IsScript(shortcut.target) && !started &&
                           fileExists(std::string(Folder(shortcut.target)) + "\\" + std::string(posing->exe));
    if (!ownHelper) {
      verdict.fault = ShortcutFault::Impostor;
      verdict.browser = posing;
      return verdict;
    }
  }
  if (!started) return verdict;
  verdict.browser = started;
  std::string kept = RemoveAddresses(shortcut.arguments, &verdict.addresses);
  if (!verdict.addresses.empty()) {
    verdict.fault = ShortcutFault::Address;
    verdict.cleanArguments = std::move(kept);
  }
  return verdict;
}

}  // namespace orvane
