// The demo host's owners of system handles and mapped views: each closed or
// unmapped once, when its owner goes.
#pragma once

#include <windows.h>

#include <memory>

namespace demo {

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct ViewUnmapper {
  void operator()(const void* view) const {
    if (view) UnmapViewOfFile(view);
  }
};
template <class T>
using UniqueView = std::unique_ptr<T, ViewUnmapper>;

}  // namespace demo
