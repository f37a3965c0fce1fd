#pragma once
// Firefox's distribution\policies.json: where it lies, which of its entries
// take the browser over, and the same text without them.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browsers/policy_catalogue.h"
#include "platform/file_store.h"
#include "platform/registry.h"

namespace orvane {

struct JsonPolicyHit {
  Effect effect;
  std::string name;   // as written in the file
  std::string shown;  // the value's JSON with the spacing taken out
};

struct PoliciesJsonRead {
  bool readable = false;  // valid JSON (a file without "policies" is readable and clean)
  std::vector<JsonPolicyHit> hits;
};

PoliciesJsonRead ReadPoliciesJson(std::string_view text);

// The text with the hijack entries of every "policies" object removed (only
// those named in `only`, when given) and all else kept byte for byte: each
// entry goes with its comma and the spacing in front of the next. nullopt when
// the text is not valid JSON.
std::optional<std::string> RemoveJsonHijacks(std::string_view text, const std::vector<std::string>& only = {});

// Install folders of Firefox named by the usual keys (App Paths, and the
// maker's key per version), machine and user, both views; each once.
std::vector<std::string> FirefoxInstallFolders(RegistryService& registry);

std::string PoliciesJsonPath(std::string_view installFolder);

// The one place the rewritten file is written.
bool WritePoliciesJson(FileStore& files, const std::string& path, std::string_view text);

}  // namespace orvane
