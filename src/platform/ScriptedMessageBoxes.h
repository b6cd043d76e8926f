#pragma once

#include "platform/MessageBoxes.h"

#include <deque>
#include <functional>
#include <vector>

namespace tq {

// Message boxes for tests and headless runs: each box is recorded and answered from a
// script; when the script is empty the default answer is given (OK for an OK box).
class ScriptedMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        QString title;
        QString text;
        MsgButtons buttons;
        MsgIcon icon;
        bool modal = true;
    };

    MsgAnswer Show(const QString& title, const QString& text, MsgButtons buttons,
                   MsgIcon icon) override;

    void Notify(const QString& title, const QString& text, MsgIcon icon) override;

    void Answer(MsgAnswer a) { script_.push_back(a); }
    // Runs while a modal box is up, as the time a user takes to answer it.
    void WhileShown(std::function<void()> user) { whileShown_ = std::move(user); }
    void SetDefaultAnswer(MsgAnswer a) { defaultAnswer_ = a; }

    const std::vector<Shown>& Boxes() const { return shown_; }
    void Clear() { shown_.clear(); }

private:
    std::deque<MsgAnswer> script_;
    MsgAnswer defaultAnswer_ = MsgAnswer::Ok;
    std::vector<Shown> shown_;
    std::function<void()> whileShown_;
};

} // namespace tq
