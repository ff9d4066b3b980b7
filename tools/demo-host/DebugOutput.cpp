#include "DebugOutput.h"

#include <OrvexC/hostkit/Journal.h>

#include <cstdio>
#include <cstring>

namespace demo {

namespace {

constexpr DWORD kBufferSize = 4096;  // the process id, then the text and its terminator

}  // namespace

bool TracingEditionLoaded() { return fake::IsTracingEdition(GetModuleHandleA("OrvexC.dll")); }

std::string DebugOutput::Start() {
  // The writers find the channel by these names; the mutex keeps them one at a time.
  mutex_.reset(CreateMutexA(nullptr, FALSE, "DBWinMutex"));
  HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize, "DBWIN_BUFFER");
  bool taken = section && GetLastError() == ERROR_ALREADY_EXISTS;
  section_.reset(section);
  if (!mutex_ || !section_ || taken) {
    Stop();
    return taken ? "another debug-output monitor (DebugView, a debugger) reads the lines: look there"
                 : "the debug-output channel cannot be opened";
  }
  view_.reset(static_cast<const char*>(MapViewOfFile(section, FILE_MAP_READ, 0, 0, kBufferSize)));
  bufferReady_.reset(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY"));
  // Reset by hand, with lock_ held: a line is taken by the reader or by
  // Drain, never lost between them.
  dataReady_.reset(CreateEventA(nullptr, TRUE, FALSE, "DBWIN_DATA_READY"));
  stop_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (view_ && bufferReady_ && dataReady_ && stop_) reader_.reset(CreateThread(nullptr, 0, Reader, this, 0, nullptr));
  if (!reader_) {
    Stop();
    return "the debug-output channel cannot be read";
  }
  SetEvent(bufferReady_.get());
  return "";
}

DWORD WINAPI DebugOutput::Reader(void* self) {
  auto* output = static_cast<DebugOutput*>(self);
  HANDLE waits[] = {output->stop_.get(), output->dataReady_.get()};
  while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) output->Drain();
  return 0;
}

void DebugOutput::Drain() {
  if (!reader_) return;
  std::lock_guard<std::mutex> hold(lock_);
  if (WaitForSingleObject(dataReady_.get(), 0) == WAIT_OBJECT_0) TakeLine();
}

void DebugOutput::TakeLine() {
  ResetEvent(dataReady_.get());
  DWORD writer = 0;
  std::memcpy(&writer, view_.get(), sizeof writer);
  char text[kBufferSize];
  lstrcpynA(text, view_.get() + sizeof writer, sizeof text - sizeof writer);
  SetEvent(bufferReady_.get());
  if (writer != GetCurrentProcessId()) return;  // another program's
  size_t length = std::strlen(text);
  while (length && (text[length - 1] == '\n' || text[length - 1] == '\r')) text[--length] = '\0';
  std::printf("  %s\n", text);
}

void DebugOutput::Stop() {
  if (reader_) {
    Drain();
    SetEvent(stop_.get());
    WaitForSingleObject(reader_.get(), INFINITE);
    reader_.reset();
  }
  view_.reset();
  for (UniqueHandle* handle : {&stop_, &dataReady_, &bufferReady_, &section_, &mutex_}) handle->reset();
}

}  // namespace demo
