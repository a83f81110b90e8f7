#pragma once
// The controller parameter numbers the tool gives a meaning of its own, named after what the
// parameter is. The meaning and units belong to the controller; these names only say which
// number bounds, seeds or triggers what. Header only, no project includes: every layer may use it.

namespace kvl {

// Ordered pairs: the first must stay greater than the second.
constexpr int kParamPairFirstUpper = 1;
constexpr int kParamPairFirstLower = 2;
// The soft limits: the upper and lower position bound of ABS steps and P-areas.
constexpr int kParamSoftLimitUpper = 3;
constexpr int kParamSoftLimitLower = 4;
// The direction: the jog and feed buttons' pictures follow it.
constexpr int kParamDirection = 5;
// The defaults of new point-table rows: speed (with the maximum speed), ACC/DCC, in-position
// range and stop mode.
constexpr int kParamDefaultSpeed = 8;
constexpr int kParamDefaultAcceleration = 9;
constexpr int kParamDefaultPositionRange = 10;
constexpr int kParamDefaultStopMode = 25;
// The current limit, bounded above on the long-record models by its maximum.
constexpr int kParamCurrentLimit = 12;
constexpr int kParamCurrentLimitMax = 102;
constexpr int kParamJogSpeed = 16;
constexpr int kParamMaxSpeed = 29;
constexpr int kParamFeedAmount = 31;
// The operation type (I/O mode), which fixes the size of the point table.
constexpr int kParamOperationType = 36;
constexpr int kParamPulseResolution = 45;
// The largest push and threshold of a step, on the long-record models.
constexpr int kParamPushLimit = 151;

} // namespace kvl
