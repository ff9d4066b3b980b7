// The benchmark harness: a monotonic clock (QueryPerformanceCounter), the
// library and its floor timed alternately in the same run, the median of
// several repetitions, and the report (table, allocation lines, ratio lines).
#pragma once

#include <windows.h>

#include <OrvexC/hostkit/FakeRuntime.h>

#include <algorithm>
#include <string>
#include <vector>

namespace bench {

// The host kit's fake title in quiet mode (no journal, every call answers 0):
// the runtime's own cost, the same for the library and its floor. Its thread
// "Narrator", object "StartButton" and scope object are what the benchmarks
// ask for; its resources are the files in `resourceDirectory`.
fake::Runtime& QuietTitle(const std::string& resourceDirectory = "");
IUnknown* QuietScope();

// How long the run is: a smoke run only shows that every benchmark works.
struct Settings {
  bool smoke = false;
  int repetitions = 9;
  // Scales every benchmark's iteration count (0.001 for a smoke run).
  double scale = 1.0;
  int Iterations(int full) const { return std::max(1, static_cast<int>(full * scale)); }
};

inline double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) / frequency;
}

inline double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  std::size_t n = samples.size();
  return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// Nanoseconds per iteration of `body`, one sample.
template <class Body>
double Sample(Body& body, int iterations) {
  double from = Now();
  for (int i = 0; i < iterations; ++i) body();
  return (Now() - from) * 1e9 / iterations;
}

struct Timing {
  double library;  // median ns per iteration
  double floor;
  double ratio;  // median of the ratios of the samples taken side by side
  double added;  // median of the differences of the samples taken side by side
};

// Times `library` and `floor` alternately (so that a change of machine load
// falls on both), after one warm-up iteration each, the one or the other
// first by turns (so that neither always inherits the other's caches). The
// ratio (and the time added) is the median of the ratios (differences) of
// each pair of neighbouring samples: on a shared machine it moves less than
// the ratio (difference) of the two medians.
template <class Library, class Floor>
Timing Compare(Library&& library, Floor&& floor, int iterations, int repetitions) {
  library();
  floor();
  std::vector<double> a(repetitions), b(repetitions), ratios(repetitions), added(repetitions);
  for (int r = 0; r < repetitions; ++r) {
    if (r % 2 == 0) {
      a[r] = Sample(library, iterations);
      b[r] = Sample(floor, iterations);
    } else {
      b[r] = Sample(floor, iterations);
      a[r] = Sample(library, iterations);
    }
    ratios[r] = b[r] > 0 ? a[r] / b[r] : 0;
    added[r] = a[r] - b[r];
  }
  return {Median(a), Median(b), Median(ratios), Median(added)};
}

// One comparison of the library with its floor.
struct Row {
  std::string name;
  std::string unit;  // what one iteration is
  double library;
  double floor;
  double goal;           // the ratio must not exceed it (0: no ratio goal)
  double paired = 0;     // the paired ratio, when the two were timed side by side
  double added = 0;      // the paired time the library adds to its floor
  double addedGoal = 0;  // `added` must not exceed it (0: no such goal)
  double Ratio() const { return paired > 0 ? paired : floor > 0 ? library / floor : 0; }
  bool RatioMet() const { return goal == 0 || Ratio() <= goal; }
  bool AddedMet() const { return addedGoal == 0 || added <= addedGoal; }
};

// An extra figure printed under the table (no goal of its own).
struct Note {
  std::string text;
};

// Heap allocations made by the library per call of an export.
struct Allocation {
  std::string exportName;
  double perCall;
  bool mustBeZero;
};

class Report {
 public:
  void Add(const Row& row) { rows_.push_back(row); }
  void Add(const Note& note) { notes_.push_back(note); }
  void Add(const Allocation& allocation) { allocations_.push_back(allocation); }
  // Prints the table, the notes, the allocation lines, the ratio lines and
  // the overhead lines.
  void Print() const;
  // A benchmark that could not run as meant (wrong result, no data): the
  // run fails, smoke run included.
  void Fail(const std::string& why) { failures_.push_back(why); }
  bool Failed() const { return !failures_.empty(); }
  // Every ratio and overhead within its goal and no allocation where none may be.
  bool GoalsMet() const;

 private:
  std::vector<Row> rows_;
  std::vector<Note> notes_;
  std::vector<Allocation> allocations_;
  std::vector<std::string> failures_;
};

// The benchmark groups.
void RunCallFrame(const Settings& settings, Report& report);
void RunMenus(const Settings& settings, Report& report);
void RunDirectorySearch(const Settings& settings, Report& report);
void RunLocations(const Settings& settings, Report& report);
// Heap allocations on the call frame's success paths (routes the library's
// imports through counters: run it after the timed groups).
void RunAllocationChecks(const Settings& settings, Report& report);

}  // namespace bench
