#include "contract/registry_backend.h"

#include "platform/memory_registry.h"

namespace orvane::testing {
namespace {

class MemoryBackend : public RegistryBackend {
 public:
  RegistryService& Registry() override { return registry_; }
  std::string Name() const override { return "memory"; }
  std::string NativePath(RegRoot root, std::string_view path) override {
    return MemoryRegistry::NativePath(root, path);
  }

 private:
  MemoryRegistry registry_;
};

}  // namespace

std::unique_ptr<RegistryBackend> MakeRegistryBackend(bool /*machineSoftware*/) { return std::make_unique<MemoryBackend>(); }

}  // namespace orvane::testing
