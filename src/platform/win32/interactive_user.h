#pragma once
// The person at the keyboard: the owner of the shell's process. A program
// elevated with another account's password runs as that account, whose
// HKEY_CURRENT_USER is not the hive of the person using it.
#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace orvane {

// The shell owner's SID ("S-1-5-21-..."), when it differs from this
// process's user; empty when they are the same or either is unknown.
std::wstring OtherInteractiveUserSid();

// The hive that holds the person at the keyboard's settings: their key under
// HKEY_USERS when this process runs as someone else, else empty (use
// HKEY_CURRENT_USER).
UniqueHkey InteractiveUserHive();

}  // namespace orvane
