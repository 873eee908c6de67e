// The upper halves of the processor's vector registers. Code built for AVX
// that returns without clearing them (some of what a toolkit runs when it
// starts does) makes every later SSE instruction of the thread wait on them:
// the calculation, built for plain SSE2, ran three to five times slower once
// Qt had started. Clearing them changes no value, only the speed.
#pragma once

namespace sekora {

// Clears the upper halves of the calling thread's vector registers, on
// processors that have them; does nothing elsewhere.
void ClearUpperVectorHalves();

}  // namespace sekora
