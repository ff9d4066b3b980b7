// Benchmarks of the library's host call frame against the least any
// implementation must do: the same runtime calls made by hand through the
// vtables of a runtime whose methods do almost nothing. Prints a table, then
// one `ratio <name> <value> <goal>` line per comparison; exits non-zero when a
// ratio misses its goal (unless --smoke, which runs briefly and never fails).
#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "HostInterfaces.h"
#include "OrvexC.h"

namespace {

// Reference counting that does nothing: the objects live for the whole run.
template <typename Interface>
struct Quiet : Interface {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

struct App : Quiet<IHostApplication> {
  HRESULT STDMETHODCALLTYPE IsMediaAvailable(const char*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetInstance(HINSTANCE* out) override { *out = nullptr; return S_OK; }
  HRESULT STDMETHODCALLTYPE GetParameterCount(int* out) override { *out = 0; return S_OK; }
  HRESULT STDMETHODCALLTYPE GetParameter(int, BSTR* out) override { *out = nullptr; return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetTitleLocation(BSTR* out) override {
    *out = SysAllocString(L"C:\\Titles\\Intro\\intro.ttl");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTitlePath(BSTR* out) override { return GetTitleLocation(out); }
  HRESULT STDMETHODCALLTYPE StartThread(const char*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE FindThread(const char*, IHostThread** out) override {
    *out = nullptr;
    return E_FAIL;
  }
};

struct Runtime : Quiet<IHostRuntime> {
  IHostApplication* app = nullptr;
  HRESULT STDMETHODCALLTYPE GetResources(IHostResources** out) override { *out = nullptr; return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetTitleNode(IHostNode** out) override { *out = nullptr; return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetApplication(IHostApplication** out) override {
    *out = app;
    return S_OK;
  }
};

struct Context : Quiet<IHostContext> {
  IHostRuntime* runtime = nullptr;
  HRESULT STDMETHODCALLTYPE GetRuntime(IHostRuntime** out) override { *out = runtime; return S_OK; }
  HRESULT STDMETHODCALLTYPE GetModule(IHostModule** out) override { *out = nullptr; return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetFrame(IHostFrame** out) override { *out = nullptr; return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetSurface(IHostSurface** out) override { *out = nullptr; return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetThread(IHostThread** out) override { *out = nullptr; return E_FAIL; }
  HRESULT STDMETHODCALLTYPE FindObject(HostScopeKey, const char*, IHostObject** out) override {
    *out = nullptr;
    return E_FAIL;
  }
};

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// Median over several repetitions of the time per iteration, in nanoseconds.
double Median(const std::function<void()>& body, int iterations, int repetitions) {
  std::vector<double> samples;
  for (int r = 0; r < repetitions; ++r) {
    LARGE_INTEGER from, to;
    QueryPerformanceCounter(&from);
    for (int i = 0; i < iterations; ++i) body();
    QueryPerformanceCounter(&to);
    samples.push_back(Seconds(from, to) * 1e9 / iterations);
  }
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

struct Row {
  std::string name;
  double library, floor, goal;
};

}  // namespace

int main(int argc, char** argv) {
  bool smoke = argc > 1 && std::strcmp(argv[1], "--smoke") == 0;
  int iterations = smoke ? 200 : 200000, repetitions = smoke ? 3 : 9;

  App app;
  Runtime runtime;
  runtime.app = &app;
  Context context;
  context.runtime = &runtime;

  std::vector<Row> rows;
  char buffer[MAX_PATH];

  // The floor: the same chain of calls, the BSTR narrowed into the buffer.
  auto titleLocationFloor = [&] {
    IHostRuntime* r = nullptr;
    if (context.GetRuntime(&r) != S_OK || !r) return;
    IHostApplication* a = nullptr;
    if (r->GetApplication(&a) == S_OK && a) {
      BSTR text = nullptr;
      if (a->GetTitleLocation(&text) == S_OK) {
        WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
        SysFreeString(text);
      }
      a->Release();
    }
    r->Release();
  };
  auto titleLocation = [&] { GetTitleLocation(&context, buffer, sizeof buffer); };
  rows.push_back({"GetTitleLocation", Median(titleLocation, iterations, repetitions),
                  Median(titleLocationFloor, iterations, repetitions), 1.10});

  std::printf("%-24s %14s %14s %8s %6s\n", "benchmark", "library ns", "floor ns", "ratio", "goal");
  bool met = true;
  for (const Row& row : rows) {
    double ratio = row.library / row.floor;
    std::printf("%-24s %14.1f %14.1f %8.3f %6.2f\n", row.name.c_str(), row.library, row.floor,
                ratio, row.goal);
    met = met && ratio <= row.goal;
  }
  for (const Row& row : rows)
    std::printf("ratio %s %.3f %.2f\n", row.name.c_str(), row.library / row.floor, row.goal);
  return smoke || met ? 0 : 1;
}
