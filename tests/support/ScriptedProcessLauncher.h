#pragma once

#include "platform/ProcessLauncher.h"

#include <QFile>

namespace tq {

// Stands in for tonquill-register FILE MARKER. Registers: erases the marker at the
// pollsToEnd-th HasExited(), then has ended. Refuses: removes FILE as well and says why.
// Crashes: ends then, leaving the marker. NeverStarts: has ended at once.
class ScriptedProcessLauncher final : public ProcessLauncher {
public:
    enum class Outcome { Registers, Refuses, Crashes, NeverStarts };
    static constexpr char kRefusal[] = "tonquill-register: removed it: not a component";

    ScriptedProcessLauncher(Outcome outcome, int pollsToEnd)
        : outcome_(outcome), pollsToEnd_(outcome == Outcome::NeverStarts ? 0 : pollsToEnd) {}

    std::unique_ptr<LaunchedProcess> Start(const QString& program,
                                           const QStringList& arguments) override {
        started << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
        return std::make_unique<Process>(arguments.value(0), arguments.value(1), outcome_,
                                         pollsToEnd_);
    }

    QStringList started;

private:
    struct Process final : LaunchedProcess {
        Process(QString f, QString m, Outcome o, int polls)
            : file(std::move(f)), marker(std::move(m)), outcome(o), left(polls) {}
        bool HasExited() override {
            if (left > 0 && --left == 0 && outcome != Outcome::Crashes) {
                if (outcome == Outcome::Refuses) {
                    QFile::remove(file);
                }
                QFile::remove(marker);
            }
            return left == 0;
        }
        QString Output() override {
            return outcome == Outcome::Refuses ? QString::fromLatin1(kRefusal) : QString();
        }
        QString file;
        QString marker;
        Outcome outcome;
        int left;
    };

    Outcome outcome_;
    int pollsToEnd_;
};

} // namespace tq
