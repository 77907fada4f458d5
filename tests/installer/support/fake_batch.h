// Runs the uninstaller's batch file against the fake platform the way the
// command interpreter would: its few commands, its labels and its retry
// counter, with every pause of ping recorded instead of waited.
#pragma once
#include <functional>
#include <string>

#include "Desinstalar/uninstall_procedure.h"
#include "Instalador/setup/install_helpers.h"
#include "Instalador/setup/uninstall_record.h"
#include "fake_platform.h"

namespace kova {

struct BatchRun {
  int pauses = 0;        // one per "ping -n 2" (about a second)
  bool deleted_itself = false;
  bool finished = false;  // reached its end (not cut off by the step limit)
};

// on_pause runs at each pause (the uninstaller ends, a file is closed ...).
inline BatchRun RunBatch(FakePlatform& sys, const std::function<void(int)>& on_pause = {}) {
  BatchRun run;
  std::vector<std::string> lines = SplitLogLines(sys.Data(BatchPath(sys)));
  auto value = [&](const std::string& quoted) {  // "%NAME%" -> its value
    size_t a = quoted.find('%'), b = quoted.find('%', a + 1);
    return sys.env[quoted.substr(a + 1, b - a - 1)];
  };
  auto label = [&](const std::string& name) {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i] == ":" + name) return i;
    ADD_FAILURE() << "no label " << name;
    return lines.size();
  };
  for (size_t pc = 0, steps = 0; pc < lines.size() && steps < 100000; ++pc, ++steps) {
    const std::string& l = lines[pc];
    auto jump = [&](const std::string& l2) { pc = label(l2.substr(l2.rfind(' ') + 1)); };
    if (l.empty() || l[0] == ':') continue;
    if (l.rfind("if not exist ", 0) == 0) {
      // "if not exist "%F%\*" del /f /q "%F%"": a folder in the file's place
      // is left alone.
      if (l.find("\\*\" del /f /q \"") == std::string::npos) ADD_FAILURE() << "unknown batch line: " << l;
      else if (!sys.IsDir(value(l))) sys.EraseFile(value(l));
    } else if (l.rfind("rmdir ", 0) == 0) {
      sys.RemoveDir(value(l));
    } else if (l.rfind("if exist ", 0) == 0) {
      if (sys.Exists(value(l))) jump(l);
    } else if (l.rfind("goto ", 0) == 0) {
      jump(l);
    } else if (l == "set /a KOVA_UNI_N+=1") {
      sys.env["KOVA_UNI_N"] = std::to_string(std::stoi(sys.env["KOVA_UNI_N"]) + 1);
    } else if (l.rfind("if %KOVA_UNI_N% GEQ ", 0) == 0) {
      if (std::stoi(sys.env["KOVA_UNI_N"]) >= std::stoi(l.substr(20))) jump(l);
    } else if (l == "\"%KOVA_UNI_PING%\" -n 2 127.0.0.1 >nul") {
      EXPECT_EQ(sys.env["KOVA_UNI_PING"], sys.SystemDirectory() + "\\ping.exe");
      ++run.pauses;
      if (on_pause) on_pause(run.pauses);
    } else if (l == "del \"%KOVA_UNI_BAT%\"") {
      run.deleted_itself = sys.EraseFile(sys.env["KOVA_UNI_BAT"]);
      run.finished = true;
    } else {
      ADD_FAILURE() << "unknown batch line: " << l;
    }
  }
  return run;
}

}  // namespace kova
