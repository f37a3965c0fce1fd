// What the program relies on from a registry, checked against every implementation.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "contract/registry_backend.h"
#include "platform/text.h"

namespace orvane {
namespace {

constexpr RegRoot kCU = RegRoot::CurrentUser;
constexpr RegRoot kLM = RegRoot::LocalMachine;
constexpr RegRoot kCR = RegRoot::ClassesRoot;

class RegistryContract : public ::testing::Test {
 protected:
  std::unique_ptr<testing::RegistryBackend> backend_ = testing::MakeRegistryBackend();
  RegistryService& reg() { return backend_->Registry(); }

  RegKey Created(RegRoot root, std::string_view path) {
    RegKey key(reg());
    EXPECT_EQ(key.Create(root, path), regerr::kSuccess) << path;
    return key;
  }
  RegKey Opened(RegRoot root, std::string_view path, std::uint32_t access = kKeyAllButDelete) {
    RegKey key(reg());
    EXPECT_EQ(key.Open(root, path, access), regerr::kSuccess) << path;
    return key;
  }
  long OpenResult(RegRoot root, std::string_view path) { return RegKey(reg()).Open(root, path); }
  RegValue Query(RegKey& key, std::string_view name, long expected = regerr::kSuccess) {
    RegValue value;
    EXPECT_EQ(reg().QueryValue(key.Get(), name, value), expected) << name;
    return value;
  }
  // The subkey names by index, the way the context-menu listing reads them.
  std::vector<std::string> Subkeys(RegRoot root, std::string_view path) {
    RegKey key = Opened(root, path);
    RegKeyInfo info;
    EXPECT_EQ(reg().QueryInfoKey(key.Get(), info), regerr::kSuccess);
    std::vector<std::string> names(info.subkeys);
    for (std::uint32_t i = 0; i < info.subkeys; ++i) {
      EXPECT_EQ(reg().EnumKey(key.Get(), i, info.maxSubkeyLen + 1, names[i]), regerr::kSuccess);
    }
    return names;
  }
};

TEST_F(RegistryContract, CreateMakesParentsKeepsContentsAndNamesMatchWithoutCase) {
  Created(kLM, "Software\\Orvane\\A\\B\\C");
  EXPECT_EQ(OpenResult(kLM, "Software\\Orvane\\A"), regerr::kSuccess);
  EXPECT_EQ(OpenResult(kLM, "Software\\Orvane\\A\\X"), regerr::kFileNotFound);
  EXPECT_EQ(OpenResult(kLM, "Software\\Orvane\\A\\B\\C\\D"), regerr::kFileNotFound);
  EXPECT_EQ(OpenResult(kCU, "Software\\Orvane\\A"), regerr::kFileNotFound);  // the roots are separate trees
  EXPECT_EQ(OpenResult(kCR, "Software\\Orvane"), regerr::kFileNotFound);
  {
    RegKey key = Created(kCU, "Software\\MixedCase\\SubKey");
    EXPECT_EQ(reg().SetValue(key.Get(), "Start Page", RegValue::Text(RegType::Sz, "one")), regerr::kSuccess);
  }
  // Creating an existing key, in any case, opens it; the first spelling of names stays.
  RegKey other = Created(kCU, "SOFTWARE\\mixedcase\\SUBKEY");
  EXPECT_EQ(Query(other, "start page").AsText(), "one");
  EXPECT_EQ(reg().SetValue(other.Get(), "START PAGE", RegValue::Text(RegType::Sz, "two")), regerr::kSuccess);
  EXPECT_EQ(Subkeys(kCU, "software\\MIXEDCASE"), (std::vector<std::string>{"SubKey"}));
  RegKey key = Opened(kCU, "software\\mixedCASE\\subkey");
  std::string name;
  RegValue value;
  EXPECT_EQ(reg().EnumValue(key.Get(), 0, name, value), regerr::kSuccess);
  EXPECT_EQ(name, "Start Page");
  EXPECT_EQ(value.AsText(), "two");
  EXPECT_EQ(reg().EnumValue(key.Get(), 1, name, value), regerr::kNoMoreItems);
}

TEST_F(RegistryContract, EnumerationIsSortedWithoutCaseAndCountsUtf16Units) {
  // "中文扩展" is 4 UTF-16 units but 12 UTF-8 bytes; "abcdef" is the longest name.
  for (const char* name : {"b", "C", "中文扩展", "abcdef", "a", "&Export to Excel"}) {
    Created(kCU, std::string("Software\\Enum\\") + name);
  }
  RegKey key = Opened(kCU, "Software\\Enum");
  RegKeyInfo info;
  ASSERT_EQ(reg().QueryInfoKey(key.Get(), info), regerr::kSuccess);
  EXPECT_EQ(info.subkeys, 6u);
  EXPECT_EQ(info.maxSubkeyLen, 16u);
  EXPECT_EQ(Subkeys(kCU, "Software\\Enum"),
            (std::vector<std::string>{"&Export to Excel", "a", "abcdef", "b", "C", "中文扩展"}));
  // The buffer must hold the name and its null.
  std::string name = "stale";
  EXPECT_EQ(reg().EnumKey(key.Get(), 2, 6, name), regerr::kMoreData);
  EXPECT_EQ(reg().EnumKey(key.Get(), 2, 7, name), regerr::kSuccess);
  EXPECT_EQ(name, "abcdef");
  EXPECT_EQ(reg().EnumKey(key.Get(), 5, 4, name), regerr::kMoreData);
  EXPECT_EQ(reg().EnumKey(key.Get(), 5, 5, name), regerr::kSuccess);
  EXPECT_EQ(name, "中文扩展");
  EXPECT_EQ(reg().EnumKey(key.Get(), 6, 300, name), regerr::kNoMoreItems);
  EXPECT_EQ(reg().EnumKey(key.Get(), 1000, 300, name), regerr::kNoMoreItems);
  // A Chinese key name opens and deletes like any other.
  EXPECT_EQ(reg().DeleteKey(key.Get(), "中文扩展"), regerr::kSuccess);
  EXPECT_EQ(OpenResult(kCU, "Software\\Enum\\中文扩展"), regerr::kFileNotFound);

  RegKey empty = Opened(kCU, "Software\\Enum\\a");
  ASSERT_EQ(reg().QueryInfoKey(empty.Get(), info), regerr::kSuccess);
  EXPECT_EQ(info.subkeys + info.maxSubkeyLen, 0u);
  EXPECT_EQ(reg().EnumKey(empty.Get(), 0, 300, name), regerr::kNoMoreItems);
}

TEST_F(RegistryContract, DeletingKeysRefusesParentsAndReportsAbsentOnes) {
  Created(kCU, "Software\\Del\\Parent\\Child");
  RegKey del = Opened(kCU, "Software\\Del");
  EXPECT_EQ(reg().DeleteKey(del.Get(), "Parent"), regerr::kAccessDenied);
  EXPECT_EQ(OpenResult(kCU, "Software\\Del\\Parent\\Child"), regerr::kSuccess);
  EXPECT_EQ(reg().DeleteKey(del.Get(), "parent\\CHILD"), regerr::kSuccess);
  EXPECT_EQ(OpenResult(kCU, "Software\\Del\\Parent\\Child"), regerr::kFileNotFound);
  EXPECT_EQ(reg().DeleteKey(del.Get(), "Parent"), regerr::kSuccess);
  EXPECT_EQ(reg().DeleteKey(del.Get(), "Parent"), regerr::kFileNotFound);
  EXPECT_EQ(reg().DeleteKey(del.Get(), "Parent\\Child"), regerr::kFileNotFound);
  EXPECT_EQ(reg().DeleteValue(del.Get(), "absent"), regerr::kFileNotFound);
  // An empty subkey name deletes the handle's own key.
  RegKey self = Created(kCU, "Software\\Del\\Self");
  EXPECT_EQ(reg().DeleteKey(self.Get(), ""), regerr::kSuccess);
  EXPECT_EQ(OpenResult(kCU, "Software\\Del\\Self"), regerr::kFileNotFound);
  EXPECT_EQ(reg().DeleteKey(del.Get(), ""), regerr::kSuccess);
  EXPECT_EQ(OpenResult(kCU, "Software\\Del"), regerr::kFileNotFound);

  // A handle on a deleted key reports it until closed, even once the name is made again.
  Created(kCU, "Software\\Gone\\Key");
  RegKey parent = Opened(kCU, "Software\\Gone");
  RegHandle stale = 0;
  ASSERT_EQ(reg().OpenKey(kCU, "Software\\Gone\\Key", RegView::Default, kKeyAllButDelete, stale), regerr::kSuccess);
  ASSERT_EQ(reg().DeleteKey(parent.Get(), "Key"), regerr::kSuccess);
  RegKeyInfo info;
  EXPECT_EQ(reg().QueryInfoKey(stale, info), regerr::kKeyDeleted);
  Created(kCU, "Software\\Gone\\Key");
  EXPECT_EQ(reg().SetValue(stale, "v", RegValue::Dword(1)), regerr::kKeyDeleted);
  EXPECT_EQ(reg().CloseKey(stale), regerr::kSuccess);
}

TEST_F(RegistryContract, AccessMaskLimitsWhatAnOpenedHandleMayDo) {
  Created(kLM, "Software\\Access\\Sub");
  RegKey readOnly = Opened(kLM, "Software\\Access", kKeyRead);
  EXPECT_EQ(reg().SetValue(readOnly.Get(), "v", RegValue::Dword(1)), regerr::kAccessDenied);
  EXPECT_EQ(reg().DeleteValue(readOnly.Get(), "v"), regerr::kAccessDenied);
  RegKeyInfo info;
  EXPECT_EQ(reg().QueryInfoKey(readOnly.Get(), info), regerr::kSuccess);
  // The repairs' mask allows writes; deleting a subkey needs no right on the parent handle.
  RegKey writable = Opened(kLM, "Software\\Access", kKeyAllButDelete);
  EXPECT_EQ(reg().SetValue(writable.Get(), "v", RegValue::Dword(1)), regerr::kSuccess);
  EXPECT_EQ(reg().DeleteKey(readOnly.Get(), "Sub"), regerr::kSuccess);
}

TEST_F(RegistryContract, ValueTypesAndBytesRoundTrip) {
  const std::pair<const char*, RegValue> cases[] = {
      {"", RegValue::Text(RegType::Sz, "about:blank")},
      {"Path", RegValue::Text(RegType::ExpandSz, "%SystemRoot%\\system32\\shell32.dll,3")},
      {"Empty", RegValue::Text(RegType::Sz, "")},
      {"NoDrives", RegValue::Dword(0x12345678)},
      {"搜索页", RegValue::Text(RegType::Sz, "http://www.example.com/?q=中文")},
  };
  EXPECT_EQ(RegValue::Text(RegType::Sz, "").data, (std::vector<std::uint8_t>{0, 0}));
  RegKey key = Created(kCU, "Software\\Values\\中文键");
  for (const auto& [name, value] : cases) EXPECT_EQ(reg().SetValue(key.Get(), name, value), regerr::kSuccess);
  RegKey reopened = Opened(kCU, "software\\values\\中文键");
  for (const auto& [name, value] : cases) EXPECT_EQ(Query(reopened, name), value) << name;
  std::size_t count = 0;
  std::string name;
  RegValue read;
  for (; reg().EnumValue(reopened.Get(), count, name, read) == regerr::kSuccess; ++count) {
    auto it = std::find_if(std::begin(cases), std::end(cases), [&](const auto& c) { return c.first == name; });
    ASSERT_NE(it, std::end(cases)) << name;
    EXPECT_EQ(read, it->second) << name;
  }
  EXPECT_EQ(count, std::size(cases));
  // Overwriting may change the type; deleting removes the value only.
  EXPECT_EQ(reg().SetValue(key.Get(), "nodrives", RegValue::Text(RegType::Sz, "x")), regerr::kSuccess);
  EXPECT_EQ(Query(key, "NoDrives"), RegValue::Text(RegType::Sz, "x"));
  EXPECT_EQ(reg().DeleteValue(key.Get(), "NODRIVES"), regerr::kSuccess);
  Query(key, "NoDrives", regerr::kFileNotFound);
  EXPECT_EQ(reg().DeleteValue(key.Get(), "NoDrives"), regerr::kFileNotFound);
  Query(key, "搜索页");
}

RegValue Text(std::string_view text) { return RegValue::Text(RegType::Sz, text); }

TEST_F(RegistryContract, MachineSoftwareHasTwoViewsTheUserKeyOne) {
  backend_ = testing::MakeRegistryBackend(true);
  struct Case { RegRoot root; const char* path; bool apart; };
  for (const Case& c : {Case{kLM, R"(SOFTWARE\Views\K)", true}, Case{kCU, R"(Software\Views\K)", false}}) {
    SCOPED_TRACE(c.path);
    for (RegView view : {RegView::Bits64, RegView::Bits32}) {
      RegKey key(reg());
      ASSERT_EQ(key.Create(c.root, c.path, view), regerr::kSuccess);
      ASSERT_EQ(reg().SetValue(key.Get(), "v", Text(view == RegView::Bits64 ? "64" : "32")), regerr::kSuccess);
    }
    RegKey k64(reg()), k32(reg()), plain(reg());
    ASSERT_EQ(k64.Open(c.root, c.path, kKeyRead, RegView::Bits64), regerr::kSuccess);
    ASSERT_EQ(k32.Open(c.root, c.path, kKeyRead, RegView::Bits32), regerr::kSuccess);
    EXPECT_EQ(Query(k64, "v").AsText(), c.apart ? "64" : "32");
    EXPECT_EQ(Query(k32, "v").AsText(), "32");
    if (!c.apart) continue;
    // The 32-bit view lies under Wow6432Node; deleting through a 32-bit handle leaves the 64-bit key.
    ASSERT_EQ(plain.Open(c.root, R"(SOFTWARE\Wow6432Node\Views\K)", kKeyRead), regerr::kSuccess);
    EXPECT_EQ(Query(plain, "v").AsText(), "32");
    RegKey parent(reg());
    ASSERT_EQ(parent.Open(c.root, R"(SOFTWARE\Views)", kKeyAllButDelete, RegView::Bits32), regerr::kSuccess);
    EXPECT_EQ(reg().DeleteKey(parent.Get(), "K"), regerr::kSuccess);
    EXPECT_EQ(RegKey(reg()).Open(c.root, c.path, kKeyRead, RegView::Bits32), regerr::kFileNotFound);
    EXPECT_EQ(RegKey(reg()).Open(c.root, c.path, kKeyRead, RegView::Bits64), regerr::kSuccess);
  }
}

// A path through a link reaches its target; opened as a link it is the link
// key, and deleting it there removes the link only.
TEST_F(RegistryContract, ALinkIsFollowedByPathsAndOpenedAndDeletedAsItself) {
  Created(kCU, R"(Software\Target\Sub)");
  ASSERT_EQ(reg().SetValue(Created(kCU, R"(Software\Target)").Get(), "v", Text("t")), regerr::kSuccess);
  const std::string native = backend_->NativePath(kCU, R"(Software\Target)");
  ASSERT_FALSE(native.empty());
  Created(kCU, R"(Software\L)");
  ASSERT_EQ(reg().CreateLink(kCU, R"(Software\L\Link)", RegView::Default, native), regerr::kSuccess);
  EXPECT_EQ(reg().CreateLink(kCU, R"(Software\L\Link)", RegView::Default, native), regerr::kAlreadyExists);
  EXPECT_EQ(OpenResult(kCU, R"(Software\L\link\Sub)"), regerr::kSuccess);
  RegKey followed = Opened(kCU, R"(Software\L\Link)", kKeyRead);
  EXPECT_EQ(Query(followed, "v").AsText(), "t");
  std::string where;

  RegKey parent = Opened(kCU, R"(Software\L)", kKeyRead);
  RegKey byName(reg()), byPath(reg());
  ASSERT_EQ(byName.OpenSubkeyAsLink(parent.Get(), "LINK", kKeyRead), regerr::kSuccess);
  ASSERT_EQ(LinkTarget(reg(), byName.Get(), where), regerr::kSuccess);
  EXPECT_TRUE(EqualsNoCase(where, native)) << where;
  EXPECT_EQ(byName.OpenSubkeyAsLink(parent.Get(), "Link\\Sub", kKeyRead), regerr::kInvalidParameter);
  ASSERT_EQ(byPath.OpenAsLink(kCU, R"(Software\L\Link)", kKeyRead | kKeyDelete), regerr::kSuccess);
  EXPECT_EQ(reg().DeleteOpenKey(byPath.Get()), regerr::kSuccess);
  EXPECT_EQ(OpenResult(kCU, R"(Software\L\Link)"), regerr::kFileNotFound);
  EXPECT_EQ(OpenResult(kCU, R"(Software\Target\Sub)"), regerr::kSuccess);  // the target is whole
}

// Waits up to two seconds for `count` to reach `expected` (a watch may fire on another thread).
bool Reaches(const std::atomic<int>& count, int expected) {
  for (int i = 0; i < 200 && count.load() < expected; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // and no more than that
  return count.load() == expected;
}

// The last-write time moves with the same changes, and neither moves with a read or a change further down.
TEST_F(RegistryContract, AWatchFiresOnceForEachArmingAndNotAfterItsKeyIsClosed) {
  std::atomic<int> fired{0};
  Created(kCU, R"(Software\W\Keep)");
  RegKey watched = Opened(kCU, R"(Software\W)", kKeyWatch);
  RegKey writer = Opened(kCU, R"(Software\W)");
  auto written = [&] {
    RegKeyInfo info;
    EXPECT_EQ(reg().QueryInfoKey(watched.Get(), info), regerr::kSuccess);
    return info.lastWrite;
  };
  auto arm = [&] { ASSERT_EQ(reg().WatchKey(watched.Get(), [&fired] { ++fired; }), regerr::kSuccess); };
  const std::vector<std::function<void()>> changes = {
      [&] { reg().SetValue(writer.Get(), "v", RegValue::Dword(1)); },
      [&] { reg().SetValue(writer.Get(), "v", RegValue::Dword(2)); },
      [&] { Created(kCU, R"(Software\W\Sub)"); },
      [&] { reg().DeleteKey(writer.Get(), "Sub"); },
      [&] { reg().DeleteValue(writer.Get(), "v"); },
  };
  arm();
  const std::uint64_t first = written();
  Created(kCU, R"(Software\W\Keep\Deeper)");
  reg().SetValue(Opened(kCU, R"(Software\W\Keep)").Get(), "deeper", RegValue::Dword(1));
  Query(writer, "absent", regerr::kFileNotFound);
  EXPECT_TRUE(Reaches(fired, 0));
  EXPECT_EQ(written(), first);
  for (std::size_t i = 0; i < changes.size(); ++i) {
    SCOPED_TRACE(i);
    const std::uint64_t before = written();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the system's clock may be coarse
    changes[i]();
    EXPECT_TRUE(Reaches(fired, int(i) + 1));
    EXPECT_GT(written(), before);
    reg().SetValue(writer.Get(), "other", RegValue::Dword(int(i)));  // not armed: not seen
    EXPECT_TRUE(Reaches(fired, int(i) + 1));
    arm();
  }
  watched.Close();
  reg().SetValue(writer.Get(), "v", RegValue::Dword(3));
  EXPECT_TRUE(Reaches(fired, int(changes.size())));
}

}  // namespace
}  // namespace orvane
