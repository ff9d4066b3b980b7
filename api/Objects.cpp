// Object services (801-832): a frame object found by scope and name, one or
// two calls on it, released again.
#include <windows.h>

#include "frame/HostChains.h"
#include "include/OrvexC.h"

using namespace orvex;

namespace {

// The scope key of a scope object: GetScopeKey when it offers IHostScope,
// else null. The scope object itself is neither held nor released.
HostScopeKey ScopeKey(IUnknown* scope) noexcept {
  HostScopeKey key = nullptr;
  if (!scope) return key;
  IHostScope* found = nullptr;
  if (scope->QueryInterface(IID_IHostScope, reinterpret_cast<void**>(&found)) != S_OK) return key;
  ComRef<IHostScope> hostScope(found);
  if (hostScope) ORVEX_CALL(hostScope.get(), GetScopeKey)(&key);
  return key;
}

// The object lookup: FindObject (scope key, name) → object.
IHostObject* LookUpObject(Chain& chain, IHostContext* context, IUnknown* scope, const char* name) noexcept {
  HostScopeKey key = ScopeKey(scope);
  IHostObject* object = nullptr;
  return chain.Take(ORVEX_CALL(context, FindObject)(key, name, &object), &object) ? object : nullptr;
}

// The frame of every object export: a null name or a failed lookup gives
// `failure`; otherwise `action` runs on the object, which is then released.
template <class Result, class Action>
Result OnObject(IHostContext* context, IUnknown* scope, const char* name, Result failure, Action action) {
  return HostExport<Result>(failure, [&] {
    if (!name) return failure;
    Chain chain;
    IHostObject* object = LookUpObject(chain, context, scope, name);
    return object ? static_cast<Result>(action(object)) : failure;
  });
}

template <class Action>
void OnObject(IHostContext* context, IUnknown* scope, const char* name, Action action) {
  OnObject(context, scope, name, 0, [&](IHostObject* object) {
    action(object);
    return 0;
  });
  trace::NoteNoResult();  // the 0 above is no result of the caller's
}

// GetRect: the rectangle, zeros when the runtime writes nothing.
RECT ReadRect(IHostObject* object) {
  RECT rect = {0, 0, 0, 0};
  ORVEX_CALL(object, GetRect)(&rect);
  return rect;
}

// A value read through one out-parameter, preset (0 unless told).
template <class Method>
int ReadValue(IHostObject* object, Method method, int preset = 0) {
  int value = preset;
  ORVEX_CALL_AT(object, method)(&value);
  return value;
}

// Active state 1, 2, 3 to the flags word and back; 1 and 2 map crosswise.
int StateToFlags(int state) {
  switch (state) {
    case 1: return 2;
    case 2: return 1;
    case 3: return 4;
    default: return 0;
  }
}

int FlagsToState(int flags) {
  if (flags & 4) return 3;
  if (flags & 1) return 2;
  if (flags & 2) return 1;
  return 0;
}

// A value pair getter: the runtime writes the second value straight into the
// caller's variable and the first into a local that becomes the result.
template <class Method>
int GetPair(IHostContext* context, IUnknown* scope, const char* name, int* second, Method method) {
  if (!second) return ORVEX_RESULT(0);
  trace::NoteOut(second);
  return OnObject(context, scope, name, 0, [&](IHostObject* object) {
    int first = 0;
    ORVEX_CALL_AT(object, method)(second, &first);
    return first;
  });
}

// A switch of the appearance flags word (GetFlags, ChangeFlags).
int GetSwitch(IHostContext* context, IUnknown* scope, const char* name, int bit) {
  return OnObject(context, scope, name, 0, [&](IHostObject* object) {
    return (ReadValue(object, &IHostObject::GetFlags) & bit) ? 1 : 0;
  });
}

void SetSwitch(IHostContext* context, IUnknown* scope, const char* name, int on, int bit) {
  OnObject(context, scope, name, [&](IHostObject* object) {
    ORVEX_CALL(object, ChangeFlags)(on ? 0 : bit, on ? bit : 0);
  });
}

constexpr int kPaletteSetting = 4;
constexpr int kOptimizedPainting = 8;

}  // namespace

extern "C" {

// ---- geometry (GetRect, SetRect)

int __cdecl GetObjectX(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  return OnObject(c, s, n, 0, [](IHostObject* o) { return ReadRect(o).left; });
}
int __cdecl GetObjectY(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  return OnObject(c, s, n, 0, [](IHostObject* o) { return ReadRect(o).top; });
}
int __cdecl GetObjectWidth(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  return OnObject(c, s, n, 0, [](IHostObject* o) {
    RECT r = ReadRect(o);
    return r.right - r.left;
  });
}
int __cdecl GetObjectHeight(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  return OnObject(c, s, n, 0, [](IHostObject* o) {
    RECT r = ReadRect(o);
    return r.bottom - r.top;
  });
}

// A null name or out pointer leaves all four outputs untouched; a failed
// lookup sets them to 0.
void __cdecl GetObjectRect(IHostContext* c, IUnknown* s, const char* n, int* left, int* top, int* right,
                           int* bottom) {
  ORVEX_EXPORT(c, s, n, left, top, right, bottom);
  HostExport([&] {
    if (!n || !left || !top || !right || !bottom) return;
    for (const int* out : {left, top, right, bottom}) trace::NoteOut(out);
    RECT rect = {0, 0, 0, 0};
    {
      Chain chain;
      if (IHostObject* o = LookUpObject(chain, c, s, n)) rect = ReadRect(o);
    }
    *left = rect.left;
    *top = rect.top;
    *right = rect.right;
    *bottom = rect.bottom;
  });
}

void __cdecl SetObjectXY(IHostContext* c, IUnknown* s, const char* n, int x, int y) {
  ORVEX_EXPORT(c, s, n, x, y);
  OnObject(c, s, n, [&](IHostObject* o) {
    RECT old = ReadRect(o);
    RECT moved = {x, y, old.right + (x - old.left), old.bottom + (y - old.top)};
    ORVEX_CALL(o, SetRect)(&moved, 1);
  });
}

void __cdecl SetObjectSize(IHostContext* c, IUnknown* s, const char* n, int width, int height) {
  ORVEX_EXPORT(c, s, n, width, height);
  OnObject(c, s, n, [&](IHostObject* o) {
    RECT old = ReadRect(o);
    RECT sized = {old.left, old.top, old.left + width, old.top + height};
    ORVEX_CALL(o, SetRect)(&sized, 1);
  });
}

void __cdecl SetObjectRect(IHostContext* c, IUnknown* s, const char* n, int left, int top, int right,
                           int bottom) {
  ORVEX_EXPORT(c, s, n, left, top, right, bottom);
  OnObject(c, s, n, [&](IHostObject* o) {
    RECT rect = {left, top, right, bottom};
    ORVEX_CALL(o, SetRect)(&rect, 1);
  });
}

// ---- focus, visibility, enabled state

int __cdecl GetObjectFocus(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  return OnObject(c, s, n, 0, [](IHostObject* o) { return ReadValue(o, &IHostObject::GetFocus); });
}
void __cdecl SetObjectFocus(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  OnObject(c, s, n, [](IHostObject* o) { ORVEX_CALL(o, SetFocus)(1); });
}
void __cdecl HideObject(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  OnObject(c, s, n, [](IHostObject* o) { ORVEX_CALL(o, SetVisible)(0, 1); });
}
void __cdecl ShowObject(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  OnObject(c, s, n, [](IHostObject* o) { ORVEX_CALL(o, SetVisible)(1, 1); });
}
int __cdecl IsObjectVisible(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  return OnObject(c, s, n, 0, [](IHostObject* o) { return ReadValue(o, &IHostObject::GetVisible); });
}
void __cdecl EnableObject(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  OnObject(c, s, n, [](IHostObject* o) { ORVEX_CALL(o, SetEnabled)(1, 1); });
}
void __cdecl DisableObject(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  OnObject(c, s, n, [](IHostObject* o) { ORVEX_CALL(o, SetEnabled)(0, 1); });
}
int __cdecl IsObjectEnabled(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  return OnObject(c, s, n, 0, [](IHostObject* o) { return ReadValue(o, &IHostObject::GetEnabled); });
}

// ---- z-order (GetZOrder, SetZOrder)

int __cdecl GetObjectZOrder(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  // The result starts at -1 and GetZOrder writes into it: a read that writes
  // nothing gives -1, never 0, which would be a real place (the back).
  return OnObject(c, s, n, -1, [](IHostObject* o) { return ReadValue(o, &IHostObject::GetZOrder, -1); });
}
void __cdecl SetObjectZOrder(IHostContext* c, IUnknown* s, const char* n, int zOrder) {
  ORVEX_EXPORT(c, s, n, zOrder);
  OnObject(c, s, n, [&](IHostObject* o) { ORVEX_CALL(o, SetZOrder)(zOrder, 1); });
}
void __cdecl BringObjectToTop(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  HostExport([&] { SetObjectZOrder(c, s, n, -1); });
}
void __cdecl SendObjectToBack(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  HostExport([&] { SetObjectZOrder(c, s, n, 0); });
}

// ---- active state (GetState, SetState)

int __cdecl GetObjectActiveState(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  return OnObject(c, s, n, 0,
                  [](IHostObject* o) { return FlagsToState(ReadValue(o, &IHostObject::GetState)); });
}
void __cdecl SetObjectActiveState(IHostContext* c, IUnknown* s, const char* n, int state) {
  ORVEX_EXPORT(c, s, n, state);
  OnObject(c, s, n, [&](IHostObject* o) { ORVEX_CALL(o, SetState)(StateToFlags(state)); });
}

// ---- appearance: value pairs and switches of the flags word

int __cdecl GetObjectTransparent(IHostContext* c, IUnknown* s, const char* n, int* second) {
  ORVEX_EXPORT(c, s, n, second);
  return GetPair(c, s, n, second, &IHostObject::GetTransparent);
}
int __cdecl GetObjectKeyColor(IHostContext* c, IUnknown* s, const char* n, int* second) {
  ORVEX_EXPORT(c, s, n, second);
  return GetPair(c, s, n, second, &IHostObject::GetKeyColor);
}
int __cdecl GetObjectAntiAlias(IHostContext* c, IUnknown* s, const char* n, int* second) {
  ORVEX_EXPORT(c, s, n, second);
  if (!second) return ORVEX_RESULT(0);
  trace::NoteOut(second);
  return OnObject(c, s, n, 0, [&](IHostObject* o) {
    short narrow = 0;  // 16 bits on the runtime's side, widened with its sign
    int first = 0;
    ORVEX_CALL(o, GetAntiAlias)(&narrow, &first);
    *second = narrow;
    return first;
  });
}
void __cdecl SetObjectTransparent(IHostContext* c, IUnknown* s, const char* n, int first, int second) {
  ORVEX_EXPORT(c, s, n, first, second);
  OnObject(c, s, n, [&](IHostObject* o) { ORVEX_CALL(o, SetTransparent)(second, first, 1); });
}
void __cdecl SetObjectKeyColor(IHostContext* c, IUnknown* s, const char* n, int first, int second) {
  ORVEX_EXPORT(c, s, n, first, second);
  OnObject(c, s, n, [&](IHostObject* o) { ORVEX_CALL(o, SetKeyColor)(second, first, 1); });
}
void __cdecl SetObjectAntiAlias(IHostContext* c, IUnknown* s, const char* n, int first, int second) {
  ORVEX_EXPORT(c, s, n, first, second);
  OnObject(c, s, n, [&](IHostObject* o) { ORVEX_CALL(o, SetAntiAlias)(second, first, 1); });
}
int __cdecl GetObjectPaletteSetting(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  return GetSwitch(c, s, n, kPaletteSetting);
}
void __cdecl SetObjectPaletteSetting(IHostContext* c, IUnknown* s, const char* n, int on) {
  ORVEX_EXPORT(c, s, n, on);
  SetSwitch(c, s, n, on, kPaletteSetting);
}
int __cdecl GetObjectOptimizedPainting(IHostContext* c, IUnknown* s, const char* n) {
  ORVEX_EXPORT(c, s, n);
  return GetSwitch(c, s, n, kOptimizedPainting);
}
void __cdecl SetObjectOptimizedPainting(IHostContext* c, IUnknown* s, const char* n, int on) {
  ORVEX_EXPORT(c, s, n, on);
  SetSwitch(c, s, n, on, kOptimizedPainting);
}

}  // extern "C"
