// Registrations name their library by full path, and only libraries that are there.
#include "platform/registration.h"

#include <gtest/gtest.h>

#include <set>

namespace orvane {
namespace {

TEST(Registration, NamesTheLibraryByItsFullPathOrSkipsAMissingOne) {
  const SystemFolders folders{R"(D:\Win\system32)", R"(D:\Program Files\Common Files)", {}};
  const std::set<std::string> present = {
      R"(D:\Win\system32\jscript.dll)", R"(D:\Win\system32\shell32.dll)",
      R"(D:\Program Files\Common Files\System\Ado\Msado15.dll)", R"(E:\x\a.dll)"};
  struct Case {
    const char* line;
    const char* started;  // null: nothing to start
  } cases[] = {
      {"regsvr32 /s jscript.dll", R"(regsvr32 /s "D:\Win\system32\jscript.dll")"},
      {"REGSVR32.EXE /s /i shell32.dll", R"(REGSVR32.EXE /s /i "D:\Win\system32\shell32.dll")"},
      {R"(regsvr32 /s "<CommonFiles>\System\Ado\Msado15.dll")",
       R"(regsvr32 /s "D:\Program Files\Common Files\System\Ado\Msado15.dll")"},
      {R"(regsvr32 /s "E:\x\a.dll" /n)", R"(regsvr32 /s "E:\x\a.dll" /n)"},
      {R"("C:\W\System32\regsvr32.exe" /s jscript.dll)",
       R"("C:\W\System32\regsvr32.exe" /s "D:\Win\system32\jscript.dll")"},
      {"regsvr32 /s Msjava.dll", nullptr},
      {R"(regsvr32 /s "<CommonFiles>\System\Ole DB\Oledb32.dll")", nullptr},
      {R"(regsvr32 /s .\jscript.dll)", nullptr},  // relative: not the system's
      {"explorer.exe http://www.example.com", "explorer.exe http://www.example.com"},
      {"regsvr32 /s", "regsvr32 /s"},
  };
  for (const Case& c : cases) {
    auto started = ResolveRegistration(c.line, folders, [&](const std::string& path) {
      return present.count(path) > 0;
    });
    if (c.started == nullptr) {
      EXPECT_FALSE(started) << c.line;
    } else {
      EXPECT_EQ(started.value_or("(nothing)"), c.started) << c.line;
    }
  }
  // Without a known folder nothing is looked for anywhere else.
  EXPECT_FALSE(ResolveRegistration("regsvr32 /s jscript.dll", {}, [](const std::string&) { return true; }));
}

// On 64-bit Windows a system library the 32-bit folder holds too is
// registered there as well, by that folder's own regsvr32.
TEST(Registration, TheThirtyTwoBitFoldersCopyIsRegisteredByItsOwnProgram) {
  const SystemFolders folders{R"(D:\Win\system32)", R"(D:\Common)", R"(D:\Win\SysWOW64)"};
  const std::set<std::string> present = {
      R"(D:\Win\system32\jscript.dll)", R"(D:\Win\SysWOW64\jscript.dll)", R"(D:\Win\system32\shell32.dll)",
      R"(D:\Win\SysWOW64\only32.dll)", R"(D:\Common\a.dll)", R"(D:\Win\SysWOW64\regsvr32.exe)", R"(D:\W32\jscript.dll)"};
  auto exists = [&](const std::string& path) { return present.count(path) > 0; };
  EXPECT_EQ(Resolve32BitRegistration("REGSVR32 /s /i jscript.dll /n", folders, exists).value_or(""),
            R"("D:\Win\SysWOW64\regsvr32.exe" /s /i "D:\Win\SysWOW64\jscript.dll" /n)");
  for (const char* line : {"regsvr32 /s shell32.dll", "regsvr32 /s only32.dll", R"(regsvr32 /s "<CommonFiles>\a.dll")",
                           R"(regsvr32 /s D:\Win\system32\jscript.dll)", "explorer.exe jscript.dll"}) {
    EXPECT_FALSE(Resolve32BitRegistration(line, folders, exists)) << line;
  }
  // A 32-bit folder without its own regsvr32.
  EXPECT_FALSE(Resolve32BitRegistration("regsvr32 /s jscript.dll", {folders.system, "", R"(D:\W32)"}, exists));
}

}  // namespace
}  // namespace orvane
