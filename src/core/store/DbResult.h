#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace orv {

// How an operation on the book failed. The widgets turn each kind into the
// message the user knows: "不能打开数据库" for CannotOpen, the engine's own
// text in a stop box for Statement, and the message itself for Refused.
struct DbError
{
    enum class Kind { CannotOpen, Statement, Refused };
    Kind kind = Kind::Statement;
    QString message;

    static DbError cannotOpen(const QString &detail = {}) { return {Kind::CannotOpen, detail}; }
    static DbError statement(const QString &engineText) { return {Kind::Statement, engineText}; }
    static DbError refused(const QString &text) { return {Kind::Refused, text}; }
};

// Either a value or the reason there is none. Small stand-in for
// std::expected, which our compiler does not offer in C++20 mode.
template <typename T>
class DbResult
{
public:
    DbResult(T value) : m_value(std::move(value)) {}
    DbResult(DbError error) : m_error(std::move(error)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const & { return *m_value; }
    T &value() & { return *m_value; }
    T &&value() && { return std::move(*m_value); }
    const T &operator*() const & { return *m_value; }
    T &operator*() & { return *m_value; }
    const T *operator->() const { return &*m_value; }
    T *operator->() { return &*m_value; }
    const DbError &error() const { return m_error; }

private:
    std::optional<T> m_value;
    DbError m_error;
};

// For operations whose only answer is "done" or an error.
class DbStatus
{
public:
    DbStatus() = default;
    DbStatus(DbError error) : m_failed(true), m_error(std::move(error)) {}
    template <typename T>
    DbStatus(const DbResult<T> &result) : m_failed(!result.ok()), m_error(result.error()) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const DbError &error() const { return m_error; }

private:
    bool m_failed = false;
    DbError m_error;
};

} // namespace orv
