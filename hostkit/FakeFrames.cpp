#include <cstring>

#include "OrvexC/hostkit/FakeRuntime.h"

namespace fake {

void FakeThread::SetFrame(const std::string& name, const std::string& address) {
  context->frame->node->nodeName = name;
  context->frame->node->address = address;
}

HRESULT FakeThread::IsRunning() {
  HRESULT result = Call(Slots::IsRunning);
  return result == S_OK && !running ? S_FALSE : result;
}

HRESULT FakeThread::GetContext(IHostContext** out) { return Give(Slots::GetContext, context, out); }
HRESULT FakeFrame::GetNode(IHostNode** out) { return Give(Slots::GetNode, node, out); }

namespace {
// strncpy into the runtime's buffer, as a node writes its texts.
void WriteText(const std::string& text, int capacity, char* buffer) {
  if (buffer && capacity > 0) std::strncpy(buffer, text.c_str(), capacity);
}
}  // namespace

HRESULT FakeNode::GetName(int capacity, char* buffer) {
  HRESULT result = Call(Slots::GetName, capacity);
  if (Writes(Slots::GetName, result)) WriteText(nodeName, capacity, buffer);
  return result;
}

HRESULT FakeNode::GetAddress(int capacity, char* buffer) {
  HRESULT result = Call(Slots::GetAddress, capacity);
  if (Writes(Slots::GetAddress, result)) WriteText(address, capacity, buffer);
  return result;
}

HRESULT FakeSurface::GetWindow(IHostWindow** out) { return Give(Slots::GetWindow, window, out); }

HRESULT FakeSurface::GetGeometry(int* px, int* py, int* pw, int* ph) {
  HRESULT result = Call(Slots::GetGeometry);
  if (Writes(Slots::GetGeometry, result)) {
    *px = x;
    *py = y;
    *pw = width;
    *ph = height;
  }
  return result;
}

HRESULT FakeSurface::SetGeometry(int nx, int ny, int nw, int nh) {
  HRESULT result = Call(Slots::SetGeometry, nx, ny, nw, nh);
  if (result == S_OK) {
    x = nx;
    y = ny;
    width = nw;
    height = nh;
  }
  return result;
}

}  // namespace fake
