#include "platform/memory_registry.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "platform/text.h"

namespace orvane {
namespace {

// Access rights a handle needs for each operation, as the system checks them.
constexpr std::uint32_t kQueryValue = 0x0001;
constexpr std::uint32_t kSetValue = 0x0002;
constexpr std::uint32_t kEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kNotify = 0x0010;
constexpr std::uint32_t kAllAccess = 0xF003F;

// Subkeys are kept sorted by their upper-cased UTF-16 name, the order in which
// Windows enumerates them. Only ASCII letters are folded. (Wine folds to lower
// case, so the two orders differ only for names holding one of [\]^_` .)
// Values enumerate in the order first set, as Windows keeps them.
std::u16string FoldedName(std::string_view name) {
  std::u16string units = Utf8ToUtf16(name);
  for (char16_t& unit : units) {
    if (unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - 32);
  }
  return units;
}

// Splits a key path at backslashes; empty components are dropped.
std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    std::size_t cut = path.find('\\');
    std::string_view part = path.substr(0, cut);
    if (!part.empty()) parts.push_back(part);
    if (cut == std::string_view::npos) break;
    path.remove_prefix(cut + 1);
  }
  return parts;
}

std::string JoinPath(std::string_view base, std::string_view sub) {
  if (base.empty()) return std::string(sub);
  if (sub.empty()) return std::string(base);
  return std::string(base) + "\\" + std::string(sub);
}

// True when `path` is `prefix` or lies below it, comparing whole components.
bool IsAtOrBelow(std::string_view path, std::string_view prefix) {
  std::vector<std::string_view> p = SplitPath(path);
  std::vector<std::string_view> q = SplitPath(prefix);
  if (q.size() > p.size()) return false;
  for (std::size_t i = 0; i < q.size(); ++i) {
    if (FoldedName(p[i]) != FoldedName(q[i])) return false;
  }
  return true;
}

// The native names of the roots, longest first: the machine's classes are
// part of HKEY_CLASSES_ROOT, and the one user's hive is HKEY_CURRENT_USER.
struct NativeRoot {
  std::string_view prefix;
  RegRoot root;
};
constexpr NativeRoot kNativeRoots[] = {
    {"\\Registry\\Machine\\Software\\Classes", RegRoot::ClassesRoot},
    {"\\Registry\\Machine", RegRoot::LocalMachine},
    {"\\Registry\\User\\S-1-5-21-0-0-0-1000", RegRoot::CurrentUser},
};

bool ParseNativePath(const std::string& target, RegRoot& root, std::string& path) {
  for (const NativeRoot& native : kNativeRoots) {
    if (!StartsWithNoCase(target, native.prefix)) continue;
    std::string_view rest = std::string_view(target).substr(native.prefix.size());
    if (!rest.empty() && rest[0] != '\\') continue;
    root = native.root;
    path = std::string(rest.empty() ? rest : rest.substr(1));
    return true;
  }
  return false;
}

struct Key {
  std::string name;  // as first written
  std::map<std::u16string, std::shared_ptr<Key>> subkeys;
  std::vector<std::pair<std::string, RegValue>> values;  // in the order first set
  std::weak_ptr<Key> parent;  // empty for a root
  bool deleted = false;
  bool link = false;  // its SymbolicLinkValue names the key it stands for
  std::uint64_t written = 0;  // the registry's change count when it was made or last changed

  std::shared_ptr<Key> Subkey(std::string_view subName) const {
    auto it = subkeys.find(FoldedName(subName));
    return it == subkeys.end() ? nullptr : it->second;
  }
  std::vector<std::pair<std::string, RegValue>>::iterator FindValue(std::string_view valueName) {
    return std::find_if(values.begin(), values.end(),
                        [&](const auto& v) { return FoldedName(v.first) == FoldedName(valueName); });
  }
};

}  // namespace

struct MemoryRegistry::State {
  struct Handle {
    std::shared_ptr<Key> key;
    RegRoot root;
    std::string path;
    std::uint32_t access;
  };
  struct Failure {
    Op op;
    RegRoot root;
    std::string prefix;
    long code;
  };

  std::map<RegRoot, std::shared_ptr<Key>> roots;
  std::map<RegHandle, Handle> handles;
  std::map<RegHandle, std::function<void()>> watches;
  std::vector<std::function<void()>> due;  // fired watches, to call
  RegHandle nextHandle = 0x1000;
  std::uint64_t changes = 0;
  std::vector<Failure> failures;
  std::vector<Event> log;
  std::vector<std::pair<RegRoot, std::string>> shared;

  std::string ViewPath(RegRoot root, std::string_view path, RegView view) const {
    for (const auto& [top, prefix] : shared) {
      if (top == root && IsAtOrBelow(path, prefix)) return std::string(path);
    }
    return view == RegView::Bits32 ? Wow64Path(root, path) : std::string(path);
  }

  State() {
    for (RegRoot root : {RegRoot::ClassesRoot, RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::Users}) {
      roots[root] = std::make_shared<Key>();
    }
  }

  // Where a link key points, or null when it dangles. Links to links are
  // followed a few times only, as the system does.
  std::shared_ptr<Key> Follow(std::shared_ptr<Key> key, int hops = 0) const {
    if (!key || !key->link) return key;
    auto value = key->FindValue(kLinkValueName);
    RegRoot root{};
    std::string path;
    if (hops > 16 || value == key->values.end() ||
        !ParseNativePath(value->second.AsLinkTarget(), root, path)) {
      return nullptr;
    }
    return Find(root, path, false, hops + 1);
  }

  // root\path, following links on the way and, unless `openLink`, at its end.
  std::shared_ptr<Key> Find(RegRoot root, std::string_view path, bool openLink = false,
                            int hops = 0) const {
    auto it = roots.find(root);
    if (it == roots.end()) return nullptr;
    std::shared_ptr<Key> key = it->second;
    std::vector<std::string_view> parts = SplitPath(path);
    for (std::size_t i = 0; i < parts.size(); ++i) {
      key = key->Subkey(parts[i]);
      if (key && !(openLink && i + 1 == parts.size())) key = Follow(key, hops);
      if (!key) return nullptr;
    }
    return key;
  }

  std::shared_ptr<Key> Make(RegRoot root, std::string_view path) {
    auto it = roots.find(root);
    if (it == roots.end()) return nullptr;
    std::shared_ptr<Key> key = it->second;
    for (std::string_view part : SplitPath(path)) {
      std::shared_ptr<Key>& slot = key->subkeys[FoldedName(part)];
      if (!slot) {
        slot = std::make_shared<Key>();
        slot->name = std::string(part);
        slot->parent = key;
        Changed(slot);
        Changed(key);
      }
      key = Follow(slot);
      if (!key) return nullptr;
    }
    return key;
  }

  // Deletes a key without subkeys; a root cannot go.
  long RemoveEmpty(const std::shared_ptr<Key>& target) {
    std::shared_ptr<Key> parent = target->parent.lock();
    if (!target->subkeys.empty() || !parent) return regerr::kAccessDenied;
    target->deleted = true;
    parent->subkeys.erase(FoldedName(target->name));
    Changed(target);
    Changed(parent);
    return regerr::kSuccess;
  }

  // The key's values or its list of subkeys changed: its time moves and its
  // watches are disarmed; Flush() fires them once the operation is done.
  void Changed(const std::shared_ptr<Key>& key) {
    key->written = ++changes;
    for (auto it = watches.begin(); it != watches.end();) {
      auto handle = handles.find(it->first);
      if (handle != handles.end() && handle->second.key == key) {
        due.push_back(std::move(it->second));
        it = watches.erase(it);
      } else {
        ++it;
      }
    }
  }
  void Flush() {
    std::vector<std::function<void()>> now;
    now.swap(due);
    for (auto& fired : now) fired();
  }

  RegHandle AddHandle(std::shared_ptr<Key> key, RegRoot root, std::string_view path,
                      std::uint32_t access) {
    RegHandle h = nextHandle;
    nextHandle += 4;
    handles[h] = Handle{std::move(key), root, std::string(path), access};
    return h;
  }

  // The injected failure for `op` on root\path, or success.
  long Injected(Op op, RegRoot root, std::string_view path) const {
    for (const Failure& f : failures) {
      if (f.op == op && f.root == root && IsAtOrBelow(path, f.prefix)) return f.code;
    }
    return regerr::kSuccess;
  }

  long Record(Event event) {
    long result = event.result;
    log.push_back(std::move(event));
    Flush();
    return result;
  }

  // Common start of every operation on an open handle: finds the handle, applies
  // injected failures, checks that the key still exists and the access allows `need`.
  // `target` is the path the failure rules see (the handle's key or a subkey of it).
  long Check(RegHandle h, Op op, std::uint32_t need, std::string_view subkey, Handle*& out) {
    auto it = handles.find(h);
    if (it == handles.end()) return regerr::kInvalidHandle;
    out = &it->second;
    if (long code = Injected(op, out->root, JoinPath(out->path, subkey))) return code;
    if (op == Op::Close) return regerr::kSuccess;
    if (out->key->deleted) return regerr::kKeyDeleted;
    if ((out->access & need) != need) return regerr::kAccessDenied;
    return regerr::kSuccess;
  }
};

MemoryRegistry::MemoryRegistry() : state_(std::make_unique<State>()) {}
MemoryRegistry::~MemoryRegistry() = default;

long MemoryRegistry::CreateKey(RegRoot root, std::string_view viewPath, RegView view, RegHandle& out) {
  out = 0;
  const std::string physical = state_->ViewPath(root, viewPath, view);
  const std::string_view path = physical;
  Event event{Op::Create, root, std::string(path), "", {}, regerr::kSuccess};
  event.result = state_->Injected(Op::Create, root, path);
  if (event.result == regerr::kSuccess) {
    std::shared_ptr<Key> key = state_->Make(root, path);
    if (key) {
      out = state_->AddHandle(std::move(key), root, path, kAllAccess);
    } else {
      event.result = regerr::kInvalidHandle;
    }
  }
  return state_->Record(std::move(event));
}

long MemoryRegistry::OpenKey(RegRoot root, std::string_view viewPath, RegView view,
                             std::uint32_t access, RegHandle& out) {
  out = 0;
  const std::string physical = state_->ViewPath(root, viewPath, view);
  const std::string_view path = physical;
  Event event{Op::Open, root, std::string(path), "", {}, regerr::kSuccess};
  event.result = state_->Injected(Op::Open, root, path);
  if (event.result == regerr::kSuccess) {
    if (state_->roots.count(root) == 0) {
      event.result = regerr::kInvalidHandle;
    } else if (std::shared_ptr<Key> key = state_->Find(root, path)) {
      out = state_->AddHandle(std::move(key), root, path, access);
    } else {
      event.result = regerr::kFileNotFound;
    }
  }
  return state_->Record(std::move(event));
}

long MemoryRegistry::QueryInfoKey(RegHandle h, RegKeyInfo& out) {
  State::Handle* handle = nullptr;
  long result = state_->Check(h, Op::QueryInfo, kQueryValue, "", handle);
  if (result == regerr::kSuccess) {
    out = RegKeyInfo{};
    out.lastWrite = handle->key->written;
    for (const auto& [folded, sub] : handle->key->subkeys) {
      out.subkeys++;
      out.maxSubkeyLen = std::max(out.maxSubkeyLen, static_cast<std::uint32_t>(folded.size()));
    }
  }
  return state_->Record({Op::QueryInfo, handle ? handle->root : RegRoot{},
                         handle ? handle->path : "", "", {}, result});
}

long MemoryRegistry::EnumKey(RegHandle h, std::uint32_t index, std::uint32_t bufferChars,
                             std::string& name) {
  name.clear();
  State::Handle* handle = nullptr;
  long result = state_->Check(h, Op::Enum, kEnumerateSubKeys, "", handle);
  if (result == regerr::kSuccess) {
    const auto& subkeys = handle->key->subkeys;
    if (index >= subkeys.size()) {
      result = regerr::kNoMoreItems;
    } else {
      auto it = std::next(subkeys.begin(), index);
      // The buffer must hold the name and its terminating null.
      if (it->first.size() >= bufferChars) {
        result = regerr::kMoreData;
      } else {
        name = it->second->name;
      }
    }
  }
  return state_->Record({Op::Enum, handle ? handle->root : RegRoot{}, handle ? handle->path : "",
                         name, {}, result});
}

long MemoryRegistry::SetValue(RegHandle h, std::string_view name, const RegValue& value) {
  State::Handle* handle = nullptr;
  long result = state_->Check(h, Op::SetValue, kSetValue, "", handle);
  if (result == regerr::kSuccess) {
    auto it = handle->key->FindValue(name);
    if (it == handle->key->values.end()) {
      handle->key->values.emplace_back(std::string(name), value);
    } else {
      it->second = value;
    }
    state_->Changed(handle->key);
  }
  return state_->Record({Op::SetValue, handle ? handle->root : RegRoot{},
                         handle ? handle->path : "", std::string(name), value, result});
}

long MemoryRegistry::DeleteValue(RegHandle h, std::string_view name) {
  State::Handle* handle = nullptr;
  long result = state_->Check(h, Op::DeleteValue, kSetValue, "", handle);
  if (result == regerr::kSuccess) {
    auto it = handle->key->FindValue(name);
    if (it == handle->key->values.end()) {
      result = regerr::kFileNotFound;
    } else {
      handle->key->values.erase(it);
      state_->Changed(handle->key);
    }
  }
  return state_->Record({Op::DeleteValue, handle ? handle->root : RegRoot{},
                         handle ? handle->path : "", std::string(name), {}, result});
}

long MemoryRegistry::DeleteKey(RegHandle h, std::string_view subkey) {
  State::Handle* handle = nullptr;
  // Deleting opens the subkey afresh, so the handle itself needs no rights.
  long result = state_->Check(h, Op::DeleteKey, 0, subkey, handle);
  if (result == regerr::kSuccess) {
    // An empty subkey names the handle's own key, as the system treats it.
    // The subkey is opened as any path is: a link in it is followed.
    std::shared_ptr<Key> target = handle->key;
    for (std::string_view part : SplitPath(subkey)) {
      target = state_->Follow(target->Subkey(part));
      if (!target) break;
    }
    result = target ? state_->RemoveEmpty(target) : regerr::kFileNotFound;
  }
  return state_->Record({Op::DeleteKey, handle ? handle->root : RegRoot{},
                         handle ? handle->path : "", std::string(subkey), {}, result});
}

long MemoryRegistry::OpenKeyAsLink(RegRoot root, std::string_view viewPath, RegView view,
                                   std::uint32_t access, RegHandle& out) {
  out = 0;
  const std::string path = state_->ViewPath(root, viewPath, view);
  Event event{Op::Open, root, path, "", {}, state_->Injected(Op::Open, root, path)};
  if (event.result == regerr::kSuccess) {
    if (std::shared_ptr<Key> key = state_->Find(root, path, true)) {
      out = state_->AddHandle(std::move(key), root, path, access);
    } else {
      event.result = state_->roots.count(root) ? regerr::kFileNotFound : regerr::kInvalidHandle;
    }
  }
  return state_->Record(std::move(event));
}

long MemoryRegistry::OpenSubkeyAsLink(RegHandle h, std::string_view name, std::uint32_t access,
                                      RegHandle& out) {
  out = 0;
  State::Handle* handle = nullptr;
  long result = state_->Check(h, Op::Open, 0, name, handle);
  std::string path = handle ? JoinPath(handle->path, name) : std::string();
  if (result == regerr::kSuccess) {
    // One name, never a path.
    std::shared_ptr<Key> key = handle->key->Subkey(name);
    if (name.empty() || name.find('\\') != std::string_view::npos) {
      result = regerr::kInvalidParameter;
    } else if (key) {
      out = state_->AddHandle(std::move(key), handle->root, path, access);
    } else {
      result = regerr::kFileNotFound;
    }
  }
  return state_->Record({Op::Open, handle ? handle->root : RegRoot{}, path, "", {}, result});
}

long MemoryRegistry::DeleteOpenKey(RegHandle h) {
  State::Handle* handle = nullptr;
  long result = state_->Check(h, Op::DeleteKey, kKeyDelete, "", handle);
  if (result == regerr::kSuccess) {
    result = state_->RemoveEmpty(handle->key);
  }
  return state_->Record({Op::DeleteKey, handle ? handle->root : RegRoot{},
                         handle ? handle->path : "", "", {}, result});
}

long MemoryRegistry::CreateLink(RegRoot root, std::string_view viewPath, RegView view,
                                std::string_view target) {
  const std::string path = state_->ViewPath(root, viewPath, view);
  Event event{Op::Create, root, path, "", {}, state_->Injected(Op::Create, root, path)};
  auto [parentPath, leaf] = [&] {
    std::size_t cut = path.rfind('\\');
    return cut == std::string::npos ? std::pair<std::string, std::string>{"", path}
                                    : std::pair<std::string, std::string>{path.substr(0, cut), path.substr(cut + 1)};
  }();
  std::shared_ptr<Key> parent = event.result == regerr::kSuccess ? state_->Make(root, parentPath) : nullptr;
  if (event.result != regerr::kSuccess) {
  } else if (!parent || leaf.empty()) {
    event.result = regerr::kInvalidHandle;
  } else if (parent->Subkey(leaf)) {
    event.result = regerr::kAlreadyExists;
  } else {
    auto key = std::make_shared<Key>();
    key->name = leaf;
    key->parent = parent;
    key->link = true;
    key->values.emplace_back(std::string(kLinkValueName), RegValue::Link(target));
    state_->Changed(key);
    parent->subkeys[FoldedName(leaf)] = std::move(key);
    state_->Changed(parent);
  }
  return state_->Record(std::move(event));
}

std::string MemoryRegistry::NativePath(RegRoot root, std::string_view path) {
  for (const NativeRoot& native : kNativeRoots) {
    if (native.root == root) return std::string(native.prefix) + (path.empty() ? "" : "\\") + std::string(path);
  }
  return {};
}

long MemoryRegistry::CloseKey(RegHandle h) {
  State::Handle* handle = nullptr;
  long result = state_->Check(h, Op::Close, 0, "", handle);
  Event event{Op::Close, handle ? handle->root : RegRoot{}, handle ? handle->path : "", "", {},
              result};
  if (result == regerr::kSuccess) {
    state_->watches.erase(h);
    state_->handles.erase(h);
  }
  return state_->Record(std::move(event));
}

long MemoryRegistry::QueryValue(RegHandle h, std::string_view name, RegValue& out) {
  State::Handle* handle = nullptr;
  long result = state_->Check(h, Op::QueryValue, kQueryValue, "", handle);
  if (result == regerr::kSuccess) {
    auto it = handle->key->FindValue(name);
    if (it == handle->key->values.end()) {
      result = regerr::kFileNotFound;
    } else {
      out = it->second;
    }
  }
  return state_->Record({Op::QueryValue, handle ? handle->root : RegRoot{},
                         handle ? handle->path : "", std::string(name), {}, result});
}

long MemoryRegistry::EnumValue(RegHandle h, std::uint32_t index, std::string& name,
                               RegValue& out) {
  name.clear();
  State::Handle* handle = nullptr;
  long result = state_->Check(h, Op::EnumValue, kQueryValue, "", handle);
  if (result == regerr::kSuccess) {
    const auto& values = handle->key->values;
    if (index >= values.size()) {
      result = regerr::kNoMoreItems;
    } else {
      name = values[index].first;
      out = values[index].second;
    }
  }
  return state_->Record({Op::EnumValue, handle ? handle->root : RegRoot{},
                         handle ? handle->path : "", name, {}, result});
}

long MemoryRegistry::WatchKey(RegHandle h, std::function<void()> fired) {
  State::Handle* handle = nullptr;
  long result = state_->Check(h, Op::Watch, kNotify, "", handle);
  if (result == regerr::kSuccess) state_->watches[h] = std::move(fired);
  return state_->Record({Op::Watch, handle ? handle->root : RegRoot{}, handle ? handle->path : "",
                         "", {}, result});
}

void MemoryRegistry::FailOn(Op op, RegRoot root, std::string_view pathPrefix, long code) {
  state_->failures.push_back({op, root, std::string(pathPrefix), code});
}

void MemoryRegistry::ClearFailures() { state_->failures.clear(); }

std::size_t MemoryRegistry::OpenHandles() const { return state_->handles.size(); }

std::size_t MemoryRegistry::ArmedWatches() const { return state_->watches.size(); }

std::size_t MemoryRegistry::Writes() const {
  return static_cast<std::size_t>(std::count_if(state_->log.begin(), state_->log.end(), [](const Event& e) {
    return e.op == Op::SetValue || e.op == Op::DeleteValue || e.op == Op::DeleteKey;
  }));
}

const std::vector<MemoryRegistry::Event>& MemoryRegistry::Log() const { return state_->log; }

void MemoryRegistry::ClearLog() { state_->log.clear(); }

bool MemoryRegistry::KeyExists(RegRoot root, std::string_view path) const {
  return state_->Find(root, path, true) != nullptr;
}

std::optional<RegValue> MemoryRegistry::Value(RegRoot root, std::string_view path,
                                              std::string_view name) const {
  std::shared_ptr<Key> key = state_->Find(root, path, true);
  if (!key) return std::nullopt;
  auto it = key->FindValue(name);
  if (it == key->values.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> MemoryRegistry::SubkeyNames(RegRoot root, std::string_view path) const {
  std::vector<std::string> names;
  if (std::shared_ptr<Key> key = state_->Find(root, path, true)) {
    for (const auto& [folded, sub] : key->subkeys) names.push_back(sub->name);
  }
  return names;
}

std::vector<std::string> MemoryRegistry::ValueNames(RegRoot root, std::string_view path) const {
  std::vector<std::string> names;
  if (std::shared_ptr<Key> key = state_->Find(root, path, true)) {
    for (const auto& [name, value] : key->values) names.push_back(name);
  }
  return names;
}

void MemoryRegistry::Put(RegRoot root, std::string_view path, std::string_view name,
                         const RegValue& value) {
  std::shared_ptr<Key> key = state_->Make(root, path);
  if (!key) return;
  auto it = key->FindValue(name);
  if (it == key->values.end()) {
    key->values.emplace_back(std::string(name), value);
  } else {
    it->second = value;
  }
  state_->Changed(key);
  state_->Flush();
}

void MemoryRegistry::ShareViews(RegRoot root, std::string_view path) {
  state_->shared.emplace_back(root, std::string(path));
}

void MemoryRegistry::PutKey(RegRoot root, std::string_view path) {
  state_->Make(root, path);
  state_->Flush();
}

}  // namespace orvane
