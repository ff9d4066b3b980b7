// The title runtime's component-object interfaces: the contract OrvexC.dll
// calls and a runtime (or the host kit's fake one) implements. Each method is
// declared once, in RuntimeInterfaces.def; this header makes from that list
// the interfaces (slots the library never calls are reserved methods, so that
// every method lands in its slot), the table of methods with their names and
// notes, and a compile-time check that the list's slots are in order.
#pragma once

#include <windows.h>
#include <unknwn.h>

// Declared at global scope, as component-object interfaces are, so that the
// public header's opaque IHostContext is this very type.
struct IHostContext;
struct IHostRuntime;
struct IHostApplication;
struct IHostThread;
struct IHostModule;
struct IHostFrame;
struct IHostNode;
struct IHostSurface;
struct IHostWindow;
struct IHostScope;
struct IHostObject;
struct IHostResources;
struct IHostResource;
struct IResourceStorage;
struct IResourceNotify;

// The scope key: an opaque 32-bit value, never reference-counted.
using HostScopeKey = void*;

// {5FA83480-655C-11D0-A31C-0080C76B727A}
inline constexpr GUID IID_IHostScope = {
    0x5FA83480, 0x655C, 0x11D0, {0xA3, 0x1C, 0x00, 0x80, 0xC7, 0x6B, 0x72, 0x7A}};
// {6ADEDEE6-7906-11D0-9E0A-0080C76B727A}
inline constexpr GUID IID_IResourceNotify = {
    0x6ADEDEE6, 0x7906, 0x11D0, {0x9E, 0x0A, 0x00, 0x80, 0xC7, 0x6B, 0x72, 0x7A}};
// {6ADEDEE0-7906-11D0-9E0A-0080C76B727A}
inline constexpr GUID IID_IResourceStorage = {
    0x6ADEDEE0, 0x7906, 0x11D0, {0x9E, 0x0A, 0x00, 0x80, 0xC7, 0x6B, 0x72, 0x7A}};
// {FE032AE3-05F2-11D1-9E0A-0080C76B727A}
inline constexpr GUID CLSID_ResourceManager = {
    0xFE032AE3, 0x05F2, 0x11D1, {0x9E, 0x0A, 0x00, 0x80, 0xC7, 0x6B, 0x72, 0x7A}};

// ---- the interfaces ------------------------------------------------------------
// A reserved slot's body exists only to complete the declaration.
#define ORVEX_INTERFACE(interface) struct interface : IUnknown {
#define ORVEX_METHOD(interface, slot, method, parameters, note) \
  virtual HRESULT STDMETHODCALLTYPE method parameters = 0;
#define ORVEX_RESERVED(interface, slot) \
  virtual HRESULT STDMETHODCALLTYPE Reserved##slot() { return E_NOTIMPL; }
#define ORVEX_END(interface) \
  }                          \
  ;
#include "RuntimeInterfaces.def"

namespace orvex::runtime {

// ---- the methods as data ---------------------------------------------------------

// One slot of an interface. IUnknown's three rows stand for every interface.
struct Method {
  const char* owner;  // the interface: "IHostWindow", or "IUnknown"
  int slot;
  const char* name;  // null for a reserved slot
  const char* note;  // what the call is for, in a few words
};

inline constexpr Method kMethods[] = {
#define ORVEX_UNKNOWN(slot, method, note) {"IUnknown", slot, #method, note},
#define ORVEX_METHOD(interface, slot, method, parameters, note) {#interface, slot, #method, note},
#define ORVEX_RESERVED(interface, slot) {#interface, slot, nullptr, nullptr},
#include "RuntimeInterfaces.def"
};
inline constexpr int kMethodCount = sizeof kMethods / sizeof kMethods[0];

constexpr bool SameText(const char* a, const char* b) {
  for (; *a && *a == *b; ++a, ++b) {
  }
  return *a == *b;
}

// An interface's own methods start after IUnknown's.
constexpr int CountUnknownRows() {
  int count = 0;
  while (count < kMethodCount && SameText(kMethods[count].owner, "IUnknown")) ++count;
  return count;
}
inline constexpr int kFirstOwnSlot = CountUnknownRows();

// IUnknown's rows count from 0; each interface's rows follow them in one run,
// one slot after another, so a method's position in its declaration is its slot.
constexpr bool SlotsInOrder() {
  for (int i = 0; i < kMethodCount; ++i) {
    const Method& row = kMethods[i];
    bool opens = i == 0 || !SameText(row.owner, kMethods[i - 1].owner);
    int expected = opens ? (SameText(row.owner, "IUnknown") ? 0 : kFirstOwnSlot) : kMethods[i - 1].slot + 1;
    if (row.slot != expected) return false;
    for (int j = 0; opens && j < i; ++j)
      if (SameText(kMethods[j].owner, row.owner)) return false;  // an interface listed in two runs
  }
  return true;
}
static_assert(SlotsInOrder(), "RuntimeInterfaces.def: slots out of order");

// The first row of `owner` (its first own slot); null for an interface not listed.
constexpr const Method* FirstMethodOf(const char* owner) {
  for (const Method& row : kMethods)
    if (SameText(row.owner, owner) && row.slot == kFirstOwnSlot) return &row;
  return nullptr;
}

// The method of `owner` in `slot` (IUnknown's below kFirstOwnSlot); null past its last slot.
constexpr const Method* MethodAt(const char* owner, int slot) {
  if (slot >= 0 && slot < kFirstOwnSlot) return &kMethods[slot];
  const Method* first = FirstMethodOf(owner);
  if (!first || slot < kFirstOwnSlot) return nullptr;
  const Method* row = first + (slot - kFirstOwnSlot);
  return row < kMethods + kMethodCount && SameText(row->owner, owner) ? row : nullptr;
}

// The method of `owner` called `name` (IUnknown's included); null when it has none.
constexpr const Method* MethodNamed(const char* owner, const char* name) {
  for (const Method& row : kMethods)
    if (row.name && (SameText(row.owner, owner) || SameText(row.owner, "IUnknown")) &&
        SameText(row.name, name))
      return &row;
  return nullptr;
}

// The slots of interface I by method name: SlotsOf<IHostWindow>::SetStatusText.
template <class I>
struct SlotsOf;
#define ORVEX_INTERFACE(interface)                        \
  template <>                                             \
  struct SlotsOf<interface> {                             \
    static constexpr const char* kInterface = #interface; \
    enum : int {
#define ORVEX_METHOD(interface, slot, method, parameters, note) method = slot,
#define ORVEX_END(interface) \
  }                          \
  ;                          \
  }                          \
  ;
#include "RuntimeInterfaces.def"

}  // namespace orvex::runtime
