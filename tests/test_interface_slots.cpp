// The runtime interfaces' methods sit in the vtable slots the runtime has
// them in (QueryInterface = 0). A virtual member pointer holds 1 + the slot's
// byte offset in this ABI, which gives the slot without calling anything.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "include/OrvexC/hostkit/RuntimeInterfaces.h"

namespace {

template <class MemberPointer>
int SlotOf(MemberPointer member) {
  struct Representation {
    std::uintptr_t pointer;
    std::ptrdiff_t adjustment;
  } rep;
  static_assert(sizeof rep == sizeof member, "unexpected member pointer layout");
  std::memcpy(&rep, &member, sizeof rep);
  EXPECT_EQ(rep.pointer & 1u, 1u) << "not a virtual member";
  return static_cast<int>((rep.pointer - 1) / sizeof(void*));
}

#define SLOT(iface, method, expected) EXPECT_EQ(SlotOf(&iface::method), expected) << #iface "::" #method

TEST(InterfaceSlots, EveryMethodSitsInItsSlot) {
  SLOT(IHostContext, GetRuntime, 3); SLOT(IHostContext, GetModule, 4);
  SLOT(IHostContext, GetFrame, 5); SLOT(IHostContext, GetSurface, 6);
  SLOT(IHostContext, GetThread, 8); SLOT(IHostContext, FindObject, 21);
  SLOT(IHostRuntime, GetResources, 4); SLOT(IHostRuntime, GetTitleNode, 6);
  SLOT(IHostRuntime, GetApplication, 9);
  SLOT(IHostApplication, IsMediaAvailable, 6); SLOT(IHostApplication, GetInstance, 7);
  SLOT(IHostApplication, GetParameterCount, 9); SLOT(IHostApplication, GetParameter, 10);
  SLOT(IHostApplication, GetTitleLocation, 11); SLOT(IHostApplication, GetTitlePath, 12);
  SLOT(IHostApplication, StartThread, 17); SLOT(IHostApplication, FindThread, 21);
  SLOT(IHostThread, Stop, 4); SLOT(IHostThread, IsRunning, 7); SLOT(IHostThread, GetContext, 8);
  SLOT(IHostThread, BranchByPath, 11); SLOT(IHostThread, BranchByPathName, 12);
  SLOT(IHostThread, BranchByColor, 13); SLOT(IHostThread, BranchToFrame, 14);
  SLOT(IHostThread, SetZOrder, 15); SLOT(IHostThread, SendValues, 16);
  SLOT(IHostThread, SetReturnBranch, 17);
  SLOT(IHostModule, GetNode, 3); SLOT(IHostFrame, GetNode, 3);
  SLOT(IHostNode, GetName, 9); SLOT(IHostNode, GetAddress, 10);
  SLOT(IHostSurface, GetWindow, 6); SLOT(IHostSurface, Hide, 7); SLOT(IHostSurface, Show, 8);
  SLOT(IHostSurface, GetVisible, 9); SLOT(IHostSurface, GetGeometry, 10);
  SLOT(IHostSurface, SetGeometry, 11); SLOT(IHostSurface, Print, 12);
  SLOT(IHostSurface, IsPaintingFrozen, 13); SLOT(IHostSurface, FreezePainting, 14);
  SLOT(IHostWindow, GetHandle, 3); SLOT(IHostWindow, Print, 4);
  SLOT(IHostWindow, SetScrollIncrement, 5); SLOT(IHostWindow, ScrollTo, 6);
  SLOT(IHostWindow, SetStatusText, 7); SLOT(IHostWindow, ShowProgress, 8);
  SLOT(IHostScope, GetScopeKey, 4);
  SLOT(IHostObject, GetRect, 11); SLOT(IHostObject, SetRect, 12);
  SLOT(IHostObject, GetFlags, 15); SLOT(IHostObject, ChangeFlags, 16);
  SLOT(IHostObject, GetTransparent, 20); SLOT(IHostObject, SetTransparent, 21);
  SLOT(IHostObject, GetKeyColor, 22); SLOT(IHostObject, SetKeyColor, 23);
  SLOT(IHostObject, GetAntiAlias, 24); SLOT(IHostObject, SetAntiAlias, 25);
  SLOT(IHostObject, SetEnabled, 28); SLOT(IHostObject, GetEnabled, 29);
  SLOT(IHostObject, SetVisible, 32); SLOT(IHostObject, GetVisible, 33);
  SLOT(IHostObject, GetZOrder, 34); SLOT(IHostObject, SetZOrder, 35);
  SLOT(IHostObject, GetFocus, 36); SLOT(IHostObject, SetFocus, 37);
  SLOT(IHostObject, GetState, 39); SLOT(IHostObject, SetState, 40);
  SLOT(IHostResources, AddStorage, 8); SLOT(IHostResources, FindStorage, 14);
  SLOT(IHostResources, FindResourceByName, 20);
  SLOT(IHostResource, Advise, 3); SLOT(IHostResource, Unadvise, 4); SLOT(IHostResource, Start, 8);
  SLOT(IResourceNotify, OnStart, 3); SLOT(IResourceNotify, OnStop, 4);
  SLOT(IResourceNotify, OnProgress, 5); SLOT(IResourceNotify, OnData, 6);
  SLOT(IResourceStorage, GetLocation, 13); SLOT(IResourceStorage, SetLocation, 14);
  SLOT(IResourceStorage, SetName, 18);
}

}  // namespace
