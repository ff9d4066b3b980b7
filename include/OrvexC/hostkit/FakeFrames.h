// The fake title runtime, threads and frames: a named thread with its own
// context, the frames and their nodes (name and address), and the drawing
// surfaces with their windows.
#pragma once

#include <string>

#include "OrvexC/hostkit/FakeTitle.h"

namespace fake {

class FakeWindow;

class FakeThread : public Object<IHostThread> {
 public:
  using Object::Object;
  FakeContext* context = nullptr;  // the thread's own context (GetContext)
  bool running = true;             // IsRunning answers S_FALSE when not

  // The frame the thread shows: its node's name and address.
  void SetFrame(const std::string& name, const std::string& address = "");

  HRESULT STDMETHODCALLTYPE Stop() override { return Call(Slots::Stop); }
  HRESULT STDMETHODCALLTYPE IsRunning() override;
  HRESULT STDMETHODCALLTYPE GetContext(IHostContext** out) override;
  HRESULT STDMETHODCALLTYPE BranchByPath(int path) override { return Call(Slots::BranchByPath, path); }
  HRESULT STDMETHODCALLTYPE BranchByPathName(const char* name) override {
    return Call(Slots::BranchByPathName, name);
  }
  HRESULT STDMETHODCALLTYPE BranchByColor(int color) override { return Call(Slots::BranchByColor, color); }
  HRESULT STDMETHODCALLTYPE BranchToFrame(const char* frame) override {
    return Call(Slots::BranchToFrame, frame);
  }
  HRESULT STDMETHODCALLTYPE SetZOrder(IHostThread* other) override {
    return Call(Slots::SetZOrder, static_cast<const void*>(other));
  }
  HRESULT STDMETHODCALLTYPE SendValues(int v1, int v2, int v3) override {
    return Call(Slots::SendValues, v1, v2, v3);
  }
  HRESULT STDMETHODCALLTYPE SetReturnBranch(int value) override {
    return Call(Slots::SetReturnBranch, value);
  }
};

class FakeFrame : public Object<IHostFrame> {
 public:
  using Object::Object;
  FakeNode* node = nullptr;
  HRESULT STDMETHODCALLTYPE GetNode(IHostNode** out) override;
};

// A node of the title: module, frame or the title itself.
class FakeNode : public Object<IHostNode> {
 public:
  using Object::Object;
  // Written with strncpy(buffer, text, capacity): a text of `capacity`
  // characters or more fills the whole capacity without a terminator.
  std::string nodeName;
  std::string address;
  HRESULT STDMETHODCALLTYPE GetName(int capacity, char* buffer) override;
  HRESULT STDMETHODCALLTYPE GetAddress(int capacity, char* buffer) override;
};

class FakeSurface : public Object<IHostSurface> {
 public:
  using Object::Object;
  FakeWindow* window = nullptr;
  int visible = 1;
  int x = 0, y = 0, width = 0, height = 0;

  HRESULT STDMETHODCALLTYPE GetWindow(IHostWindow** out) override;
  HRESULT STDMETHODCALLTYPE Hide() override { return Call(Slots::Hide); }
  HRESULT STDMETHODCALLTYPE Show() override { return Call(Slots::Show); }
  HRESULT STDMETHODCALLTYPE GetVisible(int* out) override { return Read(Slots::GetVisible, out, visible); }
  HRESULT STDMETHODCALLTYPE GetGeometry(int* px, int* py, int* pw, int* ph) override;
  HRESULT STDMETHODCALLTYPE SetGeometry(int nx, int ny, int nw, int nh) override;
  HRESULT STDMETHODCALLTYPE Print(int v1, int v2) override { return Call(Slots::Print, v1, v2); }
  HRESULT STDMETHODCALLTYPE IsPaintingFrozen() override { return Call(Slots::IsPaintingFrozen); }
  HRESULT STDMETHODCALLTYPE FreezePainting(int freeze) override {
    return Call(Slots::FreezePainting, freeze);
  }
};

class FakeWindow : public Object<IHostWindow> {
 public:
  using Object::Object;
  HWND handle = nullptr;
  HRESULT STDMETHODCALLTYPE GetHandle(HWND* out) override { return Read(Slots::GetHandle, out, handle); }
  HRESULT STDMETHODCALLTYPE Print(int v1, int v2) override { return Call(Slots::Print, v1, v2); }
  HRESULT STDMETHODCALLTYPE SetScrollIncrement(int h, int v) override {
    return Call(Slots::SetScrollIncrement, h, v);
  }
  HRESULT STDMETHODCALLTYPE ScrollTo(int px, int py) override { return Call(Slots::ScrollTo, px, py); }
  HRESULT STDMETHODCALLTYPE SetStatusText(const char* text) override {
    return Call(Slots::SetStatusText, text);
  }
  HRESULT STDMETHODCALLTYPE ShowProgress(int v1, int v2, int v3) override {
    return Call(Slots::ShowProgress, v1, v2, v3);
  }
};

}  // namespace fake
