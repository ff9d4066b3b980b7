#include "OrvexC/hostkit/FakeRuntime.h"

namespace fake {

HRESULT FakeContext::GetRuntime(IHostRuntime** out) { return Give(Slots::GetRuntime, runtime, out); }
HRESULT FakeContext::GetModule(IHostModule** out) { return Give(Slots::GetModule, module, out); }
HRESULT FakeContext::GetFrame(IHostFrame** out) { return Give(Slots::GetFrame, frame, out); }
HRESULT FakeContext::GetSurface(IHostSurface** out) { return Give(Slots::GetSurface, surface, out); }
HRESULT FakeContext::GetThread(IHostThread** out) { return Give(Slots::GetThread, thread, out); }

HRESULT FakeContext::FindObject(HostScopeKey scope, const char* name, IHostObject** out) {
  HRESULT result = Call(Slots::FindObject, static_cast<const void*>(scope), name);
  FakeHostObject* found = FindByName(objects, name);
  if (!found && result == S_OK) result = E_FAIL;
  return Hand(Slots::FindObject, result, found, out);
}

HRESULT FakeRuntimeObject::GetResources(IHostResources** out) {
  return Give(Slots::GetResources, resources, out);
}
HRESULT FakeRuntimeObject::GetTitleNode(IHostNode** out) { return Give(Slots::GetTitleNode, titleNode, out); }
HRESULT FakeRuntimeObject::GetApplication(IHostApplication** out) {
  return Give(Slots::GetApplication, app, out);
}

HRESULT FakeApplication::IsMediaAvailable(const char* name) {
  HRESULT result = Call(Slots::IsMediaAvailable, name);
  if (result == S_OK && !(name && media.count(name))) result = S_FALSE;
  return result;
}

HRESULT FakeApplication::GetInstance(HINSTANCE* out) { return Read(Slots::GetInstance, out, instance); }
HRESULT FakeApplication::GetParameterCount(int* out) {
  return Read(Slots::GetParameterCount, out, parameterCount);
}

HRESULT FakeApplication::GetParameter(int index, BSTR* out) {
  HRESULT result = Call(Slots::GetParameter, index);
  bool known = index >= 0 && index < static_cast<int>(parameters.size());
  if (!known && result == S_OK) result = E_INVALIDARG;
  return HandText(Slots::GetParameter, result, known ? &parameters[index] : nullptr, out);
}

HRESULT FakeApplication::GetTitleLocation(BSTR* out) {
  return GiveText(Slots::GetTitleLocation, &location, out);
}
HRESULT FakeApplication::GetTitlePath(BSTR* out) { return GiveText(Slots::GetTitlePath, &path, out); }

HRESULT FakeApplication::StartThread(const char* name) {
  started.push_back(name ? name : "(null)");
  return Call(Slots::StartThread, name);
}

HRESULT FakeApplication::FindThread(const char* name, IHostThread** out) {
  HRESULT result = Call(Slots::FindThread, name);
  FakeThread* found = FindByName(threads, name);
  if (!found && result == S_OK) result = E_FAIL;
  return Hand(Slots::FindThread, result, found, out);
}

HRESULT FakeModule::GetNode(IHostNode** out) { return Give(Slots::GetNode, node, out); }

}  // namespace fake
