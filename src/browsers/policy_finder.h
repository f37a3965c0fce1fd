#pragma once
// The hijacking policies set in the registry, listed and removed one line at a time.
#include <string>
#include <vector>

#include "browsers/policy_catalogue.h"
#include "platform/registry.h"

namespace orvane {

struct PolicyHit {
  Browser browser = Browser::Edge;
  Effect effect = Effect::HomePage;
  RegRoot root = RegRoot::CurrentUser;
  std::string keyPath;  // the policy key holding it
  std::string sid;      // below HKEY_USERS: whose hive it is in
  std::string name;     // the value's name, or the subkey's when `isKey`
  bool isKey = false;
  RegType type = RegType::None;  // the value's type
  bool unexpectedType = false;   // listed with its type: the browser may still read it
  std::string shown;             // the value as text; a subkey's values as "name=value; ..."
};

// Every catalogued value and subkey in every policy place, in place order and
// then enumeration order (values before subkeys). Keys that are missing or
// unreadable give nothing. With `users`, the user keys are read in each of
// those hives below HKEY_USERS instead of the own HKEY_CURRENT_USER.
std::vector<PolicyHit> FindPolicyHijacks(RegistryService& registry, const std::vector<std::string>* users = nullptr);

// Deletes the value, or the subkey with everything below it. Success also
// when it has gone meanwhile.
long RemovePolicyHit(RegistryService& registry, const PolicyHit& hit);

// "REG_SZ", "REG_DWORD", ... or "type 42".
std::string RegTypeName(RegType type);
// A value as a person reads it: text, a number, a list joined with "; ", or
// the type name and bytes in hex for anything else.
std::string ShowRegValue(const RegValue& value);

}  // namespace orvane
