#pragma once

#include <QString>

/// Sends log records from WARN up to a rolling file in the application's
/// data folder; returns the file's path.
QString startApplicationLog();
