#pragma once

#include <QString>

namespace tq {

class LogSink;

// Whether a plain file exists at the path. Folders and hidden files (a name starting
// with ".") do not count; an empty path or one ending in "/" or "\" is false at once,
// without a log line. Otherwise the result goes to the debug log.
bool FileExists(const QString& path, LogSink& log);

} // namespace tq
