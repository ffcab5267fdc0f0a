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

    // What went wrong underneath, as far as the engine tells, in terms that
    // do not depend on which engine holds the book. The widgets say each one
    // to the family in a sentence of its own, with the engine's words after it.
    enum class Cause {
        Unknown,
        Busy,             // another program holds the book and did not let go in time
        ReadOnly,         // the book or its folder cannot be written
        DiskFull,
        Damaged,          // pages of the book cannot be read
        NotABook,         // the file or database does not hold a book
        NewerLayout,      // a book made by a newer version of the program
        Missing,          // the book file is not there
        ServerDown,       // no server answers at the book's address
        BadAddress,       // the book's address cannot be understood
        PasswordRejected, // the server refused the password (or wanted one)
        PermissionDenied, // the account may not use the book
        ConnectionLost,   // the server went away in the middle of the work
        Conflict,         // someone else changed the same rows at the same moment
    };

    Kind kind = Kind::Statement;
    QString message; // the engine's own words, or the program's reason when refused
    Cause cause = Cause::Unknown;

    static DbError cannotOpen(const QString &detail = {}, Cause cause = Cause::Unknown)
    {
        return {Kind::CannotOpen, detail, cause};
    }
    static DbError statement(const QString &engineText, Cause cause = Cause::Unknown)
    {
        return {Kind::Statement, engineText, cause};
    }
    static DbError refused(const QString &text) { return {Kind::Refused, text, Cause::Unknown}; }
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
