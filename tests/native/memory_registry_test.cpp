// What only the in-memory registry offers: handle counting, injected failures, the log.
#include "platform/memory_registry.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using Op = MemoryRegistry::Op;
constexpr RegRoot kCU = RegRoot::CurrentUser;
constexpr RegRoot kLM = RegRoot::LocalMachine;

// Other tests' leak checks, logs and injected failures rely on these.
TEST(MemoryRegistry, CountsHandlesLogsCallsAndInjectsFailuresByWholePathComponents) {
  MemoryRegistry reg;
  reg.PutKey(kLM, "Software\\Policies\\Sub");  // set-up is not logged
  reg.FailOn(Op::Create, kLM, "software\\POLICIES");
  RegHandle a = 0, b = 0;
  ASSERT_EQ(reg.CreateKey(kCU, "K", RegView::Default, a), regerr::kSuccess);
  ASSERT_EQ(reg.OpenKey(kCU, "k", RegView::Default, kKeyAllButDelete, b), regerr::kSuccess);
  EXPECT_EQ(reg.OpenHandles(), 2u);
  reg.ClearLog();
  reg.DeleteValue(a, "absent");
  EXPECT_EQ(reg.Log(), (std::vector<MemoryRegistry::Event>{{Op::DeleteValue, kCU, "K", "absent", {}, regerr::kFileNotFound}}));
  EXPECT_EQ(reg.CloseKey(a), regerr::kSuccess);
  EXPECT_EQ(reg.CloseKey(a), regerr::kInvalidHandle);  // a closed handle is dead
  EXPECT_EQ(reg.CloseKey(b), regerr::kSuccess);
  EXPECT_EQ(reg.OpenHandles(), 0u);
  EXPECT_EQ(reg.CreateKey(kLM, "Software\\Policies\\Sub\\New", RegView::Default, a), regerr::kAccessDenied);
  EXPECT_EQ(a, 0u);
  EXPECT_FALSE(reg.KeyExists(kLM, "Software\\Policies\\Sub\\New"));
  // A sibling that only shares the leading characters is not below the prefix.
  EXPECT_EQ(reg.CreateKey(kLM, "Software\\PoliciesX", RegView::Default, a), regerr::kSuccess);
  reg.CloseKey(a);
}

}  // namespace
}  // namespace orvane
