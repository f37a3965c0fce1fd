#pragma once
// Repairs for every signed-in user: a per-user step (HKEY_CURRENT_USER) made
// for each user hive loaded under HKEY_USERS, and a per-class step
// (HKEY_CLASSES_ROOT) also made in each user's own classes, where a user
// overrides the machine's class.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "repair/steps.h"

namespace orvane {

// Whether a subkey name of HKEY_USERS is a person's hive: the SID of a local,
// domain or Azure AD account (S-1-5-21-..., S-1-12-1-...). Never .DEFAULT, the
// service accounts S-1-5-18/19/20 or a *_Classes key.
bool IsUserHiveName(std::string_view name);

// The person hives loaded now, as HKEY_USERS lists them; `code` is the
// error of listing them (0 when none).
std::vector<std::string> LoadedUserHives(RegistryService& registry, long* code = nullptr);

// Whether a target acts on the hive of whoever runs the program.
bool IsPerUser(const StepTarget& target);

// The item's targets without the per-user ones: what is done once for the
// machine when every user is done apart.
std::vector<StepTarget> MachineTargets(std::span<const StepTarget> targets);

// One user's share of an item: per-user steps below HKEY_USERS\<sid>, and the
// per-class keys the user overrides (those that exist below
// HKEY_USERS\<sid>_Classes) there, with their values and deletions; class
// deletions whose key the user does not have are checked there too. Commands
// and machine keys are left out.
std::vector<StepTarget> UserTargets(RegistryService& registry, std::span<const StepTarget> targets,
                                    const std::string& sid);

}  // namespace orvane
