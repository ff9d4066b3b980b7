// The library's listener for resource delivery: advised to a runtime
// resource, it keeps the local file name the resource reports (status code
// 14), holds the interface the start notification delivers, and detaches
// itself when the stop notification arrives.
#pragma once

#include <string>

#include "frame/CmdTarget.h"
#include "frame/HostInterfaces.h"
#include "frame/Owners.h"

namespace orvex {

class CResourceNotifyWrapper : public fw::CCmdTarget {
 public:
  static constexpr DWORD kStatusFileName = 14;

  CResourceNotifyWrapper();
  ~CResourceNotifyWrapper() override;

  // Advises the wrapper to `resource` (no reference is taken; a wrapper
  // advised elsewhere is unadvised first) and starts it with `startValue`.
  void Attach(IHostResource* resource, DWORD startValue);
  // Unadvises a wrapper that is still advised, before its resource goes.
  void Detach();
  // The file name received with status code 14; empty until then.
  const char* GetFileName() const { return m_strFileName.c_str(); }
  IResourceNotify* Notify() { return &m_xResourceNotify; }

  // Overridable handlers; empty here.
  virtual void OnStart(DWORD /*value*/) {}
  virtual void OnStop(DWORD /*value1*/, DWORD /*value2*/) {}
  virtual void OnProgress(DWORD /*progress*/, DWORD /*maximum*/, DWORD /*statusCode*/, const char* /*text*/) {
  }
  virtual void OnData(DWORD /*v1*/, DWORD /*v2*/, DWORD /*v3*/, DWORD /*v4*/) {}

  ComRef<IUnknown> m_pBinding;         // held, one reference
  IHostResource* m_pSource = nullptr;  // not held
  BOOL m_bAdvised = FALSE;
  std::string m_strFileName;

  // IResourceNotify for the object: every method runs in the module state
  // that was current when the object was made.
  struct XResourceNotify : IResourceNotify {
    CResourceNotifyWrapper* outer = nullptr;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE OnStart(DWORD unused, DWORD value, IUnknown* binding) override;
    HRESULT STDMETHODCALLTYPE OnStop(DWORD unused, DWORD value1, DWORD value2) override;
    HRESULT STDMETHODCALLTYPE OnProgress(DWORD unused, DWORD progress, DWORD maximum, DWORD statusCode,
                                         const char* statusText) override;
    HRESULT STDMETHODCALLTYPE OnData(DWORD unused, DWORD v1, DWORD v2, DWORD v3, DWORD v4) override;
  } m_xResourceNotify;

 private:
  void Unadvise();
};

}  // namespace orvex
