#pragma once
// The About box: the product's name and version and three short notes, on
// four pages that a click on the picture steps through. Not modal; OK hides it.

#include <QDialog>

class QLabel;
class QStackedWidget;

class AboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);

    // The four pages; it opens on the first.
    QStackedWidget *pages() const { return m_pages; }
    QLabel *productLabel() const { return m_productLabel; }
    QLabel *versionLabel() const { return m_versionLabel; }

    // The next page, after the last the first: what a click on a picture does.
    void nextPage();
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *makePage(const char *pictureName, const char *objectName, QWidget *text);

    QStackedWidget *m_pages = nullptr;
    QLabel *m_productLabel = nullptr;
    QLabel *m_versionLabel = nullptr;
};
