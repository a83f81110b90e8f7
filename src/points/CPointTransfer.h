#pragma once
// CPointTransfer: Read and Write of an axis' point table with the controller, as the axis window
// runs them. Read takes the whole table with one bulk read into both the working table and the
// driver copy; Write sends only the steps that differ from the driver copy, one exchange a step.
// Both keep status polling off for their whole run (CPollingPause, on every way out), hold the
// busy indicator (which refuses a second run within 100 ms) and say what went wrong through the
// message hook in plain words. What needs the screen arrives as Hooks; Qt-free, so tests drive
// it directly. The thread that makes the exchanges (the user-interface thread).
#include <cstdint>
#include <functional>
#include <string>

#include "points/CPointTable.h"
#include "points/StepTypes.h"

namespace kvl {
class CServoCommands;
struct CAppValues;
} // namespace kvl

namespace kvl::points {

class CPointTransfer {
public:
    static constexpr int kTimeoutMs = 200;

    // How a transfer ended.
    enum class Outcome {
        kDone,        // the table was read, or every step that could be written was tried
        kOffline,     // nothing to do offline
        kCancelled,   // the user declined the confirmation
        kRefused,     // servo on, or the controller in automatic mode: nothing sent
        kBusy,        // the busy indicator refused (another run ended less than 100 ms ago)
        kFailed,      // the bulk read failed: the table is as it was
    };

    // What the axis window lends a transfer. Every hook may be empty: no text, no question (the
    // answer is yes), no indicator (never refused), no progress.
    struct Hooks {
        // The language text of a message; empty when the language file has none.
        std::function<std::string(const StepMessage &message)> text;
        // Shows `text` and returns when the user closed it.
        std::function<void(const std::string &text)> message;
        // Asks `text` with OK and Cancel; true for OK.
        std::function<bool(const std::string &text)> confirm;
        // Busy indicator with its 100 ms guard: false when it refuses.
        std::function<bool()> busyBegin;
        std::function<void()> busyEnd;
        // Write: `done` of `total` steps. Read: bytes received of the bytes the table takes.
        std::function<void(int done, int total)> progress;
        // Installs the sink the transport tells the bytes of a bulk read as they come in; an
        // empty sink removes it again.
        std::function<void(std::function<void(int received)> sink)> watchBulkRead;
        // The tables changed (after a Read, after each written step): redraw.
        std::function<void()> changed;
    };

    // The axis a transfer talks to and what the window knows of it from polling.
    struct Axis {
        std::uint8_t address = 0;
        std::string model;
        bool offline = false;
        bool servoOn = false;
        bool running = false;   // the controller reports a running program
    };

    // What the last Write did, for the window and tests.
    struct WriteReport {
        int sent = 0;
        int cleared = 0;
        int failed = 0;
        int unanswered = 0;     // of the failed ones, those the controller did not answer
        int fieldMissingSteps = 0; // steps not sent because a field is empty
        bool fieldMissing = false;
        bool pushAboveLimit = false;
    };

    CPointTransfer(CServoCommands &commands, CAppValues *values, Hooks hooks);

    // Read from the controller into both tables (comments of the grid kept).
    Outcome Read(CPointTable &table, const Axis &axis);
    // Write the working table's changed steps to the controller.
    Outcome Write(CPointTable &table, const Axis &axis);

    const WriteReport &LastWrite() const { return m_lastWrite; }

    // Bytes of the step frames a bulk read of `stepCount` steps takes on this model.
    static int ExpectedReadBytes(const std::string &model, int stepCount);

private:
    std::string Text(const StepMessage &message) const;
    void Show(const StepMessage &message) const;
    bool BusyBegin() const;
    void BusyEnd() const;
    void Changed() const;
    void SendPlan(CPointTable &table, const Axis &axis);
    // Says how the last Write ended: what was written and cleared, what was not and why.
    void ShowWriteOutcome() const;

    CServoCommands &m_commands;
    CAppValues *m_values;
    Hooks m_hooks;
    WriteReport m_lastWrite;
};

} // namespace kvl::points
