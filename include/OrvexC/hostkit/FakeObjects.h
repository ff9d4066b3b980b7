// The fake title runtime, objects: the scope objects a module passes in and
// the on-screen objects of a frame with their geometry and properties.
#pragma once

#include <string>

#include "OrvexC/hostkit/Script.h"

namespace fake {

// A scope object: answers IID_IHostScope unless OfferScope(false).
class FakeScope : public Object<IHostScope> {
 public:
  FakeScope(Recorder& recorder, std::string name);
  HostScopeKey key = nullptr;
  bool writesKey = true;
  HRESULT STDMETHODCALLTYPE GetScopeKey(HostScopeKey* out) override;
  void OfferScope(bool offer);
};

// An object of a frame. The pair reads answer the second value first, as the
// runtime does; the setters keep what they are told.
class FakeHostObject : public Object<IHostObject> {
 public:
  using Object::Object;
  RECT rect = {0, 0, 0, 0};  // left, top, right, bottom
  int flags = 0;             // the appearance flags word
  int transparentFirst = 0, transparentSecond = 0;
  int keyColorFirst = 0, keyColorSecond = 0;
  int antiAliasFirst = 0;
  short antiAliasSecond = 0;
  int enabled = 0, visible = 0, zOrder = 0, focus = 0, state = 0;

  HRESULT STDMETHODCALLTYPE GetRect(RECT* out) override { return Read(Slots::GetRect, out, rect); }
  HRESULT STDMETHODCALLTYPE SetRect(const RECT* in, int one) override;
  HRESULT STDMETHODCALLTYPE GetFlags(int* out) override { return Read(Slots::GetFlags, out, flags); }
  HRESULT STDMETHODCALLTYPE ChangeFlags(int remove, int add) override;
  HRESULT STDMETHODCALLTYPE GetTransparent(int* second, int* first) override {
    return ReadPair(Slots::GetTransparent, second, first, transparentSecond, transparentFirst);
  }
  HRESULT STDMETHODCALLTYPE SetTransparent(int second, int first, int one) override;
  HRESULT STDMETHODCALLTYPE GetKeyColor(int* second, int* first) override {
    return ReadPair(Slots::GetKeyColor, second, first, keyColorSecond, keyColorFirst);
  }
  HRESULT STDMETHODCALLTYPE SetKeyColor(int second, int first, int one) override;
  HRESULT STDMETHODCALLTYPE GetAntiAlias(short* second, int* first) override {
    return ReadPair(Slots::GetAntiAlias, second, first, antiAliasSecond, antiAliasFirst);
  }
  HRESULT STDMETHODCALLTYPE SetAntiAlias(int second, int first, int one) override;
  HRESULT STDMETHODCALLTYPE SetEnabled(int value, int one) override {
    return Keep(enabled, value, Slots::SetEnabled, one);
  }
  HRESULT STDMETHODCALLTYPE GetEnabled(int* out) override { return Read(Slots::GetEnabled, out, enabled); }
  HRESULT STDMETHODCALLTYPE SetVisible(int value, int one) override {
    return Keep(visible, value, Slots::SetVisible, one);
  }
  HRESULT STDMETHODCALLTYPE GetVisible(int* out) override { return Read(Slots::GetVisible, out, visible); }
  HRESULT STDMETHODCALLTYPE GetZOrder(int* out) override { return Read(Slots::GetZOrder, out, zOrder); }
  HRESULT STDMETHODCALLTYPE SetZOrder(int value, int one) override {
    return Keep(zOrder, value, Slots::SetZOrder, one);
  }
  HRESULT STDMETHODCALLTYPE GetFocus(int* out) override { return Read(Slots::GetFocus, out, focus); }
  HRESULT STDMETHODCALLTYPE SetFocus(int one) override {
    focus = one;
    return Call(Slots::SetFocus, one);
  }
  HRESULT STDMETHODCALLTYPE GetState(int* out) override { return Read(Slots::GetState, out, state); }
  HRESULT STDMETHODCALLTYPE SetState(int value) override {
    state = value;
    return Call(Slots::SetState, value);
  }

 private:
  // Reads a pair: both values written when the status allows it.
  template <class S>
  HRESULT ReadPair(int slot, S* second, int* first, S secondValue, int firstValue) {
    HRESULT result = Read(slot, second, secondValue);
    if (first && Writes(slot, result)) *first = firstValue;
    return result;
  }
  // Keeps `value` in `field`, then journals the setter with its trailing argument.
  HRESULT Keep(int& field, int value, int slot, int one) {
    field = value;
    return Call(slot, value, one);
  }
};

}  // namespace fake
