#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace korvalo {

// A value or the reason there is none. The reason is a message in the program's own
// words, ready to be shown; the caller owns the value it takes out.
template <typename T>
class Result
{
public:
    static Result success(T value) { return Result(std::move(value), QString()); }
    static Result failure(QString message)
    {
        if (message.isEmpty())
            message = QStringLiteral("Unknown error.");
        return Result(std::nullopt, std::move(message));
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const QString &message() const { return m_message; }

    T &value() { return *m_value; }
    const T &value() const { return *m_value; }
    T *operator->() { return &*m_value; }
    const T *operator->() const { return &*m_value; }

private:
    Result(std::optional<T> value, QString message)
        : m_value(std::move(value)), m_message(std::move(message)) {}

    std::optional<T> m_value;
    QString m_message;
};

} // namespace korvalo
