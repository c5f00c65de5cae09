#pragma once

class QCoreApplication;
class QLocale;

namespace Orvane {

/// Installs Qt's own catalogues and those of the host and its plug-ins
/// (<executable>/../share/orvane/translations) for locale; English needs none.
/// Returns how many catalogues were installed.
int installTranslations(QCoreApplication& application, const QLocale& locale);

} // namespace Orvane
