#include "ParamListFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "common/CCellCombox.h"
#include "common/CBusyIndicator.h"
#include "common/CCellEdit.h"
#include "common/CMsgDlg.h"
#include "common/CWindowTexts.h"
#include "app/CKVL_ControlApp.h"
#include "config/CAppSettings.h"
#include "params/CParamGridEditor.h"
#include "params/CParamGridModel.h"
#include "sim/AxisDevice.h"
#include "ui/CPictureButton.h"

namespace kvl::test {

namespace {
constexpr int kModalPollMs = 5;
} // namespace

ModalWatch::ModalWatch()
{
    m_timer.setInterval(kModalPollMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        auto *dialog = qobject_cast<CMsgDlg *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        m_texts << dialog->Text();
        const bool ok = m_answers.empty() || m_answers.front();
        if (!m_answers.empty())
            m_answers.pop_front();
        QPushButton *button = ok || !dialog->CancelButton() ? dialog->OkButton() : dialog->CancelButton();
        QTest::mouseClick(button, Qt::LeftButton);
    });
    m_timer.start();
}

ModalWatch::~ModalWatch()
{
    m_timer.stop();
}

params::CKVL_VER2_ParameterListDlg *ParamListFixture::OpenList(int address)
{
    m_axis = OpenAxis(address);
    if (!m_axis)
        return nullptr;
    QTest::mouseClick(m_axis->ParamButton(), Qt::LeftButton);
    auto *list = m_app->Windows().Find<params::CKVL_VER2_ParameterListDlg>(CWindowRegistry::Kind::kParamList, address);
    EXPECT_NE(list, nullptr);
    if (list) {
        EXPECT_TRUE(WaitFor([list] { return list->isVisible(); }));
    }
    return list;
}

std::int32_t ParamListFixture::SimParam(int address, int number)
{
    return WithAxis(address, [number](sim::AxisDevice &axis) { return axis.Parameters().Get(number); });
}

void ParamListFixture::SetSimParam(int address, int number, std::int32_t value)
{
    WithAxis(address, [number, value](sim::AxisDevice &axis) { return axis.Parameters().Set(number, value); });
}

void ParamListFixture::Edit(params::CKVL_VER2_ParameterListDlg &list, int number, const QString &text)
{
    const int row = list.GridModel()->RowOf(number);
    ASSERT_GE(row, 0) << "parameter " << number << " is not shown";
    const QModelIndex index = list.GridModel()->index(row, params::CParamListModel::kColFile);
    list.Grid()->scrollTo(index);
    // As the mouse makes it: press and release, then the double-click and its release.
    const QPoint at = list.Grid()->visualRect(index).center();
    QTest::mouseClick(list.Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list.Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(list.Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_TRUE(list.GridEditor()->Editing()) << "no editor for parameter " << number;
    CCellCombox *combox = list.GridEditor()->CellCombox();
    if (combox->isVisible()) {
        combox->setCurrentIndex(combox->findText(text));
        QTest::keyClick(combox, Qt::Key_Return);
        return;
    }
    CCellEdit *edit = list.GridEditor()->CellEdit();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

void ParamListFixture::WaitBusyReady()
{
    CBusyIndicator &busy = m_app->Busy();
    ASSERT_TRUE(WaitFor([&busy] {
        if (!busy.Begin(true, CBusyGuard::kDefaultWindowMs))
            return false;
        busy.End(false);
        return true;
    }));
}

QString ParamListFixture::Text(const char *key, const char *section) const
{
    return CWindowTexts::Text(m_app->Settings().Texts(), key, section);
}

} // namespace kvl::test
