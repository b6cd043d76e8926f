#include "mods/SynchroWindow.h"

#include "mods/SynchroForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tq {

namespace {

QLabel* Wrapped(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QLineEdit* TimeBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaximumWidth(48);
    return box;
}

} // namespace

SynchroWindow::SynchroWindow(SynchroForm& form, QWidget* parent)
    : QWidget(parent, Qt::Window), form_(form) {
    namespace t = synchro_text;
    setObjectName(QStringLiteral("SynchroForm"));
    setWindowTitle(t::kCaption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Wrapped(t::kIntro, this));

    auto* timeFrame = new QGroupBox(t::kTimeFrame, this);
    // The wrapped help stands above the grid: spanning grid columns, it would not get the
    // height its wrapped lines need.
    auto* timeColumn = new QVBoxLayout(timeFrame);
    timeColumn->addWidget(Wrapped(t::kTimeHelp, timeFrame));
    auto* grid = new QGridLayout;
    timeColumn->addLayout(grid);
    txtHour = TimeBox("txtHour", timeFrame);
    txtMinute = TimeBox("txtMinute", timeFrame);
    txtSecond = TimeBox("txtSecond", timeFrame);
    const std::pair<const QString&, QLineEdit*> boxes[] = {
        {t::kHour, txtHour}, {t::kMinute, txtMinute}, {t::kSecond, txtSecond}};
    int column = 0;
    for (const auto& [caption, box] : boxes) {
        grid->addWidget(new QLabel(caption, timeFrame), 1, column++);
        grid->addWidget(box, 1, column++);
    }
    grid->addWidget(new QLabel(t::kCurrentTime, timeFrame), 2, 0, 1, 2);
    lblCurrentTime = new QLabel(timeFrame);
    lblCurrentTime->setObjectName(QStringLiteral("lblCurrentTime"));
    grid->addWidget(lblCurrentTime, 2, 2, 1, 4);
    layout->addWidget(timeFrame);

    auto* positionFrame = new QGroupBox(t::kPositionFrame, this);
    auto* positions = new QVBoxLayout(positionFrame);
    optStart = new QRadioButton(t::kOptStart, positionFrame);
    optStart->setObjectName(QStringLiteral("optStart"));
    optCurrent = new QRadioButton(t::kOptCurrent, positionFrame);
    optCurrent->setObjectName(QStringLiteral("optCurrent"));
    positions->addWidget(optStart);
    positions->addWidget(optCurrent);
    layout->addWidget(positionFrame);

    chkStartInDelay = new QCheckBox(t::kStartInDelay, this);
    chkStartInDelay->setObjectName(QStringLiteral("chkStartInDelay"));
    layout->addWidget(chkStartInDelay);
    layout->addWidget(Wrapped(t::kDelayHelp, this));

    btnWait = new QPushButton(this);
    btnWait->setObjectName(QStringLiteral("btnWait"));
    layout->addWidget(btnWait);
    lblWaiting = new QLabel(this);
    lblWaiting->setObjectName(QStringLiteral("lblWaiting"));
    lblWaiting->setAlignment(Qt::AlignCenter);
    lblWaiting->setAutoFillBackground(true);
    layout->addWidget(lblWaiting);
    // As tall as the wrapped texts need at this width.
    setFixedWidth(420);
    setMinimumHeight(layout->totalHeightForWidth(420));
    resize(420, minimumHeight());

    connect(txtHour, &QLineEdit::textEdited, &form_, &SynchroForm::SetTxtHour);
    connect(txtMinute, &QLineEdit::textEdited, &form_, &SynchroForm::SetTxtMinute);
    connect(txtSecond, &QLineEdit::textEdited, &form_, &SynchroForm::SetTxtSecond);
    connect(optStart, &QRadioButton::clicked, this, [this] { form_.SetOptStart(true); });
    connect(optCurrent, &QRadioButton::clicked, this, [this] { form_.SetOptStart(false); });
    connect(chkStartInDelay, &QCheckBox::clicked, &form_, &SynchroForm::SetChkStartInDelay);
    connect(btnWait, &QPushButton::clicked, &form_, [this] { form_.btnWait_Click(); });
    connect(&form_, &SynchroForm::ControlChanged, this, &SynchroWindow::Mirror);
    for (const char* name :
         {"txtHour", "txtMinute", "txtSecond", "TimeBoxesEnabled", "lblCurrentTime", "optStart",
          "chkStartInDelay", "btnWait", "lblWaiting"}) {
        Mirror(QString::fromLatin1(name));
    }
}

void SynchroWindow::Mirror(const QString& name) {
    const auto text = [](QLineEdit* box, const QString& value) {
        if (box->text() != value) {
            box->setText(value);
        }
    };
    if (name == QLatin1String("txtHour")) {
        text(txtHour, form_.txtHour);
    } else if (name == QLatin1String("txtMinute")) {
        text(txtMinute, form_.txtMinute);
    } else if (name == QLatin1String("txtSecond")) {
        text(txtSecond, form_.txtSecond);
    } else if (name == QLatin1String("TimeBoxesEnabled")) {
        for (QLineEdit* box : {txtHour, txtMinute, txtSecond}) {
            box->setEnabled(form_.TimeBoxesEnabled);
        }
    } else if (name == QLatin1String("lblCurrentTime")) {
        lblCurrentTime->setText(form_.lblCurrentTime);
    } else if (name == QLatin1String("optStart")) {
        (form_.optStart ? optStart : optCurrent)->setChecked(true);
    } else if (name == QLatin1String("chkStartInDelay")) {
        chkStartInDelay->setChecked(form_.chkStartInDelay);
        chkStartInDelay->setEnabled(form_.chkStartInDelayEnabled);
        chkStartInDelay->setToolTip(form_.chkStartInDelayTip);
    } else if (name == QLatin1String("btnWait")) {
        btnWait->setText(form_.btnWaitCaption);
        btnWait->setEnabled(form_.btnWaitEnabled);
    } else if (name == QLatin1String("lblWaiting")) {
        lblWaiting->setText(form_.lblWaitingCaption);
        QPalette palette = this->palette();
        if (form_.lblWaitingBackColour != SynchroForm::kWindowColour) {
            palette.setColor(QPalette::Window,
                             QColor::fromRgb(static_cast<QRgb>(form_.lblWaitingBackColour)));
        }
        lblWaiting->setPalette(palette);
    }
}

void SynchroWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
    if (closed_) {
        closed_();
    }
}

} // namespace tq
