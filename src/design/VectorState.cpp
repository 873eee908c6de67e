#include "VectorState.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace sekora {

#if defined(__x86_64__) || defined(__i386__)

namespace {

// VZEROUPPER exists only on processors with AVX, so it is compiled for them
// alone and called only where the processor has it.
__attribute__((target("avx"))) void ZeroUpperHalves() {
  _mm256_zeroupper();
}

}  // namespace

void ClearUpperVectorHalves() {
  if (__builtin_cpu_supports("avx")) ZeroUpperHalves();
}

#else

void ClearUpperVectorHalves() {}

#endif

}  // namespace sekora
