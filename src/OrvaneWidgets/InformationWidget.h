#pragma once

#include <QFrame>
#include <QString>

class QLabel;

namespace Orvane {

/// A slim banner with an icon and one line of text that tells the user about
/// the state of a window: information, a warning or an error, each with its
/// own icon and colours. The owner shows and hides it.
class InformationWidget : public QFrame
{
    Q_OBJECT
public:
    enum class Level { Information, Warning, Error };

    explicit InformationWidget(QWidget* parent = nullptr);
    ~InformationWidget() override;

    void setInformationMessage(const QString& message);
    void setWarningMessage(const QString& message);
    void setErrorMessage(const QString& message);

    QString message() const;
    Level level() const { return m_level; }

private:
    void setMessage(Level level, const QString& message);

    QLabel* m_icon;
    QLabel* m_text;
    Level m_level = Level::Information;
};

} // namespace Orvane
