// The calculation's threads start with the upper halves of the vector
// registers clear, whatever the thread that started them left there: SSE
// code runs several times slower while they are in use.
#include <gtest/gtest.h>

#include <vector>

#include "ParallelFor.h"
#include "VectorState.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>

namespace sekora {
namespace {

// XGETBV with ECX = 1 tells which register states are in use; bit 2 is the
// upper halves of the YMM registers.
constexpr unsigned long long kUpperHalvesInUse = 1u << 2;

bool InUseStateCanBeRead() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__builtin_cpu_supports("avx")) return false;
  if (!__get_cpuid_count(0xD, 1, &eax, &ebx, &ecx, &edx)) return false;
  return (eax & (1u << 2)) != 0;
}

__attribute__((target("xsave"))) bool UpperHalvesInUse() {
  return (_xgetbv(1) & kUpperHalvesInUse) != 0;
}

// Leaves a value in the upper half of YMM0, as AVX code that skips
// VZEROUPPER does. The function is not compiled for AVX, so the compiler
// adds no VZEROUPPER of its own; it runs only where the processor has AVX.
void DirtyUpperHalves() {
  static const float kOne = 1.0f;
  __asm__ volatile("vbroadcastss %0, %%ymm0" : : "m"(kOne) : "xmm0");
}

TEST(VectorState, ClearingEndsTheUseOfTheUpperHalves) {
  if (!InUseStateCanBeRead()) GTEST_SKIP() << "this processor does not say which state is in use";
  DirtyUpperHalves();
  ASSERT_TRUE(UpperHalvesInUse());
  ClearUpperVectorHalves();
  EXPECT_FALSE(UpperHalvesInUse());
}

TEST(VectorState, EveryThreadOfAParallelRunStartsWithTheUpperHalvesClear) {
  if (!InUseStateCanBeRead()) GTEST_SKIP() << "this processor does not say which state is in use";
  DirtyUpperHalves();
  ASSERT_TRUE(UpperHalvesInUse());
  std::vector<int> inUse(8, -1);
  ParallelFor(inUse.size(), 4, 1, [&](std::size_t i) { inUse[i] = UpperHalvesInUse() ? 1 : 0; });
  EXPECT_EQ(inUse, std::vector<int>(8, 0));
}

}  // namespace
}  // namespace sekora

#endif
