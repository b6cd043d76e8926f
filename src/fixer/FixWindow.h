#pragma once

#include <QWidget>

class QLabel;

namespace tq {

class FixForm;

// "Currently fixing:" and the file being handled.
class FixWindow final : public QWidget {
    Q_OBJECT
public:
    explicit FixWindow(FixForm& form, QWidget* parent = nullptr);

private:
    QLabel* lblFile_;
};

} // namespace tq
