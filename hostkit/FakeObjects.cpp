#include "OrvexC/hostkit/FakeObjects.h"

namespace fake {

FakeScope::FakeScope(Recorder& recorder, std::string name) : Object(recorder, std::move(name)) {
  OfferScope(true);
}

void FakeScope::OfferScope(bool offer) {
  answers.clear();
  if (offer) answers.push_back(IID_IHostScope);
}

HRESULT FakeScope::GetScopeKey(HostScopeKey* out) {
  HRESULT result = Call(Slots::GetScopeKey);
  if (writesKey && Writes(Slots::GetScopeKey, result)) *out = key;
  return result;
}

HRESULT FakeHostObject::SetRect(const RECT* in, int one) {
  HRESULT result = Call(Slots::SetRect, in, one);
  if (in) rect = *in;
  return result;
}

HRESULT FakeHostObject::ChangeFlags(int remove, int add) {
  HRESULT result = Call(Slots::ChangeFlags, remove, add);
  flags = (flags & ~remove) | add;
  return result;
}

HRESULT FakeHostObject::SetTransparent(int second, int first, int one) {
  transparentSecond = second;
  transparentFirst = first;
  return Call(Slots::SetTransparent, second, first, one);
}

HRESULT FakeHostObject::SetKeyColor(int second, int first, int one) {
  keyColorSecond = second;
  keyColorFirst = first;
  return Call(Slots::SetKeyColor, second, first, one);
}

HRESULT FakeHostObject::SetAntiAlias(int second, int first, int one) {
  antiAliasSecond = static_cast<short>(second);
  antiAliasFirst = first;
  return Call(Slots::SetAntiAlias, second, first, one);
}

}  // namespace fake
