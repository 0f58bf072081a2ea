#include "Dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

class DesktopDialogs : public Dialogs
{
public:
    QString openFileName(QWidget *parent, const QString &folder, const QString &filter) override
    {
        QFileDialog dialog(parent, QString(), folder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile); // a missing name is handled by Open itself
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    }

    QString saveFileName(QWidget *parent, const QString &folder, const QString &proposed,
                         const QString &filter) override
    {
        QFileDialog dialog(parent, QString(), folder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
        if (!proposed.isEmpty())
            dialog.selectFile(proposed);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    }

    void error(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Vor4DemoMapEditor"), shown(text),
                        QMessageBox::Ok, parent);
        box.exec();
    }

    void information(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Vor4DemoMapEditor"), shown(text), QMessageBox::Ok,
                        parent);
        box.exec();
    }

    SaveChoice askSaveChanges(QWidget *parent, const QString &name) override
    {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Vor4DemoMapEditor"),
                        QStringLiteral("Save changes to %1?").arg(name),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
        box.setInformativeText(QStringLiteral("Your changes will be lost if you don't save them."));
        box.setDefaultButton(QMessageBox::Save);
        switch (box.exec()) {
        case QMessageBox::Save: return SaveChoice::Save;
        case QMessageBox::Discard: return SaveChoice::Discard;
        default: return SaveChoice::Cancel;
        }
    }

    bool ask(QWidget *parent, const QString &question) override
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Vor4DemoMapEditor"), shown(question),
                        QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }

    QString text(QWidget *parent, const QString &label) override
    {
        return QInputDialog::getText(parent, QStringLiteral("Vor4DemoMapEditor"), label).trimmed();
    }

    int choose(QWidget *parent, const QString &question, const QStringList &buttons) override
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Vor4DemoMapEditor"), shown(question), QMessageBox::NoButton,
                        parent);
        QList<QAbstractButton *> added;
        for (const QString &text : buttons)
            added << box.addButton(text, added.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::ActionRole);
        if (!added.isEmpty()) {
            box.setDefaultButton(qobject_cast<QPushButton *>(added.first()));
            box.setEscapeButton(added.last());
        }
        box.exec();
        const int chosen = int(added.indexOf(box.clickedButton()));
        return chosen < 0 ? int(buttons.size()) - 1 : chosen;
    }
};

std::unique_ptr<Dialogs> &current()
{
    static std::unique_ptr<Dialogs> dialogs = std::make_unique<DesktopDialogs>();
    return dialogs;
}

} // namespace

Dialogs &Dialogs::instance() { return *current(); }

QString Dialogs::shown(const QString &text)
{
    return text.size() <= MaxMessage ? text : text.left(MaxMessage - 1) + QChar(0x2026);
}

void Dialogs::information(QWidget *, const QString &) {}

int Dialogs::choose(QWidget *, const QString &, const QStringList &buttons) { return int(buttons.size()) - 1; }

void Dialogs::setInstance(std::unique_ptr<Dialogs> dialogs)
{
    current() = dialogs ? std::move(dialogs) : std::make_unique<DesktopDialogs>();
}
