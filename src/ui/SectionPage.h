#pragma once
// One section of the map file as an editable text: the game rules, the map
// header, or one team's or player's block chosen by its slot number. The
// text field has its Apply, Recall and Clear commands; leaving the field
// stores it when Auto apply is on.

#include "MapDocument.h"

#include <QWidget>

class EditorContext;
class QAction;
class QComboBox;
class QToolBar;
class SectionMemo;

class SectionPage : public QWidget
{
    Q_OBJECT
public:
    SectionPage(vor4::SectionKind kind, EditorContext *context, QWidget *parent = nullptr);

    vor4::SectionKind kind() const { return m_kind; }
    SectionMemo *edit() const { return m_edit; }
    // The slot chooser of teams and players; null for the other sections.
    QComboBox *slotBox() const { return m_slotBox; }
    QAction *applyAction() const { return m_apply; }
    QAction *recallAction() const { return m_recall; }
    QAction *clearAction() const { return m_clear; }

    // The field shows the store; what was typed and not applied is dropped.
    void showStore();
    // The chooser lists every slot of the document: a map may bring more
    // than a new map's 18. The chosen slot stays while it exists.
    void listSlots();
    // After a load: the first slot is chosen.
    void showFirstSlot();
    // Stores the field as leaving it would; false when it could not be
    // stored.
    bool storeTyping();

private:
    bool hasSlots() const { return m_slotBox != nullptr; }
    const QList<QByteArray> &slotTexts() const;
    QString slotName() const;
    void showSlot();
    void apply();
    void recall();
    void clear();
    void left();

    vor4::SectionKind m_kind;
    EditorContext *m_context;
    SectionMemo *m_edit = nullptr;
    QComboBox *m_slotBox = nullptr;
    QAction *m_apply = nullptr;
    QAction *m_recall = nullptr;
    QAction *m_clear = nullptr;
    bool m_leaving = false; // a refusal waits until the focus has settled
};
