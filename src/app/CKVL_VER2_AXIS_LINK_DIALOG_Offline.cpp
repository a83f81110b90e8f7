// The axis link window's offline editing: the offline choice window and the offline axis and
// network unit windows it asks for. The offline edit button is disabled while an offline window
// is open and enabled again when that window is closed or left with Return.
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"

#include "app/CKVL_ControlApp.h"
#include "app/CKVL_VER2_OFFLINE_EDIT_CHIOCE.h"
#include "common/CUnkeptEdits.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "gateway/CKVL_GWX_SETTING.h"
#include "params/CKVL_VER2_ParameterListDlg.h"
#include "points/CKVL_VER2_ProgStepDlg.h"
#include "ui/CPictureButton.h"
#include "waveform/CRogDlg.h"

namespace kvl {

void CKVL_VER2_AXIS_LINK_DIALOG::PressOfflineEdit()
{
    auto make = [this]() -> QWidget * {
        auto *choice = new CKVL_VER2_OFFLINE_EDIT_CHIOCE(m_app, this);
        connect(choice, &CKVL_VER2_OFFLINE_EDIT_CHIOCE::typeChosen, this,
                &CKVL_VER2_AXIS_LINK_DIALOG::OpenOfflineAxisWindow);
        connect(choice, &CKVL_VER2_OFFLINE_EDIT_CHIOCE::gatewayChosen, this,
                &CKVL_VER2_AXIS_LINK_DIALOG::OpenOfflineGateway);
        return choice;
    };
    CWindowRegistry::Present(m_app.Windows().FindOrCreate<CKVL_VER2_OFFLINE_EDIT_CHIOCE>(
        CWindowRegistry::Kind::kOfflineChoice, CWindowRegistry::kNoAxis, make));
}

CKVL_VER2_OFFLINE_EDIT_CHIOCE *CKVL_VER2_AXIS_LINK_DIALOG::OfflineChoiceWindow() const
{
    return m_app.Windows().Find<CKVL_VER2_OFFLINE_EDIT_CHIOCE>(CWindowRegistry::Kind::kOfflineChoice);
}

points::CKVL_VER2_ProgStepDlg *CKVL_VER2_AXIS_LINK_DIALOG::OfflineAxisWindow() const
{
    return m_app.Windows().Find<points::CKVL_VER2_ProgStepDlg>(CWindowRegistry::Kind::kOfflineMain);
}

CKVL_GWX_SETTING *CKVL_VER2_AXIS_LINK_DIALOG::OfflineGatewayWindow() const
{
    return m_app.Windows().Find<CKVL_GWX_SETTING>(CWindowRegistry::Kind::kOfflineGateway);
}

void CKVL_VER2_AXIS_LINK_DIALOG::OpenOfflineAxisWindow(const QString &model, int type)
{
    // Its parameter list and waveform window go with it: their edits are asked about first.
    if (points::CKVL_VER2_ProgStepDlg *old = OfflineAxisWindow()) {
        const CLanguageTexts &texts = m_app.Settings().Texts();
        if (!CUnkeptEdits::Ask(old, texts, *old) ||
            (m_offlineParams && !CUnkeptEdits::Ask(m_offlineParams, texts, *m_offlineParams)))
            return;
    }
    delete OfflineAxisWindow();
    auto make = [this, &model, type]() -> QWidget * {
        points::AxisIdentity identity;
        identity.axis = CAppValues::kOfflineSlot;
        identity.model = model.toStdString();
        identity.offline = true;
        identity.offlineType = type;
        auto *window = new points::CKVL_VER2_ProgStepDlg(m_app, identity, this);
        ConnectOfflineAxisWindow(window);
        window->Open();
        m_offlineParams = MakeParamList(window);
        return window;
    };
    points::CKVL_VER2_ProgStepDlg *window = m_app.Windows().FindOrCreate<points::CKVL_VER2_ProgStepDlg>(
        CWindowRegistry::Kind::kOfflineMain, CWindowRegistry::kNoAxis, make);
    CWindowRegistry::Present(window);
    m_offline->setEnabled(false);
}

void CKVL_VER2_AXIS_LINK_DIALOG::ConnectOfflineAxisWindow(points::CKVL_VER2_ProgStepDlg *window)
{
    using Window = points::CKVL_VER2_ProgStepDlg;
    // Closing the offline window asks about its parameter list's edits too.
    window->SetCloseCheck([this] {
        return !m_offlineParams || CUnkeptEdits::Ask(m_offlineParams, m_app.Settings().Texts(), *m_offlineParams);
    });
    connect(window, &Window::returned, this, [this] {
        if (m_offlineWave)
            m_offlineWave->hide();
        if (m_offlineParams)
            m_offlineParams->hide();
        m_offline->setEnabled(true);
        CWindowRegistry::Present(this);
    });
    connect(window, &Window::offlineClosed, this, [this] { m_offline->setEnabled(true); });
    connect(window, &Window::paramRequested, this, [this] {
        if (m_offlineParams)
            CWindowRegistry::Present(m_offlineParams);
    });
    connect(window, &Window::accessLevelChanged, this, [this](int, int level) {
        if (m_offlineParams)
            m_offlineParams->SetAccessLevel(level);
    });
    connect(window, &Window::waveRequested, this, [this, window](int axis) {
        if (!m_offlineWave)
            m_offlineWave = new CRogDlg(m_app, axis, window->Model().Identity().model, true, window);
        CWindowRegistry::Present(m_offlineWave);
    });
}

void CKVL_VER2_AXIS_LINK_DIALOG::OpenOfflineGateway()
{
    if (CKVL_GWX_SETTING *old = OfflineGatewayWindow(); old && !CUnkeptEdits::Ask(old, m_app.Settings().Texts(), *old))
        return;
    delete OfflineGatewayWindow();
    auto make = [this]() -> QWidget * {
        auto *window = new CKVL_GWX_SETTING(m_app, true, std::string(), this);
        connect(window, &CKVL_GWX_SETTING::offlineClosed, this, [this] { m_offline->setEnabled(true); });
        return window;
    };
    CWindowRegistry::Present(m_app.Windows().FindOrCreate<CKVL_GWX_SETTING>(CWindowRegistry::Kind::kOfflineGateway,
                                                                           CWindowRegistry::kNoAxis, make));
    m_offline->setEnabled(false);
}

} // namespace kvl
