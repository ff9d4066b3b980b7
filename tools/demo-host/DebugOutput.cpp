#include "DebugOutput.h"

#include <OrvexC/hostkit/Journal.h>

#include <cstdio>
#include <cstring>

namespace demo {

namespace {

constexpr DWORD kBufferSize = 4096;  // the process id, then the text and its terminator

void Close(HANDLE& handle) {
  if (handle) CloseHandle(handle);
  handle = nullptr;
}

}  // namespace

bool TracingEditionLoaded() { return fake::IsTracingEdition(GetModuleHandleA("OrvexC.dll")); }

std::string DebugOutput::Start() {
  // The writers find the channel by these names; the mutex keeps them one at a time.
  mutex_ = CreateMutexA(nullptr, FALSE, "DBWinMutex");
  section_ =
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize, "DBWIN_BUFFER");
  bool taken = section_ && GetLastError() == ERROR_ALREADY_EXISTS;
  if (!mutex_ || !section_ || taken) {
    Stop();
    return taken ? "another debug-output monitor (DebugView, a debugger) reads the lines: look there"
                 : "the debug-output channel cannot be opened";
  }
  view_ = static_cast<const char*>(MapViewOfFile(section_, FILE_MAP_READ, 0, 0, kBufferSize));
  bufferReady_ = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
  // Reset by hand, with lock_ held: a line is taken by the reader or by
  // Drain, never lost between them.
  dataReady_ = CreateEventA(nullptr, TRUE, FALSE, "DBWIN_DATA_READY");
  stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  InitializeCriticalSection(&lock_);
  if (view_ && bufferReady_ && dataReady_ && stop_)
    reader_ = CreateThread(nullptr, 0, Reader, this, 0, nullptr);
  if (!reader_) {
    Stop();
    return "the debug-output channel cannot be read";
  }
  SetEvent(bufferReady_);
  return "";
}

DWORD WINAPI DebugOutput::Reader(void* self) {
  auto* output = static_cast<DebugOutput*>(self);
  HANDLE waits[] = {output->stop_, output->dataReady_};
  while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) output->Drain();
  return 0;
}

void DebugOutput::Drain() {
  if (!reader_) return;
  EnterCriticalSection(&lock_);
  if (WaitForSingleObject(dataReady_, 0) == WAIT_OBJECT_0) TakeLine();
  LeaveCriticalSection(&lock_);
}

void DebugOutput::TakeLine() {
  ResetEvent(dataReady_);
  DWORD writer = 0;
  std::memcpy(&writer, view_, sizeof writer);
  char text[kBufferSize];
  lstrcpynA(text, view_ + sizeof writer, sizeof text - sizeof writer);
  SetEvent(bufferReady_);
  if (writer != GetCurrentProcessId()) return;  // another program's
  size_t length = std::strlen(text);
  while (length && (text[length - 1] == '\n' || text[length - 1] == '\r')) text[--length] = '\0';
  std::printf("  %s\n", text);
}

void DebugOutput::Stop() {
  if (reader_) {
    Drain();
    SetEvent(stop_);
    WaitForSingleObject(reader_, INFINITE);
    Close(reader_);
    DeleteCriticalSection(&lock_);
  }
  if (view_) UnmapViewOfFile(view_);
  view_ = nullptr;
  for (HANDLE* handle : {&stop_, &dataReady_, &bufferReady_, &section_, &mutex_}) Close(*handle);
}

}  // namespace demo
