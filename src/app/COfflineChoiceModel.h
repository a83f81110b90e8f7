#pragma once
// COfflineChoiceModel: the rules of the offline choice window without the window. The models that
// can be prepared without a bus ("MDA", "MDB", "MDC", and "GWX" for the network unit), which one
// is chosen ("MDA" at first), whether the six operation-type buttons or the network unit button
// are offered, and the operation type last chosen (-1 before any).
// Owned by the offline choice window; user-interface thread.
#include <array>
#include <string>

namespace kvl {

class COfflineChoiceModel {
public:
    static constexpr std::array<const char *, 4> kModels{"MDA", "MDB", "MDC", "GWX"};
    static constexpr char kGatewayModel[] = "GWX";
    static constexpr int kOperationTypes = 6;

    // Chooses the model of list position `position`; true when the choice changed what is offered
    // (another model than the one last applied). A position outside the list changes nothing.
    bool ChooseModel(int position);
    // The operation type `type` (0 to 5) is chosen for the current model; false for another number
    // or while the network unit is chosen.
    bool ChooseType(int type);

    const std::string &Model() const { return m_model; }
    int ModelPosition() const;
    bool GatewayChosen() const { return m_model == kGatewayModel; }
    int OperationType() const { return m_type; }

private:
    std::string m_model = kModels[0];
    int m_type = -1;
};

} // namespace kvl
