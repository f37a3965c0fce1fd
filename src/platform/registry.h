#pragma once
// Registry operations as the repairs and the context-menu manager use them.
// Names and text are UTF-8 here; implementations store text as the wide
// registry functions do (UTF-16LE with its terminating null).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

enum class RegRoot : std::uint32_t {
  ClassesRoot = 0x80000000u,
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
  Users = 0x80000003u,  // every loaded user hive, "<SID>\..." and "<SID>_Classes\..."
};

enum class RegType : std::uint32_t {
  None = 0,
  Sz = 1,
  ExpandSz = 2,
  Binary = 3,
  Dword = 4,
  Link = 6,  // a link key's SymbolicLinkValue: the target's native path, UTF-16LE, no null
};

// The Win32 error codes callers see.
namespace regerr {
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidParameter = 87;
constexpr long kInvalidHandle = 6;
constexpr long kInvalidData = 13;
constexpr long kAlreadyExists = 183;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;
constexpr long kKeyDeleted = 1018;  // the handle's key was deleted meanwhile
}  // namespace regerr

// Query, set, create-subkey, enumerate, notify, create-link and read-control.
constexpr std::uint32_t kKeyAllButDelete = 0x2003F;
// Query, enumerate, notify and read-control.
constexpr std::uint32_t kKeyRead = 0x20019;
// Notify, query and read-control: enough to watch a key and ask when it last changed.
constexpr std::uint32_t kKeyWatch = 0x20011;
// The right to delete the key itself (DeleteOpenKey).
constexpr std::uint32_t kKeyDelete = 0x10000;

// The value that holds a link key's target.
inline constexpr std::string_view kLinkValueName = "SymbolicLinkValue";

// Which registry view a key is opened in. On 64-bit Windows some keys exist
// twice, once for 64-bit and once for 32-bit programs; Default is the view of
// the calling program (64-bit for this one).
enum class RegView : std::uint8_t { Default, Bits64, Bits32 };

// Whether Windows keeps root\path apart in the two views: HKLM\SOFTWARE and
// HKCR\CLSID and everything below them.
bool HasSeparateViews(RegRoot root, std::string_view path);
// Where the 32-bit view of root\path lies as seen from the 64-bit view:
// below SOFTWARE\Wow6432Node or Wow6432Node\CLSID. Other paths come back as they are.
std::string Wow64Path(RegRoot root, std::string_view path);
// The inverse: the 32-bit view's path of a key named below Wow6432Node, or
// nothing when `path` is no such name.
std::optional<std::string> FromWow64Path(RegRoot root, std::string_view path);

struct RegValue {
  RegType type = RegType::None;
  std::vector<std::uint8_t> data;

  static RegValue Text(RegType type, std::string_view utf8);  // UTF-16LE + null
  static RegValue Dword(std::uint32_t number);                 // 4 bytes, little-endian
  std::string AsText() const;  // inverse of Text(); stops at the first null
  static RegValue Link(std::string_view target);  // REG_LINK: UTF-16LE, no null
  std::string AsLinkTarget() const;               // inverse of Link()
  bool operator==(const RegValue&) const = default;
};

struct RegKeyInfo {
  std::uint32_t subkeys = 0;
  std::uint32_t maxSubkeyLen = 0;  // UTF-16 code units, without the null
  // Moves forward when the key is made, one of its values changes or a direct
  // subkey comes or goes; nothing deeper moves it. A file time on Windows.
  std::uint64_t lastWrite = 0;
};

using RegHandle = std::uintptr_t;  // 0: no key

class RegistryService {
 public:
  virtual ~RegistryService() = default;

  // Opens the key, creating it and any missing parents. The view stays with
  // the handle: deleting a subkey through it deletes in that view.
  virtual long CreateKey(RegRoot root, std::string_view path, RegView view, RegHandle& out) = 0;
  // Opens an existing key.
  virtual long OpenKey(RegRoot root, std::string_view path, RegView view, std::uint32_t access,
                       RegHandle& out) = 0;
  virtual long QueryInfoKey(RegHandle key, RegKeyInfo& out) = 0;
  // bufferChars counts UTF-16 code units including the null, as RegEnumKeyW.
  virtual long EnumKey(RegHandle key, std::uint32_t index, std::uint32_t bufferChars,
                       std::string& name) = 0;
  virtual long SetValue(RegHandle key, std::string_view name, const RegValue& value) = 0;
  virtual long DeleteValue(RegHandle key, std::string_view name) = 0;
  // Removes a subkey that has no subkeys of its own.
  virtual long DeleteKey(RegHandle key, std::string_view subkey) = 0;
  virtual long CloseKey(RegHandle key) = 0;

  // Links. A link key stands for another key (its target, a native path such
  // as \Registry\Machine\Software\X); opening a path through it reaches the
  // target. These open a link as the link key itself, never following it.
  // Opens root\path like OpenKey, except that a link at the end of the path
  // is opened, not followed.
  virtual long OpenKeyAsLink(RegRoot root, std::string_view path, RegView view,
                             std::uint32_t access, RegHandle& out) = 0;
  // Opens the direct subkey `name` of an open key the same way.
  virtual long OpenSubkeyAsLink(RegHandle parent, std::string_view name, std::uint32_t access,
                                RegHandle& out) = 0;
  // Deletes the open key itself (it must have no subkeys): for a link the
  // link, not its target. The handle needs kKeyDelete.
  virtual long DeleteOpenKey(RegHandle key) = 0;
  // Makes root\path (which must not exist) a link to `target`.
  virtual long CreateLink(RegRoot root, std::string_view path, RegView view,
                          std::string_view target) = 0;

  // Reads: the repairs never read values; checks and tests do.
  virtual long QueryValue(RegHandle key, std::string_view name, RegValue& out) = 0;
  virtual long EnumValue(RegHandle key, std::uint32_t index, std::string& name,
                         RegValue& out) = 0;

  // Arms a one-shot watch on the open key: `fired` runs once when a value of
  // the key or the list of its subkeys changes, or the key is deleted. It may
  // run on another thread. Calling again on the same handle re-arms it (with
  // the new `fired`); closing the handle ends the watch without firing.
  virtual long WatchKey(RegHandle key, std::function<void()> fired) = 0;
};

// Whether a key opened as a link is one, and where it points: kSuccess with
// the target, kFileNotFound when the key is no link, or the read's error.
long LinkTarget(RegistryService& registry, RegHandle key, std::string& target);

// Owns one open key of a RegistryService; closes it when it goes.
class RegKey {
 public:
  explicit RegKey(RegistryService& registry) : registry_(&registry) {}
  RegKey(RegKey&& other) noexcept : registry_(other.registry_), handle_(other.handle_) {
    other.handle_ = 0;
  }
  RegKey& operator=(RegKey&& other) noexcept;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey() { Close(); }

  long Create(RegRoot root, std::string_view path, RegView view = RegView::Default);
  long Open(RegRoot root, std::string_view path, std::uint32_t access = kKeyAllButDelete,
            RegView view = RegView::Default);
  long OpenAsLink(RegRoot root, std::string_view path, std::uint32_t access, RegView view = RegView::Default);
  long OpenSubkeyAsLink(RegHandle parent, std::string_view name, std::uint32_t access);
  void Close();

  bool IsOpen() const { return handle_ != 0; }
  RegHandle Get() const { return handle_; }
  RegistryService& Registry() const { return *registry_; }

 private:
  RegistryService* registry_;
  RegHandle handle_ = 0;
};

// A string value's text ("" when the key or value is missing or not a string).
std::string ReadText(RegistryService& registry, RegRoot root, const std::string& path, std::string_view name);

}  // namespace orvane
