#include "frame/HostChains.h"

namespace orvex {

void ReadNodeName(IHostNode* node, CallerText& out) noexcept {
  if (!node) return;
  NameText name;
  ORVEX_CALL(node, GetName)(NameText::kCapacity, name.data());
  out.Put(name.Text());
}

void ReadNodeAddress(IHostNode* node, CallerText& out) noexcept {
  if (!node) return;
  AddressText address;
  ORVEX_CALL(node, GetAddress)(AddressText::kCapacity, address.data());
  out.Put(address.Text());
}

HWND ReadWindowHandle(IHostWindow* window) noexcept {
  HWND handle = nullptr;
  if (window) ORVEX_CALL(window, GetHandle)(&handle);
  return handle;
}

}  // namespace orvex
