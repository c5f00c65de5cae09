#pragma once

#include <QList>
#include <QString>
#include <QTextStream>

#include <string>

/// The files of a command line: the checks the commands run on them before a
/// model is opened, each saying on err why it refuses, and the report of one
/// that cannot be written.
class CommandFiles
{
public:
    /// A path given on the command line, with the option that gave it.
    struct NamedPath
    {
        QString option;
        QString path;
        bool written;
    };

    /// Whether the first path, the model read, may be written over by -o:
    /// not at all, or with --in-place.
    enum class InPlace { NotOffered, Refused, Allowed };

    /// Runs one of the Step::RegularFile checks on a path.
    static bool passes(bool (*check)(const std::string&, std::string*), const QString& path, QTextStream& err);
    /// False when two of the paths, one of them written, name the same file,
    /// whatever their spelling. Empty paths are not given.
    static bool checkCollisions(const QList<NamedPath>& paths, InPlace inPlace, QTextStream& err);
    /// False when a written path cannot be replaced by a regular file.
    static bool checkReplaceable(const QList<NamedPath>& paths, QTextStream& err);
    /// Says why the file at path was not written; the writers' messages
    /// mostly name the file already.
    static void reportWriteFailure(const QString& path, const QString& error, QTextStream& err);
};
