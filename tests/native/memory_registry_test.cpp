// What only the in-memory registry offers: handle counting, injected failures, the log.
#include "platform/memory_registry.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using Op = MemoryRegistry::Op;
constexpr RegRoot kCU = RegRoot::CurrentUser;
constexpr RegRoot kLM = RegRoot::LocalMachine;

TEST(MemoryRegistry, CountsOpenHandlesAndRejectsClosedOnes) {
  MemoryRegistry reg;
  RegHandle a = 0, b = 0, missing = 123;
  ASSERT_EQ(reg.CreateKey(kCU, "Software\\A", a), regerr::kSuccess);
  ASSERT_EQ(reg.OpenKey(kCU, "software\\a", kKeyAllButDelete, b), regerr::kSuccess);
  EXPECT_NE(a, b);
  EXPECT_EQ(reg.OpenKey(kCU, "Software\\B", kKeyAllButDelete, missing), regerr::kFileNotFound);
  EXPECT_EQ(missing, 0u);
  EXPECT_EQ(reg.OpenHandles(), 2u);

  EXPECT_EQ(reg.CloseKey(a), regerr::kSuccess);
  EXPECT_EQ(reg.OpenHandles(), 1u);
  EXPECT_EQ(reg.CloseKey(a), regerr::kInvalidHandle);
  EXPECT_EQ(reg.SetValue(a, "v", RegValue::Dword(1)), regerr::kInvalidHandle);
  EXPECT_EQ(reg.CloseKey(0), regerr::kInvalidHandle);
  {
    RegKey owner(reg);
    EXPECT_EQ(owner.Create(kLM, "X"), regerr::kSuccess);
    EXPECT_EQ(reg.OpenHandles(), 2u);
  }
  EXPECT_EQ(reg.OpenHandles(), 1u);
  EXPECT_EQ(reg.CloseKey(b), regerr::kSuccess);
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST(MemoryRegistry, InjectedFailuresMatchOperationRootAndPathPrefix) {
  MemoryRegistry reg;
  reg.PutKey(kLM, "Software\\Policies\\Sub");
  reg.FailOn(Op::Create, kLM, "software\\POLICIES");
  reg.FailOn(Op::SetValue, kCU, "", regerr::kKeyDeleted);

  RegHandle h = 0;
  EXPECT_EQ(reg.CreateKey(kLM, "Software\\Policies\\Sub\\New", h), regerr::kAccessDenied);
  EXPECT_EQ(h, 0u);
  EXPECT_FALSE(reg.KeyExists(kLM, "Software\\Policies\\Sub\\New"));
  // A sibling that only shares the leading characters is not below the prefix.
  EXPECT_EQ(reg.CreateKey(kLM, "Software\\PoliciesX", h), regerr::kSuccess);
  reg.CloseKey(h);
  // Other operations on the same key still work.
  ASSERT_EQ(reg.OpenKey(kLM, "Software\\Policies", kKeyAllButDelete, h), regerr::kSuccess);
  EXPECT_EQ(reg.SetValue(h, "v", RegValue::Dword(1)), regerr::kSuccess);
  reg.CloseKey(h);

  ASSERT_EQ(reg.CreateKey(kCU, "Software\\Any", h), regerr::kSuccess);
  EXPECT_EQ(reg.SetValue(h, "v", RegValue::Dword(1)), regerr::kKeyDeleted);
  EXPECT_FALSE(reg.Value(kCU, "Software\\Any", "v"));
  reg.CloseKey(h);

  reg.ClearFailures();
  EXPECT_EQ(reg.CreateKey(kLM, "Software\\Policies\\Sub\\New", h), regerr::kSuccess);
  reg.CloseKey(h);
}

TEST(MemoryRegistry, DeleteKeyFailureIsMatchedOnTheDeletedKeysPath) {
  MemoryRegistry reg;
  reg.PutKey(kCU, "Menu\\Keep");
  reg.PutKey(kCU, "Menu\\Drop");
  reg.FailOn(Op::DeleteKey, kCU, "menu\\keep");
  RegHandle h = 0;
  ASSERT_EQ(reg.OpenKey(kCU, "Menu", kKeyAllButDelete, h), regerr::kSuccess);
  EXPECT_EQ(reg.DeleteKey(h, "Keep"), regerr::kAccessDenied);
  EXPECT_EQ(reg.DeleteKey(h, "Drop"), regerr::kSuccess);
  EXPECT_EQ(reg.SubkeyNames(kCU, "Menu"), (std::vector<std::string>{"Keep"}));
  reg.CloseKey(h);
}

TEST(MemoryRegistry, LogRecordsEveryCallWithItsResult) {
  MemoryRegistry reg;
  reg.Put(kCU, "K", "old", RegValue::Dword(1));  // set-up is not logged
  RegHandle h = 0;
  reg.CreateKey(kCU, "K", h);
  reg.SetValue(h, "Start Page", RegValue::Text(RegType::Sz, "about:blank"));
  reg.DeleteValue(h, "absent");
  reg.CloseKey(h);

  using E = MemoryRegistry::Event;
  const std::vector<E> expected = {
      {Op::Create, kCU, "K", "", {}, regerr::kSuccess},
      {Op::SetValue, kCU, "K", "Start Page", RegValue::Text(RegType::Sz, "about:blank"),
       regerr::kSuccess},
      {Op::DeleteValue, kCU, "K", "absent", {}, regerr::kFileNotFound},
      {Op::Close, kCU, "K", "", {}, regerr::kSuccess},
  };
  EXPECT_EQ(reg.Log(), expected);
  reg.ClearLog();
  EXPECT_TRUE(reg.Log().empty());
}

TEST(MemoryRegistry, InspectionSeesWhatTheOperationsWrote) {
  MemoryRegistry reg;
  reg.Put(kLM, "A\\B", "x", RegValue::Dword(5));
  reg.Put(kLM, "a\\b", "X", RegValue::Dword(6));
  reg.Put(kLM, "A\\B", "y", RegValue::Dword(7));
  EXPECT_EQ(reg.Value(kLM, "A\\b", "x"), RegValue::Dword(6));
  EXPECT_EQ(reg.ValueNames(kLM, "A\\B"), (std::vector<std::string>{"x", "y"}));
  EXPECT_FALSE(reg.Value(kLM, "A\\B", "z"));
  EXPECT_FALSE(reg.Value(kCU, "A\\B", "x"));
  EXPECT_TRUE(reg.KeyExists(kLM, "a"));
  EXPECT_FALSE(reg.KeyExists(kLM, "A\\B\\C"));
  EXPECT_TRUE(reg.SubkeyNames(kLM, "Nowhere").empty());
}

}  // namespace
}  // namespace orvane
