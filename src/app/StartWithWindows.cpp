#include "app/StartWithWindows.h"

#include "framework/Files.h"
#include "framework/RegIniFile.h"
#include "framework/SysUtils.h"

// Names match as the registry matches them, ignoring case.
bool StartsWithWindows() {
  for (const std::string& name : TRegIniFile(RunKeyParent).ValueNames(RunSection))
    if (LowerCaseAscii(name) == LowerCaseAscii(RunValue)) return true;
  return false;
}

void SetStartWithWindows(bool start) {
  TRegIniFile run(RunKeyParent);
  if (start)
    run.WriteString(RunSection, RunValue, "\"" + ExecutableFileName() + "\"");
  else
    run.DeleteValue(RunSection, RunValue);
}
