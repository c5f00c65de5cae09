#pragma once

// Readable failure messages for the Qt values the tests compare.
#include <QMap>
#include <QString>
#include <QVariant>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QVariant& value, std::ostream* out)
{
    *out << (value.isValid() ? value.typeName() : "invalid") << "(" << value.toString().toStdString() << ")";
}

template <class Key, class T> void PrintTo(const QMap<Key, T>& map, std::ostream* out)
{
    *out << "{";
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        *out << (it == map.constBegin() ? " " : ", ") << ::testing::PrintToString(it.key()) << ": "
             << ::testing::PrintToString(it.value());
    }
    *out << " }";
}
