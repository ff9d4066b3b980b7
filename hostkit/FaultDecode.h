// The fault reporter's reading of machine code (FaultDecode.cpp): the
// faulting instruction, and the calls on a stack.
#pragma once

#include <windows.h>

namespace hostkit {

// Corrects `code` (and for an access violation its `access` kind and
// `target` address) when the instruction at the context's place cannot
// have faulted as `code` says: what Wine reports where 32-bit code is
// emulated. Leaves them as they are otherwise.
void CorrectFault(const CONTEXT& context, DWORD& code, ULONG_PTR& access, ULONG_PTR& target);

// The address of the call instruction that `returnAddress` comes right after
// (call rel32 to readable code, or call r/m), or 0 when none ends there or
// the bytes cannot be read. 32-bit x86 only (0 elsewhere).
ULONG_PTR CallBefore(ULONG_PTR returnAddress);

}  // namespace hostkit
