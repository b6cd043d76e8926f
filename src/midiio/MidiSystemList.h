#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace tq {

// The ports of several MIDI systems in one numbered list, each name behind its system's
// prefix ("JACK: ", "ALSA: "), in the order the systems were added. System is a system's
// output or input side: MidiPortSystem or MidiSourceSystem.
template <typename System> class MidiSystemList {
public:
    void Add(QString prefix, std::unique_ptr<System> system) {
        systems_.push_back({std::move(prefix), std::move(system)});
    }

    // Lists again, each system's names as its names() gives them.
    QStringList List(QStringList (System::*names)()) {
        listed_.clear();
        QStringList all;
        for (const Entry& entry : systems_) {
            for (const QString& name : (*entry.system.*names)()) {
                listed_.push_back({entry.system.get(), name});
                all << entry.prefix + name;
            }
        }
        return all;
    }

    bool IsListed() const { return !listed_.empty(); }

    // Opens the port numbered as the last List gave it: the system that opened it, or null
    // with the reason. what names the side ("input", "output") in the reason.
    System* Open(int port, const QString& what, QString* why) {
        if (port < 0 || port >= static_cast<int>(listed_.size())) {
            if (why) {
                *why = listed_.empty()
                           ? QStringLiteral("There is no MIDI %1 port.").arg(what)
                           : QStringLiteral("There is no MIDI %1 port %2.").arg(what).arg(port);
            }
            return nullptr;
        }
        const Listed& chosen = listed_[static_cast<size_t>(port)];
        QString reason;
        if (!chosen.system->Open(chosen.name, &reason)) {
            if (why) {
                *why = reason;
            }
            return nullptr;
        }
        return chosen.system;
    }

private:
    struct Entry {
        QString prefix;
        std::unique_ptr<System> system;
    };
    struct Listed {
        System* system;
        QString name;
    };
    std::vector<Entry> systems_;
    std::vector<Listed> listed_;
};

} // namespace tq
