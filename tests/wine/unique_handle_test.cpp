#include "platform/win32/unique_handle.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

bool IsOpen(HANDLE h) {
  DWORD flags = 0;
  return ::GetHandleInformation(h, &flags) != 0;
}

TEST(UniqueHandle, ClosesExactlyOnceAndFillsThroughPut) {
  HANDLE a = ::CreateEventW(nullptr, TRUE, FALSE, nullptr), b = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  {
    UniqueKernelHandle third(a);
    third.reset(b);  // closes the previous handle
    EXPECT_FALSE(IsOpen(a));
    EXPECT_EQ(third.release(), b);
  }
  EXPECT_TRUE(IsOpen(b));
  ::CloseHandle(b);
  EXPECT_FALSE(UniqueKernelHandle(INVALID_HANDLE_VALUE));  // never closed

  UniqueHkey key;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
  HKEY raw = key.get();
  key.reset();
  DWORD subkeys = 0;
  EXPECT_EQ(::RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr),
            ERROR_INVALID_HANDLE);
}

}  // namespace
}  // namespace orvane
