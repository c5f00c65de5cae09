#pragma once

#include <QString>

namespace Orvane {

/// Finds the files the application ships beside its executable.
class FindFile
{
public:
    /// The full path of a template: the user's own copy in
    /// <application data>/templates first, then the one installed with the
    /// application in <executable dir>/../share/orvane/templates. Empty when
    /// neither exists.
    static QString templateFile(const QString& name);

    static QString userTemplateFolder();
    static QString installedTemplateFolder();
};

} // namespace Orvane
