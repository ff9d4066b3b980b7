// The library's own framework objects: its module state and its application
// object, alive from process attach to process detach.
#pragma once

#include "frame/Framework.h"

namespace orvex {

// The library's application object. Its one member of its own is the cursor
// flag: whether the library has left the system cursor shown (1 at start).
class CApiLibraryApp : public fw::CWinApp {
 public:
  BOOL m_bCursorShown = TRUE;
};

namespace detail {
// Set by the entry point from process attach to process detach.
extern fw::ModuleState* g_libraryModuleState;
extern CApiLibraryApp* g_libraryApp;
}  // namespace detail

// Inline: every export's guard reads it.
inline fw::ModuleState* LibraryModuleState() { return detail::g_libraryModuleState; }
inline CApiLibraryApp& LibraryApp() { return *detail::g_libraryApp; }

}  // namespace orvex
