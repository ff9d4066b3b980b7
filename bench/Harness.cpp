#include "Harness.h"

#include <cstdio>

namespace bench {

fake::Runtime& QuietTitle(const std::string& resourceDirectory) {
  static fake::Runtime* title = [] {
    auto* rt = new fake::Runtime;  // lives for the whole run, as a runtime does
    rt->quiet = true;
    rt->app.location = rt->app.path = L"C:\\Titles\\Intro\\intro.ttl";
    rt->moduleNode.nodeName = "IntroModule";
    rt->surface.width = 640;
    rt->surface.height = 480;
    rt->context.thread = &rt->AddThread("Narrator");
    rt->AddObject("StartButton").rect = {10, 20, 330, 260};
    rt->AddScope();
    return rt;
  }();
  if (!resourceDirectory.empty()) title->resources.fileDirectory = resourceDirectory;
  return *title;
}

IUnknown* QuietScope() {
  static IUnknown* scope = [] {
    IUnknown* found = nullptr;
    for (fake::Base* object : QuietTitle().Objects())
      if (object->name() == "scope") found = static_cast<IHostScope*>(static_cast<fake::FakeScope*>(object));
    return found;
  }();
  return scope;
}

void Report::Print() const {
  std::printf("%-34s %12s %12s  %-10s %7s %5s\n", "benchmark", "library", "floor", "unit", "ratio", "goal");
  for (const Row& row : rows_) {
    std::printf(row.library < 10 ? "%-34s %12.3f %12.3f  %-10s %7.3f " : "%-34s %12.1f %12.1f  %-10s %7.3f ",
                row.name.c_str(), row.library, row.floor, row.unit.c_str(), row.Ratio());
    if (row.goal > 0)
      std::printf("%5.2f", row.goal);
    else
      std::printf("%5s", "-");
    if (row.addedGoal > 0) std::printf("  added %.2f ns, goal %.2f", row.added, row.addedGoal);
    std::printf("%s\n", row.RatioMet() && row.AddedMet() ? "" : "  MISSED");
  }
  if (!notes_.empty()) std::printf("\n");
  for (const Note& note : notes_) std::printf("%s\n", note.text.c_str());
  std::printf("\n");
  for (const Allocation& a : allocations_)
    std::printf("allocations %s %.3f\n", a.exportName.c_str(), a.perCall);
  for (const std::string& why : failures_) std::printf("FAILED %s\n", why.c_str());
  for (const Row& row : rows_) {
    if (row.goal > 0)
      std::printf("ratio %s %.3f %.2f\n", row.name.c_str(), row.Ratio(), row.goal);
    else
      std::printf("ratio %s %.3f -\n", row.name.c_str(), row.Ratio());
  }
  for (const Row& row : rows_)
    if (row.addedGoal > 0) std::printf("overhead %s %.2f %.2f\n", row.name.c_str(), row.added, row.addedGoal);
  std::fflush(stdout);
}

bool Report::GoalsMet() const {
  if (Failed()) return false;
  for (const Row& row : rows_)
    if (!row.RatioMet() || !row.AddedMet()) return false;
  for (const Allocation& a : allocations_)
    if (a.mustBeZero && a.perCall != 0) return false;
  return true;
}

}  // namespace bench
