// What a fault really was when the exception code says otherwise. Where
// 32-bit code runs under qemu-user, the signal frame the emulator gives Wine
// has no trap number, so Wine names every memory fault "illegal instruction"
// and an integer division by zero "floating-point invalid operation",
// without the address touched. The faulting instruction tells the truth: an
// instruction that is not an undefined one did not fault as one. Read from
// the instruction's bytes and the registers; natively, Wine's code and the
// instruction agree and nothing changes.
#include "FaultDecode.h"

#include <cstdint>
#include <initializer_list>

namespace hostkit {

#ifndef _WIN64

namespace {

// Whether `size` bytes at `p` can be read.
bool Readable(const void* p, size_t size) {
  MEMORY_BASIC_INFORMATION info;
  if (!VirtualQuery(p, &info, sizeof info) || info.State != MEM_COMMIT) return false;
  if (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) return false;
  return static_cast<const char*>(p) + size <= static_cast<const char*>(info.BaseAddress) + info.RegionSize;
}

DWORD Register(const CONTEXT& c, int n) {
  const DWORD regs[8] = {c.Eax, c.Ecx, c.Edx, c.Ebx, c.Esp, c.Ebp, c.Esi, c.Edi};
  return regs[n & 7];
}

// One-byte opcodes with a ModRM byte.
bool HasModRm(uint8_t op) {
  if (op < 0x40) return (op & 7) < 4;
  return op == 0x62 || op == 0x63 || op == 0x69 || op == 0x6B || (op >= 0x80 && op <= 0x8F) || op == 0xC0 ||
         op == 0xC1 || (op >= 0xC4 && op <= 0xC7) || (op >= 0xD0 && op <= 0xD3) || (op >= 0xD8 && op <= 0xDF) ||
         op == 0xF6 || op == 0xF7 || op == 0xFE || op == 0xFF;
}

// Whether the instruction writes its ModRM memory operand (else it reads it).
bool Writes(bool twoByte, uint8_t op, int reg) {
  if (twoByte)
    return op == 0x11 || op == 0x29 || op == 0x2B || op == 0x7F || op == 0xD6 || op == 0xE7 || op == 0xB0 ||
           op == 0xB1 || op == 0xC0 || op == 0xC1 || (op >= 0x90 && op <= 0x9F) || op == 0xAB || op == 0xB3 ||
           op == 0xBB;
  if (op < 0x40) return (op & 7) < 2 && (op & 0x38) != 0x38;  // r/m is the destination, but for cmp
  if (op >= 0x80 && op <= 0x83) return reg != 7;
  if (op == 0xF6 || op == 0xF7) return reg == 2 || reg == 3;
  if (op == 0xFE || op == 0xFF) return reg <= 1;
  return op == 0x86 || op == 0x87 || op == 0x88 || op == 0x89 || op == 0x8C || op == 0xC6 || op == 0xC7 ||
         op == 0xC0 || op == 0xC1 || (op >= 0xD0 && op <= 0xD3);
}

// The address a ModRM memory operand names; false for a register operand.
bool EffectiveAddress(const uint8_t*& p, const CONTEXT& c, DWORD& address) {
  uint8_t modrm = *p++;
  int mod = modrm >> 6, rm = modrm & 7;
  if (mod == 3) return false;
  DWORD ea = 0;
  if (rm == 4) {
    uint8_t sib = *p++;
    int index = (sib >> 3) & 7, base = sib & 7;
    if (index != 4) ea += Register(c, index) << (sib >> 6);
    if (base == 5 && mod == 0) {
      ea += *reinterpret_cast<const DWORD*>(p);
      p += 4;
    } else {
      ea += Register(c, base);
    }
  } else if (rm == 5 && mod == 0) {
    ea = *reinterpret_cast<const DWORD*>(p);
    p += 4;
  } else {
    ea = Register(c, rm);
  }
  if (mod == 1) ea += static_cast<DWORD>(static_cast<int8_t>(*p));
  if (mod == 2) ea += *reinterpret_cast<const DWORD*>(p);
  address = ea;
  return true;
}

// Whether a ModRM byte makes an FF opcode "call r/m" (its reg field 2).
bool IsCallModRm(uint8_t modrm) { return ((modrm >> 3) & 7) == 2; }

}  // namespace

ULONG_PTR CallBefore(ULONG_PTR returnAddress) {
  const uint8_t* r = reinterpret_cast<const uint8_t*>(returnAddress);
  if (returnAddress < 8 || !Readable(r - 7, 7)) return 0;
  if (r[-5] == 0xE8) {  // call rel32, to code that is there
    ULONG_PTR target = returnAddress + static_cast<ULONG_PTR>(*reinterpret_cast<const int32_t*>(r - 4));
    return Readable(reinterpret_cast<const void*>(target), 1) ? returnAddress - 5 : 0;
  }
  // call r/m: FF, a ModRM byte with reg 2, a SIB byte for rm 4, a displacement.
  for (int length : {6, 7, 3, 4, 2}) {
    const uint8_t* op = r - length;
    if (op[0] != 0xFF || !IsCallModRm(op[1])) continue;
    int mod = op[1] >> 6, rm = op[1] & 7;
    bool sib = mod != 3 && rm == 4;
    int displacement = mod == 1 ? 1 : mod == 2 || (mod == 0 && rm == 5) ? 4 : 0;
    if (sib && mod == 0 && (op[2] & 7) == 5) displacement = 4;
    if (2 + sib + displacement == length) return returnAddress - length;
  }
  return 0;
}

void CorrectFault(const CONTEXT& c, DWORD& code, ULONG_PTR& access, ULONG_PTR& target) {
  if (code != EXCEPTION_ILLEGAL_INSTRUCTION && code != EXCEPTION_FLT_INVALID_OPERATION) return;
  const uint8_t* p = reinterpret_cast<const uint8_t*>(c.Eip);
  if (!Readable(p, 16)) {  // a jump or call to where no code is
    if (code != EXCEPTION_ILLEGAL_INSTRUCTION) return;
    code = EXCEPTION_ACCESS_VIOLATION;
    access = 8;
    target = c.Eip;
    return;
  }
  bool segment = false;  // fs: and gs: operands are not flat addresses
  for (int i = 0; i < 4 && (*p == 0x66 || *p == 0xF0 || *p == 0xF2 || *p == 0xF3 || *p == 0x2E || *p == 0x36 ||
                            *p == 0x3E || *p == 0x26 || *p == 0x64 || *p == 0x65);
       ++i)
    segment |= *p == 0x64 || *p == 0x65, ++p;
  bool twoByte = *p == 0x0F;
  uint8_t op = twoByte ? p[1] : p[0];
  p += twoByte ? 2 : 1;
  if (twoByte && (op == 0x0B || op == 0xB9 || op == 0xFF)) return;  // ud2, ud1, ud0: truly undefined
  int reg = (*p >> 3) & 7;
  if (!twoByte && (op == 0xF6 || op == 0xF7) && reg >= 6) {
    code = EXCEPTION_INT_DIVIDE_BY_ZERO;
    return;
  }
  if (code != EXCEPTION_ILLEGAL_INSTRUCTION) return;
  code = EXCEPTION_ACCESS_VIOLATION;
  DWORD address = 0;
  bool modrm = twoByte ? !(op >= 0x80 && op <= 0x8F) : HasModRm(op);
  if (modrm && !segment && EffectiveAddress(p, c, address)) {
    access = Writes(twoByte, op, reg) ? 1 : 0;
    target = address;
  } else if (!twoByte && op >= 0xA0 && op <= 0xA3 && !segment) {
    access = op >= 0xA2 ? 1 : 0;
    target = *reinterpret_cast<const DWORD*>(p);
  } else if (!twoByte && (op == 0xAA || op == 0xAB || op == 0xA4 || op == 0xA5)) {
    access = 1;
    target = c.Edi;
  }
}

#else

void CorrectFault(const CONTEXT&, DWORD&, ULONG_PTR&, ULONG_PTR&) {}
ULONG_PTR CallBefore(ULONG_PTR) { return 0; }

#endif

}  // namespace hostkit
