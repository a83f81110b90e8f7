#pragma once
// WriteRefusal: why the write gate kept a value from the wire, in parts a face can put in words of
// its own language (the item, the value sent and the range it must lie in), and in plain English
// for the command line and the trace log. Plain data; any thread.
#include <cstdint>
#include <string>

namespace kvl {

struct WriteRefusal {
    enum class Item {
        kParameter,     // a controller parameter: number
        kStep,          // a point-table step: number (table numbering, from 0) and column
        kUnitSetting,   // a unit parameter: number
        kUnitStation    // the unit's station tables: number is the station, from 0
    };
    enum class Cause {
        kOutOfRange,     // value outside min .. max
        kNotAChoice,     // value names no entry of the item's list
        kNoSuchItem,     // the model has no such parameter, or the table no such step
        kUnknownDevice   // the device's model is not known yet: nothing can be checked
    };

    std::uint8_t axis = 0;
    Item item = Item::kParameter;
    Cause cause = Cause::kOutOfRange;
    int number = 0;
    int column = -1;            // steps only: the grid column (1 mode ... 15 jump)
    std::string model;          // the model the ranges are those of ("MDC", "GWX")
    std::string value;          // the value as the user's units show it
    std::string min;            // the range, in the same units; empty for list items
    std::string max;

    // "axis 3, parameter 16: -5 is outside 1 to 100; not sent".
    std::string Describe() const;
};

} // namespace kvl
