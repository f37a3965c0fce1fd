// What only the in-memory registry offers: handle counting, injected failures, the log.
#include "platform/memory_registry.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using Op = MemoryRegistry::Op;
constexpr RegRoot kCU = RegRoot::CurrentUser;
constexpr RegRoot kLM = RegRoot::LocalMachine;

TEST(MemoryRegistry, CountsOpenHandlesAndLogsEveryCallWithItsResult) {
  MemoryRegistry reg;
  reg.Put(kCU, "K", "old", RegValue::Dword(1));  // set-up is not logged
  RegHandle a = 0, b = 0, missing = 123;
  ASSERT_EQ(reg.CreateKey(kCU, "K", RegView::Default, a), regerr::kSuccess);
  ASSERT_EQ(reg.OpenKey(kCU, "k", RegView::Default, kKeyAllButDelete, b), regerr::kSuccess);
  EXPECT_NE(a, b);
  EXPECT_EQ(reg.OpenKey(kCU, "B", RegView::Default, kKeyAllButDelete, missing), regerr::kFileNotFound);
  EXPECT_EQ(missing, 0u);
  EXPECT_EQ(reg.OpenHandles(), 2u);
  reg.ClearLog();
  reg.SetValue(a, "Start Page", RegValue::Text(RegType::Sz, "about:blank"));
  reg.DeleteValue(a, "absent");
  EXPECT_EQ(reg.CloseKey(a), regerr::kSuccess);
  EXPECT_EQ(reg.Log(), (std::vector<MemoryRegistry::Event>{
                           {Op::SetValue, kCU, "K", "Start Page", RegValue::Text(RegType::Sz, "about:blank"), 0},
                           {Op::DeleteValue, kCU, "K", "absent", {}, regerr::kFileNotFound},
                           {Op::Close, kCU, "K", "", {}, 0}}));
  EXPECT_EQ(reg.OpenHandles(), 1u);
  EXPECT_EQ(reg.CloseKey(a), regerr::kInvalidHandle);  // a closed handle is dead
  EXPECT_EQ(reg.SetValue(a, "v", RegValue::Dword(1)), regerr::kInvalidHandle);
  EXPECT_EQ(reg.CloseKey(b), regerr::kSuccess);
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST(MemoryRegistry, InjectedFailuresMatchOperationRootAndPathPrefix) {
  MemoryRegistry reg;
  reg.PutKey(kLM, "Software\\Policies\\Sub");
  reg.FailOn(Op::Create, kLM, "software\\POLICIES");
  reg.FailOn(Op::SetValue, kCU, "", regerr::kKeyDeleted);
  reg.FailOn(Op::DeleteKey, kLM, "software\\policies\\sub");
  RegHandle h = 0;
  EXPECT_EQ(reg.CreateKey(kLM, "Software\\Policies\\Sub\\New", RegView::Default, h), regerr::kAccessDenied);
  EXPECT_EQ(h, 0u);
  EXPECT_FALSE(reg.KeyExists(kLM, "Software\\Policies\\Sub\\New"));
  // A sibling that only shares the leading characters is not below the prefix.
  EXPECT_EQ(reg.CreateKey(kLM, "Software\\PoliciesX", RegView::Default, h), regerr::kSuccess);
  reg.CloseKey(h);
  // Other operations on the same key still work; a delete is matched on the deleted key's path.
  ASSERT_EQ(reg.OpenKey(kLM, "Software\\Policies", RegView::Default, kKeyAllButDelete, h), regerr::kSuccess);
  EXPECT_EQ(reg.SetValue(h, "v", RegValue::Dword(1)), regerr::kSuccess);
  EXPECT_EQ(reg.DeleteKey(h, "Sub"), regerr::kAccessDenied);
  reg.CloseKey(h);
  ASSERT_EQ(reg.CreateKey(kCU, "Software\\Any", RegView::Default, h), regerr::kSuccess);
  EXPECT_EQ(reg.SetValue(h, "v", RegValue::Dword(1)), regerr::kKeyDeleted);
  EXPECT_FALSE(reg.Value(kCU, "Software\\Any", "v"));
  reg.CloseKey(h);
  reg.ClearFailures();
  EXPECT_EQ(reg.CreateKey(kLM, "Software\\Policies\\Sub\\New", RegView::Default, h), regerr::kSuccess);
  reg.CloseKey(h);
}

}  // namespace
}  // namespace orvane
