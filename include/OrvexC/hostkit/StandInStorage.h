// What the host kit's stand-in resource manager (ResourceManager.dll) tells
// about a storage it made, beyond the runtime's IResourceStorage. The host
// kit's resources ask a storage handed to them for it, so that a storage a
// module created is found by name afterwards, as the runtime finds it.
#pragma once

#include <windows.h>
#include <unknwn.h>

// Not one of the runtime's interfaces: the stand-in's own.
struct IStandInStorage : IUnknown {
  // The texts the storage was told last (its name, its location) and all it
  // was told, in order ("name=res;location=C:\\res\\;"); owned by the storage.
  virtual const char* STDMETHODCALLTYPE Name() = 0;
  virtual const char* STDMETHODCALLTYPE Location() = 0;
  virtual const char* STDMETHODCALLTYPE Log() = 0;
};

// {2CAD892B-A17E-4F40-AEBD-50C554E005BD}
inline constexpr GUID IID_IStandInStorage = {
    0x2CAD892B, 0xA17E, 0x4F40, {0xAE, 0xBD, 0x50, 0xC5, 0x54, 0xE0, 0x05, 0xBD}};
