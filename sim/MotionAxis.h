#pragma once
// The kinematics of one simulated axis: a command profile (trapezoidal moves, jog, controlled stop)
// and the actual motion that follows it with a short lag, with the motor currents they need.
// Lengths in mm (deg on a rotary axis), time in s. Owned by one AxisDevice; bus thread only.

namespace kvl::sim {

class MotionAxis {
public:
    static constexpr double kTickSeconds = 0.0001;  // one simulation step, also the capture time base
    static constexpr double kStandardGravity = 9806.65;  // mm/s^2 per G
    static constexpr double kMilliampsPerG = 800.0;      // current to accelerate the bare motor by 1 G
    static constexpr double kFrictionMilliamps = 60.0;
    static constexpr double kHoldingMilliamps = 15.0;

    struct Profile {
        double speed = 10.0;     // mm/s
        double acc = 1000.0;     // mm/s^2
        double dec = 1000.0;     // mm/s^2
    };

    void SetServo(bool on);
    bool ServoOn() const { return servo_; }

    // Starts a move of the command position to `target`.
    void MoveTo(double target, const Profile &profile);
    // Runs at `speed` toward `direction` (+1 or -1) until Halt().
    void Jog(int direction, double speed, double acc);
    // Brings the command speed to zero with `dec` and then holds.
    void Halt(double dec);
    // Stops dead (servo off, alarm): both speeds become zero at once.
    void Freeze();
    // Re-references both positions (homing), keeping the motion state.
    void SetPosition(double position);

    // Inertia of the load against the motor's own (1.0: no load); acceleration costs current in
    // proportion.
    void SetLoadInertia(double ratio) { loadInertia_ = ratio; }
    double LoadInertia() const { return loadInertia_; }

    // Advances by one tick (kTickSeconds).
    void Tick();

    bool Moving() const { return mode_ != Mode::Idle; }
    bool Jogging() const { return mode_ == Mode::Jog; }
    double Target() const { return target_; }
    double CommandPosition() const { return cmdPos_; }
    double ActualPosition() const { return actPos_; }
    double CommandSpeed() const { return cmdVel_; }
    double ActualSpeed() const { return actVel_; }
    double CommandAcceleration() const { return cmdAcc_; }
    double CommandCurrent() const { return cmdCurrent_; }  // mA
    double ActualCurrent() const { return actCurrent_; }   // mA

private:
    enum class Mode { Idle, Move, Jog, Halt };

    double NextMoveSpeed() const;
    void UpdateCurrents();

    Mode mode_ = Mode::Idle;
    bool servo_ = false;
    Profile profile_;
    double target_ = 0.0;
    int jogDirection_ = 1;
    double cmdPos_ = 0.0;
    double cmdVel_ = 0.0;
    double cmdAcc_ = 0.0;
    double actPos_ = 0.0;
    double actVel_ = 0.0;
    double cmdCurrent_ = 0.0;
    double actCurrent_ = 0.0;
    double loadInertia_ = 1.0;
};

} // namespace kvl::sim
