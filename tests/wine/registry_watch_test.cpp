// Lock mode's watches on the system registry, driven as the window drives
// them (signals posted to one thread, which re-arms and re-applies), against
// another process's storms of writes and against deletions and links.
#include <windows.h>

#include <gtest/gtest.h>
#include <process.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/registry_win32.h"
#include "platform/win32/unique_handle.h"
#include "repair/lock_watch.h"

namespace orvane {
namespace {

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

class RegistryWatch : public ::testing::Test {
 protected:
  const std::string base = "Software\\OrvaneWatch-" + std::to_string(::GetCurrentProcessId());
  const std::string key = base + "\\A\\B\\C";
  Win32Registry registry;
  UniqueKernelHandle arrived{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  std::mutex mutex;
  std::vector<std::uint32_t> posted;
  LockWatches watches{registry, [this](std::uint32_t id) {
                        std::lock_guard<std::mutex> lock(mutex);
                        posted.push_back(id);
                        ::SetEvent(arrived.get());
                      }};
  const std::vector<StepTarget> targets = {{.kind = StepKind::Key, .root = RegRoot::CurrentUser, .path = key}};

  void TearDown() override {
    watches.Clear();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, Wide(base).c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, Wide(base).c_str());
  }
  // What lock mode does for a changed item: watch first, then write.
  void Reapply() {
    watches.Watch(1, targets);
    RegKey k(registry);
    k.Create(RegRoot::CurrentUser, key);
    registry.SetValue(k.Get(), "v", RegValue::Dword(1));
  }
  // Delivers the signals until `until` is signalled (or, without it, until
  // none comes for 300 ms after the first wait); true when item 1 was told.
  bool Deliver(DWORD first, HANDLE until = nullptr) {
    bool told = false;
    HANDLE waits[] = {arrived.get(), until};
    for (DWORD wait = first; ::WaitForMultipleObjects(until ? 2 : 1, waits, FALSE, until ? INFINITE : wait) ==
                             WAIT_OBJECT_0;
         wait = 300) {
      std::vector<std::uint32_t> ids;
      {
        std::lock_guard<std::mutex> lock(mutex);
        ids.swap(posted);
      }
      for (std::uint32_t id : ids) {
        for (int item : watches.Fired(id)) told = told || item == 1;
        Reapply();
      }
    }
    return told;
  }
  // One change of the value by another writer must reach the item.
  bool ChangeIsSeen() {
    RegKey writer(registry);
    if (writer.Open(RegRoot::CurrentUser, key) != regerr::kSuccess) return false;
    registry.SetValue(writer.Get(), "v", RegValue::Dword(2));
    return Deliver(3000);
  }
};

// Another process writes `v` `rate` times a second for one second.
HANDLE StartStorm(const std::string& path, int rate) {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe(self), rateText = std::to_wstring(rate);
  exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"orvane_bench_tamper.exe";
  return reinterpret_cast<HANDLE>(_wspawnl(_P_NOWAIT, exe.c_str(), exe.c_str(), L"storm", L"HKCU", Wide(path).c_str(),
                                           L"v", rateText.c_str(), L"1000", nullptr));
}

// With both cores busy, as on a loaded machine: a watch re-armed after every
// signal was seen to go deaf after such storms.
TEST_F(RegistryWatch, SurvivesStormsOfWritesWhileTheMachineIsBusy) {
  Reapply();
  std::atomic<bool> busy{true};
  std::vector<std::thread> burners;
  for (int i = 0; i < 2; ++i) {
    burners.emplace_back([&busy] {
      volatile unsigned spin = 0;
      while (busy.load(std::memory_order_relaxed)) spin = spin + 1;
    });
  }
  std::string deaf;
  for (int rate : {20, 200, 1000, 200, 1000, 200, 1000, 1000}) {
    UniqueKernelHandle storm(StartStorm(key, rate));
    ASSERT_NE(storm.get(), INVALID_HANDLE_VALUE);
    Deliver(INFINITE, storm.get());
    Deliver(300);  // the storm's last signals
    if (!ChangeIsSeen()) deaf += " " + std::to_string(rate) + "/s";
  }
  busy = false;
  for (std::thread& t : burners) t.join();
  EXPECT_EQ(deaf, "") << "storms after which a change went unseen";
}

TEST_F(RegistryWatch, FollowsTheKeyThroughDeletionsAtAnyDepthAndALink) {
  auto deleteTree = [](const std::string& path) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, Wide(path).c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, Wide(path).c_str());
  };
  auto link = [&] {
    deleteTree(key);
    HKEY created = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                      KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &created, nullptr);
    const std::wstring target = L"\\Registry\\User\\S-1-5-21-0-0-0-1000\\" + Wide(base) + L"\\Elsewhere";
    ::RegSetValueExW(created, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target.data()),
                     static_cast<DWORD>(target.size() * sizeof(wchar_t)));
    UniqueHkey owned(created);
  };
  RegKey(registry).Create(RegRoot::CurrentUser, base + "\\Elsewhere");
  Reapply();
  const std::vector<std::pair<std::string, std::function<void()>>> attacks = {
      {"the key", [&] { deleteTree(key); }},
      {"its parent", [&] { deleteTree(base + "\\A\\B"); }},
      {"two levels up", [&] { deleteTree(base + "\\A"); }},
      {"replaced by a link", link},
  };
  for (const auto& [what, attack] : attacks) {
    SCOPED_TRACE(what);
    attack();
    EXPECT_TRUE(Deliver(3000)) << "the deletion went unseen";
    EXPECT_TRUE(ChangeIsSeen()) << "a change after it went unseen";
  }
  UniqueHkey linkKey;  // deleted as a link before the tree below `base` goes
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), REG_OPTION_OPEN_LINK, DELETE, linkKey.put()) ==
      ERROR_SUCCESS) {
    ::RegDeleteKeyW(linkKey.get(), L"");
  }
}

// The safety net's look at when each key last changed, with every signal lost.
TEST_F(RegistryWatch, TheSafetyNetSeesAnotherProcesssWritesWithoutASignal) {
  Reapply();
  Reapply();  // as the signal of its key's creation would
  auto looked = [&] { return watches.Moved(0, 1).count(1) > 0; };
  looked();
  looked();  // the first look, and the one after it
  EXPECT_FALSE(looked()) << "nothing changed";
  for (int rate : {20, 1000}) {
    SCOPED_TRACE(rate);
    UniqueKernelHandle storm(StartStorm(key, rate));
    ASSERT_NE(storm.get(), INVALID_HANDLE_VALUE);
    ::WaitForSingleObject(storm.get(), INFINITE);
    EXPECT_TRUE(looked());
    EXPECT_TRUE(looked());  // once more, for a clock too coarse to tell the last writes apart
    EXPECT_FALSE(looked());
  }
  ::RegDeleteTreeW(HKEY_CURRENT_USER, Wide(base + "\\A").c_str());
  looked();
  EXPECT_FALSE(watches.Armed(1)) << "a deleted key is watched afresh";
}

}  // namespace
}  // namespace orvane
