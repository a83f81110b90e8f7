#pragma once
// CGatewayFieldRange: the values the gateway unit takes for each of its settings, in the codes
// the unit itself uses (CGatewayConfig). Every way a value comes in (a unit settings file, a page
// of the window, a write to the unit) asks here before the value is kept or sent. Stateless; any
// thread.
#include <cstddef>
#include <string_view>

#include "gateway/CGatewayConfig.h"
#include "gateway/CGatewayField.h"

namespace kvl {

class CGatewayFieldRange {
public:
    // The interval and the broadcast delay are the unit's signed 32-bit parameters in ms; the
    // window takes them as digits only, at most 10 of them.
    static constexpr long long kLongestMs = 2147483647;
    static constexpr int kMsDigits = 10;
    static constexpr long long kMostResetTimes = 9999;
    static constexpr int kResetTimesDigits = 4;
    // The unit's name: at most 16 bytes.
    static constexpr std::size_t kCommentBytes = 16;
    static constexpr int kOctetMax = 255;

    struct Bounds {
        long long min;
        long long max;
    };
    // The smallest and the largest value of a numeric field (one octet for the three addresses,
    // one station's code for the device list and the input modes). Fields that take a list of
    // codes (devices, fieldbus type) admit only the codes of their list between the bounds.
    static Bounds BoundsOf(CGatewayField::Id field);
    // Whether the unit takes `value` for `field`. Always false for the comment: see AdmitsComment.
    static bool Admits(CGatewayField::Id field, long long value);
    static bool AdmitsComment(std::string_view comment);
    static bool AdmitsOctets(const CGatewayConfig::Octets &octets);
};

} // namespace kvl
