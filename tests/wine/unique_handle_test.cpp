#include "platform/win32/unique_handle.h"

#include <gtest/gtest.h>

#include <utility>

namespace orvane {
namespace {

bool IsOpen(HANDLE h) {
  DWORD flags = 0;
  return ::GetHandleInformation(h, &flags) != 0;
}

TEST(UniqueHandle, ClosesExactlyOnceAndMovesOwnership) {
  HANDLE raw = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(raw);
  {
    UniqueKernelHandle first(raw);
    UniqueKernelHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), raw);
    UniqueKernelHandle third;
    third = std::move(second);
    EXPECT_TRUE(IsOpen(raw));
  }
  EXPECT_FALSE(IsOpen(raw));

  HANDLE a = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE b = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  UniqueKernelHandle owner(a);
  owner.reset(b);  // closes the previous handle
  EXPECT_FALSE(IsOpen(a));
  HANDLE released = owner.release();
  EXPECT_FALSE(owner);
  EXPECT_TRUE(IsOpen(b));
  ::CloseHandle(released);

  // The invalid value some functions answer is never closed.
  UniqueKernelHandle invalid(INVALID_HANDLE_VALUE);
  EXPECT_FALSE(invalid);
}

TEST(UniqueHandle, KeyOwnerFillsThroughPut) {
  UniqueHkey key;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
  EXPECT_TRUE(key);
  DWORD subkeys = 0;
  EXPECT_EQ(::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  HKEY raw = key.get();
  key.reset();
  EXPECT_EQ(::RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr),
            ERROR_INVALID_HANDLE);
}

}  // namespace
}  // namespace orvane
