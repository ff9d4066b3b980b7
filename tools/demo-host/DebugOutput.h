// The system's debug-output channel, read as DebugView reads it and without a
// debugger: OutputDebugStringA writes each text into the DBWIN_BUFFER
// section (the writer's process id, then the text) once DBWIN_BUFFER_READY
// is set, and sets DBWIN_DATA_READY. The demo host reads the lines of its own
// process (the tracing edition of OrvexC.dll reports every export call, its
// runtime calls and its result this way) and prints them among the
// transcript, each before the runtime call that follows it.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>

#include "Handles.h"

namespace demo {

// Whether the OrvexC.dll loaded in this process is the tracing edition.
bool TracingEditionLoaded();

class DebugOutput {
 public:
  DebugOutput() = default;
  ~DebugOutput() { Stop(); }
  DebugOutput(const DebugOutput&) = delete;
  DebugOutput& operator=(const DebugOutput&) = delete;

  // Starts reading. An empty text, or why the channel cannot be read (another
  // monitor, such as DebugView, holds it).
  std::string Start();
  // Prints the line waiting, if any: called before each transcript line, so
  // that a line written before a runtime call comes before it.
  void Drain();
  // Prints what is left and stops reading.
  void Stop();

 private:
  static DWORD WINAPI Reader(void* self);
  void TakeLine();  // with lock_ held

  UniqueHandle mutex_, section_, bufferReady_, dataReady_, stop_, reader_;
  UniqueView<const char> view_;
  std::mutex lock_;
};

}  // namespace demo
