#include "Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

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
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Vor4DemoMapEditor"), text,
                        QMessageBox::Ok, parent);
        box.exec();
    }
};

std::unique_ptr<Dialogs> &current()
{
    static std::unique_ptr<Dialogs> dialogs = std::make_unique<DesktopDialogs>();
    return dialogs;
}

} // namespace

Dialogs &Dialogs::instance() { return *current(); }

void Dialogs::setInstance(std::unique_ptr<Dialogs> dialogs)
{
    current() = dialogs ? std::move(dialogs) : std::make_unique<DesktopDialogs>();
}
