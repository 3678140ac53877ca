// Clearing the upper halves of the AVX registers before numeric work.
//
// Code built for AVX (parts of Qt, some library routines) can return with the upper halves
// of the vector registers in use. Until they are cleared, every legacy SSE instruction of our
// numeric code, which is built for baseline x86-64, pays a penalty (measured 4 to 6.5 times
// slower in the program). The entry points of the engine, the psychrometrics, the tower model
// and the economic calculation clear them first. `vzeroupper` exists only on CPUs with AVX,
// so it runs only where the CPU and the operating system support AVX; elsewhere, and on other
// architectures, this does nothing.
#pragma once

namespace kestrin {

inline void ClearUpperVectorState() {
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__)) && !defined(__AVX__)
  // __builtin_cpu_supports("avx") is true only when the OS saves the AVX state as well. A
  // build for AVX (__AVX__) uses VEX instructions throughout, which pay no penalty.
  if (__builtin_cpu_supports("avx")) __asm__ volatile("vzeroupper");
#endif
}

}  // namespace kestrin
