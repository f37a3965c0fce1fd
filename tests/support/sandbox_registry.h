#pragma once
// A registry that lays every root below HKEY_CURRENT_USER\<sandbox>\<root
// name>, so tests can use the system's registry without touching real keys.
// HKLM\SOFTWARE, which Windows splits into views, lies below
// HKLM\SOFTWARE\<machineSandbox> instead when one is given (and its
// Wow6432Node part below HKLM\SOFTWARE\Wow6432Node\<machineSandbox>).
// Keys are placed on open and create; everything else goes through as it is.
#include <string>
#include <string_view>
#include <utility>

#include "platform/registry.h"
#include "platform/text.h"
#include "repair/reg_file.h"

namespace orvane::testing {

class SandboxRegistry : public RegistryService {
 public:
  SandboxRegistry(RegistryService& inner, std::string sandbox, std::string machineSandbox = {})
      : inner_(inner), sandbox_(std::move(sandbox)), machineSandbox_(std::move(machineSandbox)) {}

  long CreateKey(RegRoot root, std::string_view path, RegView view, RegHandle& out) override {
    const std::string placed = Place(root, path);
    return inner_.CreateKey(root, placed, view, out);
  }
  long OpenKey(RegRoot root, std::string_view path, RegView view, std::uint32_t access, RegHandle& out) override {
    const std::string placed = Place(root, path);
    return inner_.OpenKey(root, placed, view, access, out);
  }
  long OpenKeyAsLink(RegRoot root, std::string_view path, RegView view, std::uint32_t access,
                     RegHandle& out) override {
    const std::string placed = Place(root, path);
    return inner_.OpenKeyAsLink(root, placed, view, access, out);
  }
  long CreateLink(RegRoot root, std::string_view path, RegView view, std::string_view target) override {
    const std::string placed = Place(root, path);
    return inner_.CreateLink(root, placed, view, target);
  }
  long QueryInfoKey(RegHandle k, RegKeyInfo& out) override { return inner_.QueryInfoKey(k, out); }
  long EnumKey(RegHandle k, std::uint32_t i, std::uint32_t n, std::string& s) override { return inner_.EnumKey(k, i, n, s); }
  long SetValue(RegHandle k, std::string_view n, const RegValue& v) override { return inner_.SetValue(k, n, v); }
  long DeleteValue(RegHandle k, std::string_view n) override { return inner_.DeleteValue(k, n); }
  long DeleteKey(RegHandle k, std::string_view n) override { return inner_.DeleteKey(k, n); }
  long CloseKey(RegHandle k) override { return inner_.CloseKey(k); }
  long OpenSubkeyAsLink(RegHandle k, std::string_view n, std::uint32_t a, RegHandle& out) override {
    return inner_.OpenSubkeyAsLink(k, n, a, out);
  }
  long DeleteOpenKey(RegHandle k) override { return inner_.DeleteOpenKey(k); }
  long QueryValue(RegHandle k, std::string_view n, RegValue& v) override { return inner_.QueryValue(k, n, v); }
  long EnumValue(RegHandle k, std::uint32_t i, std::string& n, RegValue& v) override { return inner_.EnumValue(k, i, n, v); }
  long WatchKey(RegHandle k, std::function<void()> fired) override { return inner_.WatchKey(k, std::move(fired)); }

 private:
  // Moves root\path into the sandbox; `root` becomes the one it lies below.
  std::string Place(RegRoot& root, std::string_view path) const {
    if (root == RegRoot::LocalMachine && HasSeparateViews(root, path) && !machineSandbox_.empty()) {
      // SOFTWARE\<sandbox>\rest, or SOFTWARE\Wow6432Node\<sandbox>\rest.
      std::string_view rest = path.size() > 9 ? path.substr(9) : std::string_view();
      std::string prefix = "SOFTWARE\\";
      if (rest.size() >= 11 && EqualsNoCase(rest.substr(0, 11), "Wow6432Node") &&
          (rest.size() == 11 || rest[11] == '\\')) {
        prefix += "Wow6432Node\\";
        rest = rest.size() > 12 ? rest.substr(12) : std::string_view();
      }
      return prefix + machineSandbox_ + (rest.empty() ? "" : "\\") + std::string(rest);
    }
    const std::string placed = sandbox_ + "\\" + RegRootName(root) + (path.empty() ? "" : "\\") + std::string(path);
    root = RegRoot::CurrentUser;
    return placed;
  }

  RegistryService& inner_;
  std::string sandbox_;
  std::string machineSandbox_;
};

}  // namespace orvane::testing
