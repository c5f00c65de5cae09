#pragma once

#include <QLocale>

namespace testsupport {

/// Makes a locale the default while alive, then puts the previous one back.
/// Widgets take the default locale when made: make them meanwhile.
class DefaultLocale
{
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(previous); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

    static QLocale french() { return QLocale(QLocale::French, QLocale::France); }
    static QLocale english() { return QLocale(QLocale::English, QLocale::UnitedStates); }

private:
    QLocale previous;
};

} // namespace testsupport
