// Registrations name their library by full path, and only libraries that are there.
#include "platform/registration.h"

#include <gtest/gtest.h>

#include <set>

namespace orvane {
namespace {

TEST(Registration, NamesTheLibraryByItsFullPathOrSkipsAMissingOne) {
  const SystemFolders folders{R"(D:\Win\system32)", R"(D:\Program Files\Common Files)"};
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

}  // namespace
}  // namespace orvane
