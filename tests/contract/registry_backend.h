#pragma once
// The registry implementation the contract suite runs against: the in-memory
// one in the host build, the system's (inside a scratch key) under Windows.
#include <memory>
#include <string>

#include "platform/registry.h"

namespace orvane::testing {

class RegistryBackend {
 public:
  virtual ~RegistryBackend() = default;
  virtual RegistryService& Registry() = 0;
  virtual std::string Name() const = 0;
  // The native name of an existing key, as a link's target names it.
  virtual std::string NativePath(RegRoot root, std::string_view path) = 0;
};

// A fresh, empty registry for one test; its destructor removes whatever the test wrote.
// The system's lies below HKEY_CURRENT_USER, which has one view, except with
// `machineSoftware`: then HKLM\SOFTWARE is a scratch key below the real one,
// with its two views.
std::unique_ptr<RegistryBackend> MakeRegistryBackend(bool machineSoftware = false);

}  // namespace orvane::testing
