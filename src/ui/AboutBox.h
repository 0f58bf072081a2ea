#pragma once
// The About box: product title, version and three short notes on four pages
// that the pictures cycle through.

#include <QDialog>

class QLabel;
class QStackedWidget;

class AboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);

    QStackedWidget *PageControl1 = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *Version = nullptr;

    void ProgramIconClick();
    void OKButtonClick();
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *makePage(const char *pictureName, const char *objectName, QWidget *text);
    void FormCreate();
};
