// A module's host-kit test that goes wrong as an author's can: the module
// faults, or aborts, while the test runs it on the fake title.
#include <OrvexC/hostkit/FakeRuntime.h>

#include <cstring>

extern "C" __declspec(dllimport) int __cdecl Crash(IHostContext*);
extern "C" __declspec(dllimport) int __cdecl Abort(IHostContext*);

int main(int argc, char** argv) {
  fake::Runtime title;
  title.AddObject("StartButton");
  bool crash = argc > 1 && std::strcmp(argv[1], "crash") == 0;
  return crash ? Crash(title.ctx()) : Abort(title.ctx());
}
