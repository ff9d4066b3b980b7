// Settings shared by the stress programs: a fixed seed and repetition counts
// that the environment may override, so a failing run can be repeated exactly
// (ORVEX_STRESS_SEED) or made longer (ORVEX_STRESS_ITERATIONS, ..._THREADS,
// ..._CALLS).
#pragma once

#include <cstdint>
#include <cstdlib>

namespace stress {

inline std::uint32_t FromEnvironment(const char* name, std::uint32_t fallback) {
  const char* text = std::getenv(name);
  if (!text || !*text) return fallback;
  char* end = nullptr;
  unsigned long value = std::strtoul(text, &end, 0);
  return end && *end == '\0' ? static_cast<std::uint32_t>(value) : fallback;
}

inline std::uint32_t Seed() { return FromEnvironment("ORVEX_STRESS_SEED", 0x0C0FFEE5u); }

}  // namespace stress
