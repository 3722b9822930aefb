#include "about/frmAbout.h"
#include "Version.h"

#include "platform/MessageBoxes.h"
#include "platform/Named.h"
#include "platform/Shell.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFontMetrics>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtGlobal>

namespace {

// The box is laid out in twips, 15 to a pixel on a 96 dpi screen.
int px(int twips) {
    return qRound(twips / 15.0);
}

QRect twipsRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

// The size of the text the box is designed for.
constexpr qreal smallPoints = 8.25;

QFont fontOf(const QWidget* widget, qreal points, bool bold, bool italic = false,
             bool underline = false) {
    QFont font = widget->font();
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

// The box is designed for narrower faces than this desktop may have: a
// caption that would not fit its label is set smaller until it does.
void fitToWidth(QLabel* label) {
    QFont font = label->font();
    constexpr qreal smallest = 6;
    while (font.pointSizeF() > smallest &&
           QFontMetrics(font).horizontalAdvance(label->text()) > label->width())
        font.setPointSizeF(font.pointSizeF() - 0.25);
    label->setFont(font);
}

// The file's paragraphs as single lines, so the box wraps them to its own
// width rather than breaking each file line in two.
QString unwrapped(const QString& text) {
    QStringList paragraphs = text.trimmed().split(QStringLiteral("\n\n"));
    for (QString& paragraph : paragraphs)
        paragraph.replace(u'\n', u' ');
    return paragraphs.join(QStringLiteral("\n\n"));
}

// The palette's link colour, made lighter on a dark background or darker on
// a light one until it stands out from it; the text colour if it never does.
QColor readableLinkColour(const QPalette& palette) {
    const int ground = qGray(palette.color(QPalette::Window).rgb());
    const auto readable = [ground](const QColor& colour) {
        return qAbs(qGray(colour.rgb()) - ground) >= 96;
    };
    QColor link = palette.color(QPalette::Link);
    for (int step = 0; step < 4 && !readable(link); ++step)
        link = ground < 128 ? link.lighter(150) : link.darker(150);
    return readable(link) ? link : palette.color(QPalette::WindowText);
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    named(this, "frmAbout");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    buildControls();
    Form_Load();
}

void frmAbout::buildControls() {
    setFixedSize(px(6000), px(5850));
    setFont(fontOf(this, smallPoints, false));

    auto label = [this](const char* name, QRect place) {
        auto* l = new QLabel(this);
        named(l, name);
        l->setGeometry(place);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };

    picIcon = label("picIcon", twipsRect(120, 120, 1560, 1680));
    picIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picIcon->setLineWidth(2);
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setPixmap(QIcon(QStringLiteral(":/images/logo.svg")).pixmap(100, 100));
    picIcon->setAccessibleName(tr("Orvanta Contacts logo"));

    lblTitle = label("lblTitle", twipsRect(1980, 120, 3885, 480));
    lblTitle->setFont(fontOf(this, 12, true));
    lblVersion = label("lblVersion", twipsRect(1980, 660, 3885, 225));
    lblDescription = label("lblDescription", twipsRect(1980, 1005, 3885, 930));

    // The maker's name, one label, wrapped under the picture.
    lblMaker = label("lblMaker", twipsRect(120, 1920, 1800, 780));
    lblMaker->setFont(fontOf(this, 10, true));
    lblMaker->setWordWrap(true);
    lblMaker->setText(QStringLiteral("Orvanta Software Works"));
    buildLinks();

    // An etched separator: a light line 2 wide over a darker one, drawn
    // beneath the labels that overlap it.
    const struct {
        QRect place;
        QPalette::ColorRole colour;
    } lines[] = {{QRect(px(120), px(2760), px(5669 - 120), 2), QPalette::Light},
                 {QRect(px(120), px(2790), px(5880 - 120), 1), QPalette::Mid}};
    for (const auto& line : lines) {
        auto* frame = new QFrame(this);
        named(frame, QStringLiteral("Line1_%1").arg(Line1.size()));
        frame->setGeometry(line.place);
        frame->setAutoFillBackground(true);
        frame->setBackgroundRole(line.colour);
        frame->lower();
        Line1 << frame;
    }

    // The licence the program ships under, as the LICENSE file words it.
    txtLicence = new QPlainTextEdit(this);
    named(txtLicence, "txtLicence");
    txtLicence->setGeometry(twipsRect(120, 2880, 5760, 2400));
    txtLicence->setReadOnly(true);
    txtLicence->setTabChangesFocus(true);
    txtLicence->setAccessibleName(tr("Licence"));
    QFile licence(QStringLiteral(":/LICENSE"));
    if (licence.open(QIODevice::ReadOnly | QIODevice::Text))
        txtLicence->setPlainText(unwrapped(QString::fromUtf8(licence.readAll())));

    // OK is both the default and the cancel button: Enter and Esc press it.
    cmdOK = new QPushButton(tr("OK"), this);
    named(cmdOK, "cmdOK");
    cmdOK->setGeometry(twipsRect(120, 5400, 2700, 345));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);
    cmdSysInfo = new QPushButton(tr("&System Info..."), this);
    named(cmdSysInfo, "cmdSysInfo");
    cmdSysInfo->setGeometry(twipsRect(3120, 5400, 2772, 345));
    cmdSysInfo->setAutoDefault(false);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    setTabOrder(cmdOK, cmdSysInfo);
    setTabOrder(cmdSysInfo, lblWebsite);
    setTabOrder(lblWebsite, lblEmail);
    setTabOrder(lblEmail, txtLicence);
    cmdOK->setFocus(); // the focus when the box opens
}

// The two links: underlined in a link colour that reads on this palette's
// background, a pointing hand over them, a Tab stop each with a frame while
// focused; a click, Space or Enter hands the link to the desktop
// (eventFilter).
void frmAbout::buildLinks() {
    auto label = [this](const char* name, QRect place, const QString& text) {
        auto* link = new QLabel(text, this);
        named(link, name);
        link->setGeometry(place);
        link->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        link->setFont(fontOf(this, smallPoints, false, false, true));
        QPalette colours = link->palette();
        colours.setColor(QPalette::Link, readableLinkColour(colours));
        link->setPalette(colours);
        link->setForegroundRole(QPalette::Link);
        link->setCursor(Qt::PointingHandCursor);
        link->setFocusPolicy(Qt::StrongFocus);
        link->setAccessibleName(text);
        link->installEventFilter(this);
        fitToWidth(link);
        return link;
    };
    lblWebsite = label("lblWebsite", twipsRect(1980, 2040, 1545, 480),
                       QStringLiteral("www.orvanta.example"));
    lblEmail = label("lblEmail", twipsRect(4020, 2040, 1848, 480),
                     QStringLiteral("support@orvanta.example"));
}

void frmAbout::Form_Load() {
    setWindowTitle(tr("About %1").arg(platform::applicationTitle()));
    lblVersion->setText(tr("Version %1.%2.%3")
                            .arg(ORVANTA_VERSION_MAJOR)
                            .arg(ORVANTA_VERSION_MINOR)
                            .arg(ORVANTA_VERSION_PATCH));
    lblTitle->setText(platform::applicationTitle());
    // The platform line names the desktop the program runs on.
    lblDescription->setText(tr("Linux desktop (Qt %1)\n\nCopyright © Orvanta Software Works\n"
                               "Distributed by Orvanta Software Works")
                                .arg(QLatin1String(qVersion())));
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    auto* link = qobject_cast<QLabel*>(watched);
    if (link != lblEmail && link != lblWebsite)
        return QDialog::eventFilter(watched, event);
    bool followed = false;
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        followed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        followed = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        link->setFrameStyle(event->type() == QEvent::FocusIn ? QFrame::Box | QFrame::Plain
                                                             : QFrame::NoFrame);
        break;
    default:
        break;
    }
    if (!followed)
        return QDialog::eventFilter(watched, event);
    if (link == lblEmail)
        lblEmail_Click();
    else
        lblWebsite_Click();
    return true;
}

// A failed link opening is not reported: the desktop shows its own notice
// when it has no handler.
void frmAbout::lblEmail_Click() {
    platform::shell().openUrl(QStringLiteral("mailto:") + lblEmail->text());
}

void frmAbout::lblWebsite_Click() {
    platform::shell().openUrl(QStringLiteral("http://") + lblWebsite->text());
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::StartSysInfo() {
    platform::Shell& shell = platform::shell();
    QString path;
    // The viewer's own entry names the program; it is started as it stands.
    if (GetKeyValue(platform::HKEY_LOCAL_MACHINE, platform::systemInfoKey(),
                    platform::systemInfoValue(), path)) {
        if (shell.startProgram(path))
            return;
    } else if (GetKeyValue(platform::HKEY_LOCAL_MACHINE,
                           QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                           QStringLiteral("MSINFO"), path)) {
        // The shared tools entry names a folder that should hold the viewer.
        const QString viewer = QDir(path).filePath(QStringLiteral("MSINFO32.EXE"));
        if (shell.fileExists(viewer) && shell.startProgram(viewer))
            return;
    }
    platform::showMessage(tr("System Information Is Unavailable At This Time"));
}

// The keys are opened for reading only: that is all the box needs, and an
// ordinary user, who has no write rights on machine-wide keys, is not refused.
bool frmAbout::GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                           QString& KeyVal) {
    const std::optional<QString> value = platform::shell().readRegistryString(
        KeyRoot, KeyName, SubKeyRef, platform::RegistryAccess::Read);
    KeyVal = value.value_or(QString());
    return value.has_value();
}
