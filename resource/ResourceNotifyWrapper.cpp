#include "resource/ResourceNotifyWrapper.h"

#include "frame/Trace.h"

namespace orvex {

CResourceNotifyWrapper::CResourceNotifyWrapper() { m_xResourceNotify.outer = this; }

CResourceNotifyWrapper::~CResourceNotifyWrapper() {
  m_pBinding.reset();
  m_pSource = nullptr;  // neither unadvised nor released here
}

void CResourceNotifyWrapper::Unadvise() {
  IHostResource* source = m_pSource;
  m_pSource = nullptr;
  m_bAdvised = FALSE;
  ORVEX_CALL(source, Unadvise)(&m_xResourceNotify);
}

void CResourceNotifyWrapper::Attach(IHostResource* resource, DWORD startValue) {
  m_pBinding.reset();
  if (m_pSource && m_bAdvised) ORVEX_CALL(m_pSource, Unadvise)(&m_xResourceNotify);
  m_pSource = resource;
  ORVEX_CALL(resource, Advise)(&m_xResourceNotify);
  m_bAdvised = TRUE;
  // The resource may have stopped (and so unadvised) the wrapper by now.
  ORVEX_CALL(resource, Start)(startValue, 0);
}

void CResourceNotifyWrapper::Detach() {
  if (m_pSource && m_bAdvised) Unadvise();
  m_pSource = nullptr;
}

// ---- IResourceNotify --------------------------------------------------------------

HRESULT CResourceNotifyWrapper::XResourceNotify::QueryInterface(REFIID iid, void** out) {
  fw::MaintainModuleState guard(outer->ObjectModuleState());
  if (!out) return E_POINTER;
  if (iid != IID_IUnknown && iid != IID_IResourceNotify) {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  *out = static_cast<IResourceNotify*>(this);
  outer->ExternalAddRef();
  return S_OK;
}

ULONG CResourceNotifyWrapper::XResourceNotify::AddRef() {
  fw::MaintainModuleState guard(outer->ObjectModuleState());
  return outer->ExternalAddRef();
}

ULONG CResourceNotifyWrapper::XResourceNotify::Release() {
  fw::MaintainModuleState guard(outer->ObjectModuleState());
  return outer->ExternalRelease();
}

HRESULT CResourceNotifyWrapper::XResourceNotify::OnStart(DWORD, DWORD value, IUnknown* binding) {
  fw::MaintainModuleState guard(outer->ObjectModuleState());
  outer->m_pBinding.reset();
  outer->m_pBinding.copy(binding);
  outer->OnStart(value);
  return S_OK;
}

HRESULT CResourceNotifyWrapper::XResourceNotify::OnStop(DWORD, DWORD value1, DWORD value2) {
  fw::MaintainModuleState guard(outer->ObjectModuleState());
  outer->OnStop(value1, value2);
  outer->m_pBinding.reset();
  if (outer->m_pSource) outer->Unadvise();
  return S_OK;
}

HRESULT CResourceNotifyWrapper::XResourceNotify::OnProgress(DWORD, DWORD progress, DWORD maximum,
                                                            DWORD statusCode, const char* statusText) {
  fw::MaintainModuleState guard(outer->ObjectModuleState());
  try {
    if (statusCode == kStatusFileName) outer->m_strFileName = statusText ? statusText : "";
  } catch (...) {
    // Out of memory: the name stays as it was; nothing crosses into the caller.
  }
  outer->OnProgress(progress, maximum, statusCode, statusText);
  return S_OK;
}

HRESULT CResourceNotifyWrapper::XResourceNotify::OnData(DWORD, DWORD v1, DWORD v2, DWORD v3, DWORD v4) {
  fw::MaintainModuleState guard(outer->ObjectModuleState());
  outer->OnData(v1, v2, v3, v4);
  return S_OK;
}

}  // namespace orvex
