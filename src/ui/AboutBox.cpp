#include "AboutBox.h"

#include "Glyphs.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>

namespace {
// The text column of every page: from left 152 to the bevel's inner edge.
constexpr int TextWidth = 204;
} // namespace

AboutBox::AboutBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(367, 214);
    setModal(false);

    m_pages = new QStackedWidget(this);
    m_pages->setGeometry(0, 0, 367, 169);

    // Page 0: four one-line labels.
    auto *first = new QWidget;
    first->setFixedSize(TextWidth, 125);
    const auto line = [first](const char *name, const QString &text, int top, bool bold = false) {
        auto *label = new QLabel(text, first);
        label->setObjectName(QLatin1String(name));
        QFont font = label->font();
        font.setBold(bold);
        label->setFont(font);
        label->setGeometry(0, top, TextWidth, label->sizeHint().height());
        return label;
    };
    m_productLabel = line("productLabel", QStringLiteral("Vor4 Map Editor"), 0, true);
    m_versionLabel = line("versionLabel", QStringLiteral("Version"), 24);
    // The build carries the program's version; without it the label keeps "Version".
    const QString version = QStringLiteral(VOR4_VERSION).trimmed();
    if (!version.isEmpty())
        m_versionLabel->setText(QStringLiteral("Version ") + version);
    line("copyrightLabel", QStringLiteral("Copyright \u00a9 2026 Vor4 team"), 80);
    line("commentsLabel", QStringLiteral("Comments to the Vor4 team"), 104);

    auto note = [](const char *text) {
        auto *label = new QLabel(QString::fromUtf8(text));
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setFixedSize(185, 113);
        return label;
    };
    m_pages->addWidget(makePage("programicon", "programIcon", first));
    m_pages->addWidget(makePage("game", "gamePicture",
        note("If you like building maps, play Orwendel's Vorland 4. Many thanks to "
             "everyone who made it and keeps its world-builder open.")));
    m_pages->addWidget(makePage("blank", "blankPicture", note("")));
    m_pages->addWidget(makePage("toolkit", "toolkitPicture",
        note("This editor is built only from its toolkit's standard controls, so some "
             "functions are less friendly than they could be. Sorry for that.")));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(8, 176, 353, 30);
    ok->setDefault(true);
    ok->setAutoDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
    m_pages->setCurrentIndex(0);
}

QWidget *AboutBox::makePage(const char *pictureName, const char *objectName, QWidget *text)
{
    auto *page = new QWidget;
    auto *frame = new QFrame(page);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setGeometry(6, 6, 367 - 12, 169 - 12);
    auto *pictureFrame = new QFrame(frame);
    pictureFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
    pictureFrame->setGeometry(10, 10, 121, 129);
    auto *image = new QLabel(pictureFrame);
    image->setObjectName(QLatin1String(objectName));
    image->setGeometry(1, 1, 119, 127);
    image->setScaledContents(true);
    image->setPixmap(picture(pictureName, QSize(121, 129)));
    image->setCursor(Qt::PointingHandCursor);
    image->installEventFilter(this);
    text->setParent(frame);
    text->move(146, 18);
    return page;
}

void AboutBox::setVisible(bool visible)
{
    // Placed in the centre of the screen each time it opens, not over the
    // main window as dialogs are by default.
    if (visible && !isVisible()) {
        if (const QScreen *s = screen())
            setGeometry(rect().translated(s->geometry().center() - rect().center()));
    }
    QDialog::setVisible(visible);
}

void AboutBox::showEvent(QShowEvent *event)
{
    m_pages->setCurrentIndex(0); // always opens on its first page
    QDialog::showEvent(event);
}

void AboutBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept(); // no cancel button: Escape does nothing
        return;
    }
    QDialog::keyPressEvent(event);
}

bool AboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && qobject_cast<QLabel *>(watched)) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            nextPage();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutBox::nextPage()
{
    m_pages->setCurrentIndex((m_pages->currentIndex() + 1) % m_pages->count());
}
