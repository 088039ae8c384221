#pragma once

#include <QString>

#include <utility>

namespace korvalo {

// The outcome of an operation that may be refused. A refusal carries a message in the
// program's own words, ready to be shown to the user; the core never shows it itself.
class Status
{
public:
    static Status success() { return Status(); }
    static Status failure(QString message) { return Status(std::move(message)); }

    bool ok() const { return m_message.isEmpty(); }
    explicit operator bool() const { return ok(); }
    const QString &message() const { return m_message; }

private:
    Status() = default;
    explicit Status(QString message) : m_message(std::move(message))
    {
        if (m_message.isEmpty())
            m_message = QStringLiteral("Unknown error.");
    }

    QString m_message;
};

} // namespace korvalo
