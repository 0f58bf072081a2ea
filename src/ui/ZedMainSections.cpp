// The section editors: one set of handlers for the four section memos,
// acting through the page binding.

#include "MainWindow.h"

#include "Dialogs.h"
#include "SectionMemo.h"
#include "SetSectionLines.h"
#include "SetSlotText.h"

#include <QComboBox>
#include <QToolButton>
#include <QTimer>

void MainWindow::clearPageBinding()
{
    ActiveMemo = nullptr;
    ActiveTexts = nullptr;
    ActiveCombo = nullptr;
    ActiveLines = nullptr;
}

void MainWindow::setPageBinding(int index)
{
    clearPageBinding();
    switch (index) {
    case RulesPage:
        ActiveMemo = GMemo;
        ActiveLines = &vor4::Document::GameLines;
        break;
    case TeamsPage:
        ActiveMemo = DMemo;
        ActiveTexts = &vor4::Document::TeamTexts;
        ActiveCombo = TeamComboBox;
        break;
    case PlayersPage:
        ActiveMemo = PMemo;
        ActiveTexts = &vor4::Document::PlayerTexts;
        ActiveCombo = PlayerComboBox;
        break;
    case MapPage:
        ActiveMemo = MMemo;
        ActiveLines = &vor4::Document::MapLines;
        break;
    default:
        break;
    }
}

namespace {
bool isRowBinding(const MainWindow &w) { return w.ActiveTexts && w.ActiveCombo; }
} // namespace

void MainWindow::GeneralComboBoxSelect()
{
    if (!ActiveMemo || !isRowBinding(*this) || m_loading)
        return;
    const int row = ActiveCombo->currentIndex();
    if (row < 0 || row >= (Doc.*ActiveTexts).size())
        return;
    ActiveMemo->setBytes((Doc.*ActiveTexts)[row]);
}

void MainWindow::GeneralApplyBtnClick()
{
    if (!ActiveMemo || m_loading)
        return;
    if (isRowBinding(*this)) {
        const int row = ActiveCombo->currentIndex();
        if (row < 0 || row >= (Doc.*ActiveTexts).size()) {
            setStatusText(0, ActiveCombo == TeamComboBox ? QStringLiteral("No team selected: nothing stored")
                                                         : QStringLiteral("No player selected: nothing stored"));
            return;
        }
        QByteArray text;
        if (!ActiveMemo->bytes(&text))
            return warnNotSingleByte();
        const bool team = ActiveTexts == &vor4::Document::TeamTexts;
        pushStep(new vor4::SetSlotText(&MapDoc, team ? vor4::SectionKind::Team : vor4::SectionKind::Player, row, text,
                                       team ? QStringLiteral("Apply team %1").arg(row)
                                            : QStringLiteral("Apply player %1").arg(row)));
    } else if (ActiveLines) {
        bool ok = false;
        const QList<QByteArray> lines = ActiveMemo->lines(&ok);
        if (!ok)
            return warnNotSingleByte();
        const bool game = ActiveLines == &vor4::Document::GameLines;
        pushStep(new vor4::SetSectionLines(&MapDoc, game ? vor4::SectionKind::Game : vor4::SectionKind::Map, lines,
                                           game ? QStringLiteral("Apply game rules")
                                                : QStringLiteral("Apply map header")));
    }
}

void MainWindow::GeneralRecallBtnClick()
{
    if (!ActiveMemo || m_loading)
        return;
    if (isRowBinding(*this)) {
        if (ActiveCombo->currentIndex() < 0) {
            setStatusText(0, ActiveCombo == TeamComboBox ? QStringLiteral("No team selected: nothing to recall")
                                                         : QStringLiteral("No player selected: nothing to recall"));
            return;
        }
        GeneralComboBoxSelect();
    } else if (ActiveLines) {
        ActiveMemo->setLines(Doc.*ActiveLines);
    }
}

void MainWindow::GeneralClearBtnClick()
{
    if (ActiveMemo && !m_loading)
        ActiveMemo->clear();
}

void MainWindow::MemoExit()
{
    if (AutoApplyBtn->isChecked() && ActiveMemo && !m_loading) {
        m_leavingMemo = true;
        GeneralApplyBtnClick();
        m_leavingMemo = false;
    }
}

void MainWindow::warnNotSingleByte()
{
    const QString text = QStringLiteral(
        "The text holds characters that a map file cannot store (only single-byte "
        "Latin-1 characters can be saved). Nothing was stored; change those characters and apply again.");
    setStatusText(0, QStringLiteral("Not stored: text has characters a map file cannot hold"));
    // Not from inside a focus change: the message box would take the focus.
    QTimer::singleShot(0, this, [this, text] { Dialogs::instance().error(this, text); });
}
