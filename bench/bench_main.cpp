// The benchmark program: each row compares a library export with its floor,
// the least any implementation must do, timed in the same run on the same
// data. Prints a table, then `allocations <export> <per call>` and
// `ratio <name> <value> <goal>` lines; exits non-zero when a ratio misses its
// goal or a success path allocates.
//
//   orvexc_bench [--smoke] [--only frame|menu|find|location|alloc]...
//
// --smoke runs every benchmark briefly and fails only when one cannot run
// (a crash, a wrong result), never on a ratio.
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "Harness.h"

int main(int argc, char** argv) {
  bench::Settings settings;
  std::set<std::string> only;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--smoke") == 0) {
      settings.smoke = true;
    } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
      only.insert(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: %s [--smoke] [--only frame|menu|find|location|alloc]...\n", argv[0]);
      return 2;
    }
  }
  if (settings.smoke) {
    settings.repetitions = 3;
    settings.scale = 0.001;
  }
  auto wanted = [&](const char* group) { return only.empty() || only.count(group) != 0; };

  bench::Report report;
  if (wanted("frame")) bench::RunCallFrame(settings, report);
  if (wanted("menu")) bench::RunMenus(settings, report);
  if (wanted("find")) bench::RunDirectorySearch(settings, report);
  if (wanted("location")) bench::RunLocations(settings, report);
  if (wanted("alloc")) bench::RunAllocationChecks(settings, report);
  report.Print();
  if (settings.smoke) return report.Failed() ? 1 : 0;
  return report.GoalsMet() ? 0 : 1;
}
