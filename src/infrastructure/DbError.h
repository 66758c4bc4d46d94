#pragma once

#include <stdexcept>
#include <QString>

// Thrown by the data layer for a connection or statement the database refuses.
// The text is the driver's own; the application-level handler shows it.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &text)
        : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};
