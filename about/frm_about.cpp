#include "about/frm_about.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "about/link_label.h"
#include "resources/pictures.h"
#include "resources/string_table.h"
#include "support/error_handling.h"
#include "support/plenlib32.h"
#include "support/widgets/set_icons.h"
#include "support/win_api.h"

namespace pbp {

namespace {

constexpr qint32 kVbTrue = -1;
constexpr int kHandCursor = 1;

template <class Widget>
Widget* named(QWidget* parent, const char* objectName) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}

void makeLink(LinkLabel* link) {
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    link->setPalette(palette);
    link->setCursor(LoadResCursor(kHandCursor));
}

}  // namespace

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent),
      pctAboutSplash(named<QLabel>(this, "pctAboutSplash")),
      lblTitle(named<QLabel>(this, "lblTitle")),
      lblDescription(named<QLabel>(this, "lblDescription")),
      lblMarketingMessage1(named<QLabel>(this, "lblMarketingMessage1")),
      lblMarketingMessageLink1(named<LinkLabel>(this, "lblMarketingMessageLink1")),
      lblMarketingMessage2(named<QLabel>(this, "lblMarketingMessage2")),
      lblMarketingMessageLink2(named<LinkLabel>(this, "lblMarketingMessageLink2")),
      lblDisclaimer(named<QLabel>(this, "lblDisclaimer")),
      cmdOK(named<QPushButton>(this, "cmdOK")) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblTitle->setFont(titleFont);
    lblDescription->setWordWrap(true);
    lblDisclaimer->setWordWrap(true);
    pctAboutSplash->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    cmdOK->setDefault(true);

    auto* links = new QGridLayout;
    links->addWidget(lblMarketingMessage1, 0, 0);
    links->addWidget(lblMarketingMessageLink1, 1, 0);
    links->addWidget(lblMarketingMessage2, 2, 0);
    links->addWidget(lblMarketingMessageLink2, 3, 0);
    links->setVerticalSpacing(2);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblDescription);
    texts->addSpacing(8);
    texts->addLayout(links);
    texts->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(pctAboutSplash);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblDisclaimer, 1);
    buttons->addSpacing(12);
    buttons->addWidget(cmdOK, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setFixedWidth(520);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(lblMarketingMessageLink1, &LinkLabel::clicked, this,
            &frmAbout::lblMarketingMessageLink1_Click);
    connect(lblMarketingMessageLink2, &LinkLabel::clicked, this,
            &frmAbout::lblMarketingMessageLink2_Click);
}

QString frmAbout::BuildText() {
    const ProgramVersion version = programVersion();
    return tr("Build %1.%2.%3").arg(version.major).arg(version.minor).arg(version.revision);
}

void frmAbout::Display() {
    setWindowTitle(LoadResString(201));
    lblTitle->setText(ReplaceResourcePlaceHolderVBWrap(LoadResString(202), BuildText(),
                                                       QStringLiteral("%s"), kVbTrue));
    lblDescription->setText(LoadResString(203));
    lblDisclaimer->setText(LoadResString(206));
    cmdOK->setText(LoadResString(204));
    lblMarketingMessageLink1->setText(LoadResString(1501));
    lblMarketingMessageLink2->setText(LoadResString(1502));
    lblMarketingMessage1->setText(LoadResString(1503));
    lblMarketingMessage2->setText(LoadResString(1504));

    pctAboutSplash->setPixmap(LoadResPicture(101));
    SetIcon(this, QStringLiteral("IDI_ICON1"), true);
    makeLink(lblMarketingMessageLink1);
    makeLink(lblMarketingMessageLink2);

    exec();
}

void frmAbout::cmdOK_Click() {
    accept();
}

void frmAbout::lblMarketingMessageLink1_Click() {
    Guarded(QStringLiteral("frmAbout"), QStringLiteral("lblMarketingMessageLink1_Click"),
            [&] { OpenLink(lblMarketingMessageLink1); });
}

void frmAbout::lblMarketingMessageLink2_Click() {
    Guarded(QStringLiteral("frmAbout"), QStringLiteral("lblMarketingMessageLink2_Click"),
            [&] { OpenLink(lblMarketingMessageLink2); });
}

// A link that cannot be opened (no browser) is reported by the caller's guard.
void frmAbout::OpenLink(const LinkLabel* link) {
    ShellOpenOrFail(QStringLiteral("http://") + link->text());
}

}  // namespace pbp
