#include "SectionPage.h"

#include "CommandButtons.h"
#include "EditorContext.h"
#include "Glyphs.h"
#include "SectionMemo.h"
#include "SetSectionLines.h"
#include "SetSlotText.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QToolBar>

namespace {

struct Look
{
    const char *label;    // on the bar, none for the map header
    const char *name;     // of the page's widgets: "rules" gives "rulesEdit"
    const char *slotHint; // the chooser's tool tip, for teams and players
};

Look lookOf(vor4::SectionKind kind)
{
    switch (kind) {
    case vor4::SectionKind::Game: return {"Rules", "rules", nullptr};
    case vor4::SectionKind::Team: return {"Team", "team", "Team #"};
    case vor4::SectionKind::Player: return {"Player ", "player", "Player #"};
    case vor4::SectionKind::Map:
    case vor4::SectionKind::Signs: break;
    }
    return {nullptr, "mapHeader", nullptr};
}

QLabel *barLabel(const char *text)
{
    auto *label = new QLabel(QString::fromLatin1(text));
    label->setAlignment(Qt::AlignCenter);
    label->setContentsMargins(6, 0, 6, 0);
    return label;
}

} // namespace

SectionPage::SectionPage(vor4::SectionKind kind, EditorContext *context, QWidget *parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_context(context)
{
    const Look look = lookOf(kind);
    const QString name = QLatin1String(look.name);
    setObjectName(name + QStringLiteral("Page"));
    m_edit = new SectionMemo;
    m_edit->setObjectName(name + QStringLiteral("Edit"));
    m_edit->setProperty("shortcutGroup", QStringLiteral("Text fields"));
    connect(m_edit, &SectionMemo::exited, this, &SectionPage::left);
    connect(m_edit, &SectionMemo::refused, context, &EditorContext::say);

    m_apply = fieldCommand(m_edit, name + QStringLiteral("Apply"), glyph("apply"), QStringLiteral("Store this text into the map"), QKeySequence(Qt::CTRL | Qt::Key_Return));
    m_recall = fieldCommand(m_edit, name + QStringLiteral("Recall"), glyph("recall"), QStringLiteral("Bring back the text stored in the map"), QKeySequence(Qt::CTRL | Qt::Key_R));
    m_clear = fieldCommand(m_edit, name + QStringLiteral("Clear"), glyph("clear"), QStringLiteral("Empty this text field (Apply stores the empty text)"),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
    connect(m_apply, &QAction::triggered, this, &SectionPage::apply);
    connect(m_recall, &QAction::triggered, this, &SectionPage::recall);
    connect(m_clear, &QAction::triggered, this, &SectionPage::clear);

    // The map header sits beside the plot editor with its buttons in a
    // column; the other sections fill a page under a bar.
    const bool beside = kind == vor4::SectionKind::Map;
    QToolBar *bar = pageToolBar(name + QStringLiteral("ToolBar"), beside ? Qt::Vertical : Qt::Horizontal);
    if (look.label) {
        bar->addWidget(barLabel(look.label));
        if (look.slotHint) {
            m_slotBox = new QComboBox;
            m_slotBox->setObjectName(name + QStringLiteral("SlotBox"));
            m_slotBox->setToolTip(QLatin1String(look.slotHint));
            m_slotBox->setFixedWidth(60);
            for (int i = 0; i < vor4::Document::SlotCount; ++i)
                m_slotBox->addItem(QString::number(i));
            m_slotBox->setCurrentIndex(-1);
            connect(m_slotBox, &QComboBox::activated, this, &SectionPage::showSlot);
            bar->addWidget(m_slotBox);
        }
        bar->addSeparator();
    }
    addCommandButton(bar, m_apply, name + QStringLiteral("ApplyButton"));
    addCommandButton(bar, m_recall, name + QStringLiteral("RecallButton"));
    addCommandButton(bar, m_clear, name + QStringLiteral("ClearButton"));

    QBoxLayout *layout = beside ? static_cast<QBoxLayout *>(new QHBoxLayout(this)) : new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (beside) {
        m_edit->setMinimumSize(50, 100);
        m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        layout->addWidget(m_edit);
        layout->addWidget(bar);
    } else {
        m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        layout->addWidget(bar);
        layout->addWidget(m_edit);
    }
}

const QList<QByteArray> &SectionPage::slotTexts() const
{
    const vor4::Document &doc = m_context->stores();
    return m_kind == vor4::SectionKind::Team ? doc.TeamTexts : doc.PlayerTexts;
}

QString SectionPage::slotName() const
{
    return m_kind == vor4::SectionKind::Team ? QStringLiteral("team") : QStringLiteral("player");
}

void SectionPage::showStore()
{
    const vor4::Document &doc = m_context->stores();
    if (!hasSlots()) {
        m_edit->setLines(m_kind == vor4::SectionKind::Game ? doc.GameLines : doc.MapLines);
        return;
    }
    const int row = m_slotBox->currentIndex();
    if (row >= 0 && row < slotTexts().size())
        m_edit->setBytes(slotTexts()[row]);
    else
        m_edit->clear();
}

void SectionPage::listSlots()
{
    if (!hasSlots())
        return;
    const qsizetype count = slotTexts().size();
    if (m_slotBox->count() == count)
        return;
    const int index = m_slotBox->currentIndex();
    const QSignalBlocker quiet(m_slotBox);
    while (m_slotBox->count() > count)
        m_slotBox->removeItem(m_slotBox->count() - 1);
    for (qsizetype i = m_slotBox->count(); i < count; ++i)
        m_slotBox->addItem(QString::number(i));
    m_slotBox->setCurrentIndex(index < count ? index : -1);
}

void SectionPage::showFirstSlot()
{
    if (hasSlots())
        m_slotBox->setCurrentIndex(0);
    showStore();
}

void SectionPage::showSlot()
{
    const int row = m_slotBox->currentIndex();
    if (row >= 0 && row < slotTexts().size())
        m_edit->setBytes(slotTexts()[row]);
}

void SectionPage::apply()
{
    if (hasSlots()) {
        const int row = m_slotBox->currentIndex();
        if (row < 0 || row >= slotTexts().size()) {
            m_context->say(QStringLiteral("No %1 selected: nothing stored").arg(slotName()));
            return;
        }
        QByteArray text;
        if (!m_edit->bytes(&text))
            return m_context->warnNotSingleByte();
        m_context->push(new vor4::SetSlotText(m_context->document(), m_kind, row, text,
                                              QStringLiteral("Apply %1 %2").arg(slotName()).arg(row)),
                        m_leaving);
        return;
    }
    bool ok = false;
    const QList<QByteArray> lines = m_edit->lines(&ok);
    if (!ok)
        return m_context->warnNotSingleByte();
    const bool game = m_kind == vor4::SectionKind::Game;
    m_context->push(new vor4::SetSectionLines(m_context->document(), m_kind, lines,
                                              game ? QStringLiteral("Apply game rules")
                                                   : QStringLiteral("Apply map header")),
                    m_leaving);
}

void SectionPage::recall()
{
    if (!hasSlots())
        showStore();
    else if (m_slotBox->currentIndex() < 0)
        m_context->say(QStringLiteral("No %1 selected: nothing to recall").arg(slotName()));
    else
        showSlot();
}

void SectionPage::clear()
{
    m_edit->clear();
}

void SectionPage::left()
{
    if (m_context->autoApply()) {
        m_leaving = true;
        apply();
        m_leaving = false;
    }
}

bool SectionPage::storeTyping()
{
    QByteArray text;
    const bool storable = m_edit->bytes(&text);
    m_context->forgetRefusal();
    left();
    return !m_context->lastRefused() && (storable || !m_context->autoApply());
}
