#include "U_About.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QUrl>
#include <algorithm>

#include "BannerImage.h"
#include "DesktopOpen.h"

namespace velmora::ui {

QPointer<TF_About> F_About;

namespace {

const char* const kLegalNotice =
    "本软件受著作权法及国际版权公约保护。未经著作权人书面许可，任何单位和个人不得复制、"
    "修改、出租或传播本软件的全部或任何部分；违者将依法承担相应的民事责任，情节严重的还将"
    "被追究刑事责任。";

QLabel* PlacedLabel(const QString& text, int left, int top, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

// Blue and underlined; tall enough for the underline, which lies below the text's descent in
// the Song face and would otherwise be cut off.
void ShowAsLink(QLabel& label) {
    QFont font = label.font();
    font.setUnderline(true);
    label.setFont(font);
    // On the dialog's button-face background a label would take the button-text colour.
    label.setForegroundRole(QPalette::Link);
    QPalette palette = label.palette();
    palette.setColor(QPalette::Link, Qt::blue);
    label.setPalette(palette);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QFontMetrics metrics(font);
    // The line is drawn a line width below its position under the baseline.
    label.resize(label.sizeHint().width(),
                 std::max(metrics.height(),
                          metrics.ascent() + metrics.underlinePos() + 2 * metrics.lineWidth()));
}

// A left button released over the control it was pressed on.
bool IsClick(const QMouseEvent& release, const QWidget& control) {
    return release.button() == Qt::LeftButton &&
           control.rect().contains(release.position().toPoint());
}

}  // namespace

TF_About::TF_About() : TVelmoraDialog(QStringLiteral("关于"), QSize(484, 285), TCloseBox::Shown) {
    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 0, 484, 70);
    Panel1->setAutoFillBackground(true);
    Panel1->setPalette(QPalette(Qt::white));
    Panel1->setEnabled(false);
    Image1 = new TBannerImage(Panel1);
    Image1->setGeometry(0, 0, 484, 70);
    Image1->LoadResource(QStringLiteral(":/about/banner.jpg"));

    Bevel1 = new QFrame(this);
    Bevel1->setGeometry(0, 70, 484, 2);
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    Panel2 = new QFrame(this);
    Panel2->setGeometry(0, 74, 484, 116);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setEnabled(false);
    memo = new QPlainTextEdit(QString::fromUtf8(kLegalNotice), Panel2);
    memo->setGeometry(21, 10, 443, 94);
    memo->setFrameStyle(QFrame::NoFrame);
    memo->setBackgroundRole(QPalette::Button);
    memo->viewport()->setBackgroundRole(QPalette::Button);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setReadOnly(true);
    // Disabled only for input: the notice keeps the ordinary text colour.
    QPalette notice = memo->palette();
    notice.setColor(QPalette::Disabled, QPalette::Text,
                    notice.color(QPalette::Active, QPalette::WindowText));
    memo->setPalette(notice);

    Label1 = PlacedLabel(QStringLiteral("CorvaneVelmora"), 36, 210, this);
    Label2 = PlacedLabel(QStringLiteral("ver:1.1"), 36, 234, this);
    Label3 = PlacedLabel(QStringLiteral("Copyright (C) 2026 Corvane"), 36, 258, this);
    Label8 = PlacedLabel(QStringLiteral("主页:"), 214, 257, this);
    Label9 = PlacedLabel(kHomePage, 250, 256, this);
    ShowAsLink(*Label9);
    Label9->setMouseTracking(true);
    Label9->installEventFilter(this);
}

bool TF_About::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label9) {
        switch (event->type()) {
            case QEvent::MouseMove:
                Label9MouseMove();
                break;
            case QEvent::Leave:
                Label9MouseLeave();
                break;
            case QEvent::MouseButtonPress:
                linkPressed_ = static_cast<QMouseEvent&>(*event).button() == Qt::LeftButton;
                break;
            case QEvent::MouseButtonDblClick:
                // The second press of a double click: its release is no click of its own.
                linkPressed_ = false;
                break;
            case QEvent::MouseButtonRelease:
                if (linkPressed_ && IsClick(static_cast<QMouseEvent&>(*event), *Label9)) {
                    Label9Click();
                }
                linkPressed_ = false;
                break;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// The pointer shape is the dialog's: the label has none of its own.
void TF_About::Label9MouseMove() {
    setCursor(Qt::PointingHandCursor);
}

void TF_About::Label9MouseLeave() {
    setCursor(Qt::ArrowCursor);
}

// Asks the desktop to open the home page; whether it could is not looked at.
void TF_About::Label9Click() {
    OpenWithDesktop(QUrl(kHomePage));
}

void TF_About::FormClose() {
    F_About = nullptr;
}

}  // namespace velmora::ui
