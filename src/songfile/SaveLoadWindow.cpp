#include "songfile/SaveLoadWindow.h"

#include "songfile/SaveLoadForm.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tq {

namespace {

QPushButton* MakeButton(const QString& name, const QString& caption, const char* colour,
                        QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFont(QFont(QStringLiteral("Arial"), 10));
    button->setMinimumSize(90, 40);
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid "
                                         "gray; } QPushButton:pressed { border-style: inset; }")
                              .arg(QLatin1String(colour)));
    return button;
}

} // namespace

SaveLoadWindow::SaveLoadWindow(SaveLoadForm& form, QWidget* parent)
    : QWidget(parent, Qt::Window), form_(form) {
    setObjectName(QStringLiteral("SaveLoadForm"));
    setWindowTitle(QStringLiteral("Save / Load"));

    buttons_ = new QFrame(this);
    auto* row = new QHBoxLayout(buttons_);
    row->setContentsMargins(0, 0, 0, 0);
    saveButton_ = MakeButton(QStringLiteral("SaveButton"), QStringLiteral("Save"),
                             "rgb(192, 255, 192)", buttons_);
    loadButton_ = MakeButton(QStringLiteral("LoadButton"), QStringLiteral("Load"),
                             "rgb(192, 255, 192)", buttons_);
    cancelButton_ = MakeButton(QStringLiteral("CancelButton"), QStringLiteral("Cancel"),
                               "rgb(255, 192, 192)", buttons_);
    int shape = 1;
    for (QPushButton* b : {saveButton_, loadButton_, cancelButton_}) {
        // Each button sits in a sunken box of its own.
        auto* box = new QFrame(buttons_);
        box->setObjectName(QStringLiteral("Shape%1").arg(shape++));
        box->setFrameStyle(QFrame::Box | QFrame::Sunken);
        auto* inner = new QVBoxLayout(box);
        inner->setContentsMargins(6, 6, 6, 6);
        b->setParent(box);
        inner->addWidget(b);
        row->addWidget(box);
    }

    infoText_ = new QLabel(this);
    infoText_->setObjectName(QStringLiteral("lblInfoText"));
    infoText_->setWordWrap(true);
    infoText_->setAlignment(Qt::AlignCenter);
    // Room for the longest caption, so the window never has to grow while a song loads.
    infoText_->setMinimumHeight(infoText_->fontMetrics().lineSpacing() * 6);

    // The label takes the buttons' place.
    pages_ = new QStackedWidget(this);
    pages_->addWidget(buttons_);
    pages_->addWidget(infoText_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(pages_);
    setMinimumWidth(340);

    connect(saveButton_, &QPushButton::clicked, &form_, &SaveLoadForm::SaveButtonClick);
    connect(loadButton_, &QPushButton::clicked, &form_, &SaveLoadForm::LoadButtonClick);
    connect(cancelButton_, &QPushButton::clicked, &form_, &SaveLoadForm::CancelButtonClick);
    connect(&form_, &SaveLoadForm::Changed, this, &SaveLoadWindow::Sync);
    connect(&form_, &SaveLoadForm::RepaintRequested, this, [this] {
        Sync();
        layout()->activate();
        repaint();
    });
    Sync();
}

void SaveLoadWindow::Sync() {
    pages_->setCurrentWidget(form_.InfoTextVisible() ? static_cast<QWidget*>(infoText_) : buttons_);
    // The reader's texts end their lines in CR LF.
    infoText_->setText(QString(form_.InfoText()).remove(QLatin1Char('\r')));
    if (form_.Visible() != isVisible()) {
        setVisible(form_.Visible());
        if (form_.Visible()) {
            raise();
            activateWindow();
        }
    }
}

void SaveLoadWindow::closeEvent(QCloseEvent* event) {
    // Hiding is the form's business, so the close is cancelled and handed over.
    event->ignore();
    form_.CloseBoxClick();
}

void SaveLoadWindow::keyPressEvent(QKeyEvent* event) {
    // Esc is Cancel, while Cancel is there to click (not while a song loads).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (cancelButton_->isVisible()) {
            cancelButton_->click();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace tq
