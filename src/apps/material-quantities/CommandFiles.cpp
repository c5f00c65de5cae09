#include "CommandFiles.h"

#include "FileIdentity.h"

#include "Step/RegularFile.h"

#include <QFile>

bool CommandFiles::passes(bool (*check)(const std::string&, std::string*), const QString& path, QTextStream& err)
{
    std::string reason;
    if (check(QFile::encodeName(path).toStdString(), &reason)) {
        return true;
    }
    err << "material-quantities: " << QFile::decodeName(QByteArray::fromStdString(reason)) << "\n";
    return false;
}

bool CommandFiles::checkCollisions(const QList<NamedPath>& paths, InPlace inPlace, QTextStream& err)
{
    QList<FileIdentity> identities;
    for (const NamedPath& named : paths) {
        identities.append(FileIdentity(named.path));
    }
    for (int i = 0; i < paths.size(); ++i) {
        for (int j = i + 1; j < paths.size(); ++j) {
            const NamedPath& first = paths.at(i);
            const NamedPath& second = paths.at(j);
            if (first.path.isEmpty() || second.path.isEmpty() || !(first.written || second.written) ||
                identities.at(i) != identities.at(j)) {
                continue;
            }
            const bool inputAsOutput = i == 0 && second.option == QLatin1String("-o");
            if (inputAsOutput && inPlace == InPlace::Allowed) {
                continue;
            }
            if (inputAsOutput) {
                err << "material-quantities: the output would overwrite the input '" << first.path
                    << (inPlace == InPlace::Refused ? "'; give another -o or --in-place\n" : "'; give another -o\n");
            } else {
                err << "material-quantities: " << first.option << " '" << first.path << "' and " << second.option
                    << " '" << second.path << "' are the same file\n";
            }
            return false;
        }
    }
    return true;
}

bool CommandFiles::checkReplaceable(const QList<NamedPath>& paths, QTextStream& err)
{
    for (const NamedPath& named : paths) {
        if (named.written && !named.path.isEmpty() && !passes(Step::RegularFile::checkReplaceable, named.path, err)) {
            return false;
        }
    }
    return true;
}

void CommandFiles::reportWriteFailure(const QString& path, const QString& error, QTextStream& err)
{
    err << "material-quantities: ";
    if (!error.contains(QLatin1Char('\'') + path + QLatin1Char('\''))) {
        err << "cannot write '" << path << "': ";
    }
    err << error << "\n";
}
