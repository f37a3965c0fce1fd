#pragma once
// An in-memory registry that behaves like the system's for what the program
// relies on: case-insensitive names kept as written, parents made by create,
// refusal to delete a key with subkeys, stable enumeration, real error codes.
// Keys below HKLM\SOFTWARE and HKCR\CLSID opened in the 32-bit view lie under
// Wow6432Node, as Wine keeps them. Links are followed wherever a path leads
// through one (deleting a link by name deletes its target, as the system
// does); the inspection helpers below leave a link at a path's end unfollowed. A watched key's change runs its watch's
// callback at once, on the calling thread.
// Tests can inject failures, read the operation log and count open handles.
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace orvane {

class MemoryRegistry : public RegistryService {
 public:
  enum class Op { Create, Open, QueryInfo, Enum, SetValue, DeleteValue, DeleteKey, Close,
                  QueryValue, EnumValue, Watch };

  // One call as the log records it. For key operations `path` is the full key
  // path below the root; `name` is the value or subkey name.
  struct Event {
    Op op;
    RegRoot root;
    std::string path;
    std::string name;
    RegValue value;  // SetValue only
    long result;
    bool operator==(const Event&) const = default;
  };

  MemoryRegistry();
  ~MemoryRegistry() override;

  long CreateKey(RegRoot root, std::string_view path, RegView view, RegHandle& out) override;
  long OpenKey(RegRoot root, std::string_view path, RegView view, std::uint32_t access,
               RegHandle& out) override;
  long QueryInfoKey(RegHandle key, RegKeyInfo& out) override;
  long EnumKey(RegHandle key, std::uint32_t index, std::uint32_t bufferChars,
               std::string& name) override;
  long SetValue(RegHandle key, std::string_view name, const RegValue& value) override;
  long DeleteValue(RegHandle key, std::string_view name) override;
  long DeleteKey(RegHandle key, std::string_view subkey) override;
  long CloseKey(RegHandle key) override;
  long QueryValue(RegHandle key, std::string_view name, RegValue& out) override;
  long EnumValue(RegHandle key, std::uint32_t index, std::string& name, RegValue& out) override;
  long WatchKey(RegHandle key, std::function<void()> fired) override;
  long OpenKeyAsLink(RegRoot root, std::string_view path, RegView view, std::uint32_t access,
                     RegHandle& out) override;
  long OpenSubkeyAsLink(RegHandle parent, std::string_view name, std::uint32_t access,
                        RegHandle& out) override;
  long DeleteOpenKey(RegHandle key) override;
  long CreateLink(RegRoot root, std::string_view path, RegView view, std::string_view target) override;

  // The native name a link uses for root\path (the one user's hive is
  // \Registry\User\S-1-5-21-0-0-0-1000, as under Wine).
  static std::string NativePath(RegRoot root, std::string_view path);

  // Every `op` on a key at or below root\pathPrefix ("" = the whole root)
  // answers `code` and changes nothing.
  void FailOn(Op op, RegRoot root, std::string_view pathPrefix,
              long code = regerr::kAccessDenied);
  void ClearFailures();

  std::size_t OpenHandles() const;
  std::size_t ArmedWatches() const;
  // Writes and deletions in the log (successful or not).
  std::size_t Writes() const;
  const std::vector<Event>& Log() const;
  void ClearLog();

  // Direct inspection and set-up for tests; they bypass failures and the log,
  // but fire watches as another program's change would. Paths are as seen
  // from the 64-bit view (Wow64Path() names the 32-bit one).
  bool KeyExists(RegRoot root, std::string_view path) const;
  std::optional<RegValue> Value(RegRoot root, std::string_view path,
                                std::string_view name) const;
  std::vector<std::string> SubkeyNames(RegRoot root, std::string_view path) const;
  std::vector<std::string> ValueNames(RegRoot root, std::string_view path) const;
  void Put(RegRoot root, std::string_view path, std::string_view name, const RegValue& value);
  void PutKey(RegRoot root, std::string_view path);
  // The two views share root\path and everything below it: the 32-bit view
  // opens it where the 64-bit view does, not below Wow6432Node.
  void ShareViews(RegRoot root, std::string_view path);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace orvane
