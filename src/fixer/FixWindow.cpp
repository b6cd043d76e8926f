#include "fixer/FixWindow.h"

#include "fixer/FixForm.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tq {

FixWindow::FixWindow(FixForm& form, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FixForm"));
    setWindowTitle(QStringLiteral("Mendalot"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Currently fixing:"), this));
    lblFile_ = new QLabel(this);
    lblFile_->setObjectName(QStringLiteral("lblFile"));
    QFont bold = lblFile_->font();
    bold.setBold(true);
    lblFile_->setFont(bold);
    layout->addWidget(lblFile_);
    setMinimumWidth(300);
    connect(&form, &FixForm::LblFileChanged, this, [this, &form] {
        lblFile_->setText(form.lblFile);
        lblFile_->repaint();
    });
}

} // namespace tq
