#pragma once
// CKVL_VER2_OFFLINE_EDIT_CHIOCE: the offline choice window. The user picks a controller model and
// one of the six operation types (which fixes the size of the point table), or, with "GWX", the
// network unit; the window then hides and asks for the offline window of that choice
// (typeChosen, gatewayChosen), which the axis link makes. The rules live in COfflineChoiceModel.
// Made once by the axis link's offline edit button (window registry) and kept, hidden between
// uses, with its last model; user-interface thread.
#include <QDialog>

#include <array>

#include "app/COfflineChoiceModel.h"

class QComboBox;
class QLabel;

namespace kvl {

class CPictureButton;
class CWindowContext;

class CKVL_VER2_OFFLINE_EDIT_CHIOCE : public QDialog {
    Q_OBJECT
public:
    static constexpr char kSection[] = "IDD_DIALOG_OFFLINE_EDIT_CHOICE";
    static constexpr int kFirstTooltip = 68;

    explicit CKVL_VER2_OFFLINE_EDIT_CHIOCE(CWindowContext &context, QWidget *parent = nullptr);

    void ApplyTexts();
    // Chooses the model of list position `position`, as the list does.
    void ChooseModel(int position);
    void PressType(int type);
    void PressGateway();

    const COfflineChoiceModel &Model() const { return m_model; }
    QComboBox *ModelList() const { return m_models; }
    CPictureButton *TypeButton(int type) const { return m_types[static_cast<size_t>(type)]; }
    CPictureButton *GatewayButton() const { return m_gateway; }

Q_SIGNALS:
    // An offline axis window of `model` with operation type `type` is wanted.
    void typeChosen(const QString &model, int type);
    // An offline network unit window is wanted.
    void gatewayChosen();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BuildLayout();
    void RefreshButtons();

    CWindowContext &m_context;
    COfflineChoiceModel m_model;
    QLabel *m_prompt = nullptr;
    QLabel *m_typeLabel = nullptr;
    QComboBox *m_models = nullptr;
    std::array<CPictureButton *, COfflineChoiceModel::kOperationTypes> m_types{};
    CPictureButton *m_gateway = nullptr;
};

} // namespace kvl
