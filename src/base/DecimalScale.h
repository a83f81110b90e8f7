#pragma once
// The one conversion from a decimal value in the user's units to the integer a controller field
// holds: value x factor, truncated toward zero, limited to the int32 range. Used by the step
// record encoding and the parameter conversions. Stateless; any thread.
#include <cstdint>

namespace kvl::decimalscale {

// The largest factor the conversion takes; larger ones are treated as this.
constexpr std::int64_t kMaxFactor = 1000000000000000000; // 10^18

// value x factor truncated toward zero, where value is taken as the decimal it was typed as
// (12.3456 x 10000 gives 123456, 12.34567 x 10000 gives 123456 too). Saturates at the int32
// limits; NaN gives 0. A factor below 1 is 1.
std::int32_t TruncateScaled(double value, std::int64_t factor);

} // namespace kvl::decimalscale
