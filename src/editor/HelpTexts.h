#pragma once

#include <QString>

namespace tq {

struct HelpText {
    QString title;
    QString text;
};

// The information box of a mod's "?" button, by the button's name; null when unknown.
const HelpText* FindHelpText(const QString& buttonName);

} // namespace tq
