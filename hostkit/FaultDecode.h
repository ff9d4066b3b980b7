// The fault reporter's check of an exception code against the faulting
// instruction (FaultDecode.cpp).
#pragma once

#include <windows.h>

namespace hostkit {

// Corrects `code` (and for an access violation its `access` kind and
// `target` address) when the instruction at the context's place cannot
// have faulted as `code` says: what Wine reports where 32-bit code is
// emulated. Leaves them as they are otherwise.
void CorrectFault(const CONTEXT& context, DWORD& code, ULONG_PTR& access, ULONG_PTR& target);

}  // namespace hostkit
