#include "platform/Components.h"

#include <QFileInfo>
#include <QJsonObject>
#include <QPluginLoader>

namespace tq {

const ComponentKind* FindComponentKind(const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName();
    for (const ComponentKind* kind : {&kMidiIoComponent, &kMidiFileComponent}) {
        if (name.compare(QLatin1String(kind->fileName), Qt::CaseInsensitive) == 0) {
            return kind;
        }
    }
    return nullptr;
}

std::optional<QString> ComponentBuild(const QString& path, const ComponentKind& kind) {
    // An empty file is no plugin, and Qt would warn that it can't map it.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0) {
        return std::nullopt;
    }
    const QJsonObject meta = QPluginLoader(path).metaData();
    // "org.tonquill.MidiIo/2" and "org.tonquill.MidiIo/1" are two versions of one component.
    const auto family = [](const QString& iid) { return iid.left(iid.lastIndexOf(u'/') + 1); };
    const QString iid = meta.value(QStringLiteral("IID")).toString();
    if (iid.isEmpty() || family(iid) != family(QString::fromLatin1(kind.iid))) {
        return std::nullopt;
    }
    return meta.value(QStringLiteral("MetaData"))
        .toObject()
        .value(QStringLiteral("Build"))
        .toString();
}

LoadedComponent::~LoadedComponent() = default;

std::unique_ptr<LoadedComponent> LoadComponent(const QString& path, const ComponentKind& kind,
                                               QString* why) {
    const auto fail = [why](const QString& reason) {
        if (why) {
            *why = reason;
        }
        return nullptr;
    };
    if (!QFileInfo(path).isFile()) {
        return fail(path + QStringLiteral(" does not exist"));
    }
    auto loader = std::make_unique<QPluginLoader>(path);
    // Read before loading: a plugin of another interface is never run.
    const QJsonObject meta = loader->metaData();
    if (meta.isEmpty()) {
        return fail(QStringLiteral("not a component: ") + loader->errorString());
    }
    const QString iid = meta.value(QStringLiteral("IID")).toString();
    if (iid != QLatin1String(kind.iid)) {
        return fail(QStringLiteral("the interface is %1, not %2").arg(iid, kind.iid));
    }
    const int version =
        meta.value(QStringLiteral("MetaData")).toObject().value(QStringLiteral("Version")).toInt();
    if (version != kind.version) {
        return fail(QStringLiteral("version %1, not %2").arg(version).arg(kind.version));
    }
    QObject* instance = loader->instance();
    if (instance == nullptr) {
        return fail(loader->errorString());
    }
    // The metadata only names the interface; the object must implement it, or every call
    // through it would go astray.
    if (instance->qt_metacast(kind.iid) == nullptr) {
        loader->unload();
        return fail(QStringLiteral("the component does not implement %1").arg(kind.iid));
    }
    auto component = std::unique_ptr<LoadedComponent>(new LoadedComponent);
    component->loader_ = std::move(loader);
    component->instance_ = instance;
    return component;
}

} // namespace tq
