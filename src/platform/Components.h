#pragma once

#include <QString>

#include <memory>
#include <optional>

class QObject;
class QPluginLoader;

// The interface ids of the run-time components, with their version. A plugin names its
// interface with the id; the version is the "Version" of its metadata as well.
#define TQ_MIDIIO_IID "org.tonquill.MidiIo/2"
#define TQ_MIDIFILE_IID "org.tonquill.MidiFile/1"

namespace tq {

// A component file the program loads at run time: a Qt plugin with a versioned interface.
struct ComponentKind {
    const char* fileName;
    const char* iid;
    int version;
};

inline constexpr ComponentKind kMidiIoComponent{"midiio32.ocx", TQ_MIDIIO_IID, 2};
inline constexpr ComponentKind kMidiFileComponent{"midifl32.ocx", TQ_MIDIFILE_IID, 1};

// The component of this file name (any folder), or nullptr for a file that is not one of
// ours (such a file is only ever copied).
const ComponentKind* FindComponentKind(const QString& fileName);

// The build identity a component file carries in its metadata ("Build": the program's version
// and a hash of the component's code), read without loading it. Nothing for a file that is
// not of this component's interface (any version): a foreign file. Empty for one built
// before components carried it.
// A path the program has loaded gives what was loaded: Qt keeps a loaded plugin's metadata.
std::optional<QString> ComponentBuild(const QString& path, const ComponentKind& kind);

// A loaded component. The plugin stays loaded while this lives.
class LoadedComponent {
public:
    ~LoadedComponent();
    // The plugin's root object; qobject_cast it to the component's interface.
    QObject* Instance() const { return instance_; }

private:
    friend std::unique_ptr<LoadedComponent> LoadComponent(const QString&, const ComponentKind&,
                                                          QString*);
    LoadedComponent() = default;
    std::unique_ptr<QPluginLoader> loader_;
    QObject* instance_ = nullptr;
};

// Loads the plugin at path and checks that it is the component asked for: its interface
// id and its version. Null, with the reason, when it is not a plugin, not that component
// or not that version.
std::unique_ptr<LoadedComponent> LoadComponent(const QString& path, const ComponentKind& kind,
                                               QString* why);

} // namespace tq
