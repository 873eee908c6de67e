// SEKORA_ADDRESS_SANITIZER is defined in a test built with AddressSanitizer,
// whose own memory reservations make limits and peaks of memory meaningless.
// gcc says it builds with it by a macro, clang by a feature.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define SEKORA_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SEKORA_ADDRESS_SANITIZER
#endif
#endif
