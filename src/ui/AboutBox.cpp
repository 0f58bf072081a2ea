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

    PageControl1 = new QStackedWidget(this);
    PageControl1->setGeometry(0, 0, 367, 169);

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
    ProductName = line("ProductName", QStringLiteral("Vor4 Map Editor"), 0, true);
    Version = line("Version", QStringLiteral("Version"), 24);
    line("Copyright", QStringLiteral("Copyright \u00a9 2026 Vor4 team"), 80);
    line("Comments", QStringLiteral("Comments to the Vor4 team"), 104);

    auto note = [](const char *text) {
        auto *label = new QLabel(QString::fromUtf8(text));
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setFixedSize(185, 113);
        return label;
    };
    PageControl1->addWidget(makePage("programicon", "ProgramIcon", first));
    PageControl1->addWidget(makePage("game", "Image3",
        note("If you like building maps, play Orwendel's Vorland 4. Many thanks to "
             "everyone who made it and keeps its world-builder open.")));
    PageControl1->addWidget(makePage("blank", "Image1", note("")));
    PageControl1->addWidget(makePage("toolkit", "Image2",
        note("This editor is built only from its toolkit's standard controls, so some "
             "functions are less friendly than they could be. Sorry for that.")));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry(8, 176, 353, 30);
    ok->setDefault(true);
    ok->setAutoDefault(true);
    connect(ok, &QPushButton::clicked, this, &AboutBox::OKButtonClick);

    FormCreate();
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

void AboutBox::FormCreate()
{
    // The build carries the program's version; without it the label keeps "Version".
    const QString version = QStringLiteral(VOR4_VERSION).trimmed();
    if (!version.isEmpty())
        Version->setText(QStringLiteral("Version ") + version);
    PageControl1->setCurrentIndex(0);
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
    PageControl1->setCurrentIndex(0); // FormShow: always opens on its first page
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
            ProgramIconClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutBox::ProgramIconClick()
{
    PageControl1->setCurrentIndex((PageControl1->currentIndex() + 1) % PageControl1->count());
}

void AboutBox::OKButtonClick() { hide(); }
