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
    bool ServoOn() const { return m_servo; }

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
    void SetLoadInertia(double ratio) { m_loadInertia = ratio; }
    double LoadInertia() const { return m_loadInertia; }

    // Advances by one tick (kTickSeconds).
    void Tick();

    bool Moving() const { return m_mode != Mode::Idle; }
    bool Jogging() const { return m_mode == Mode::Jog; }
    double Target() const { return m_target; }
    double CommandPosition() const { return m_cmdPos; }
    double ActualPosition() const { return m_actPos; }
    double CommandSpeed() const { return m_cmdVel; }
    double ActualSpeed() const { return m_actVel; }
    double CommandAcceleration() const { return m_cmdAcc; }
    double CommandCurrent() const { return m_cmdCurrent; }  // mA
    double ActualCurrent() const { return m_actCurrent; }   // mA

private:
    enum class Mode { Idle, Move, Jog, Halt };

    double NextMoveSpeed() const;
    void UpdateCurrents();

    Mode m_mode = Mode::Idle;
    bool m_servo = false;
    Profile m_profile;
    double m_target = 0.0;
    int m_jogDirection = 1;
    double m_cmdPos = 0.0;
    double m_cmdVel = 0.0;
    double m_cmdAcc = 0.0;
    double m_actPos = 0.0;
    double m_actVel = 0.0;
    double m_cmdCurrent = 0.0;
    double m_actCurrent = 0.0;
    double m_loadInertia = 1.0;
};

} // namespace kvl::sim
