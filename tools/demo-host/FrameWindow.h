// The demo host's frame window: the title's name and the visible objects of
// its frame, painted from the fake runtime; and a PNG of it.
#pragma once

#include <windows.h>

#include <string>

namespace fake {
class Runtime;
}

namespace demo {

// A frame window showing `title` under the caption `name`; null when no
// window can be made (no display). Both must outlive the window.
HWND MakeFrameWindow(const std::string& name, const fake::Runtime& title);
// Handles the window's messages for `milliseconds`.
void Pump(int milliseconds);
// Writes the window as a PNG image; the reason when it cannot, else empty.
std::string SavePng(HWND window, const char* path);

}  // namespace demo
