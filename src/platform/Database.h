#pragma once

// Someone else's SQLite file, changed the way a file is deleted: one owner for each connection and
// for each prepared statement, every result looked at, and one exclusive transaction that either
// commits whole or leaves the file as it was. Values always travel as bound parameters, never inside
// the statement's text; tables and columns are asked of the schema, never assumed.
//
// A connection remembers its first failure: from then on every statement on it does nothing, and
// the caller reads the failure once, where it decides what to tell the user.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace nimbral {

enum class DbProblem {
    kNone,
    kInUse,  // another program has it: busy, locked, opened read-only, or not to be opened at all
    kOther,  // anything else, said in why
};

struct DbStatus {
    DbProblem problem = DbProblem::kNone;
    std::string why;  // program text
    bool Ok() const { return problem == DbProblem::kNone; }
};

class Connection;

// One prepared statement. Texts are bound and read as UTF-8, as the database keeps them.
class Statement {
  public:
    Statement() = default;
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    // False for a statement that could not be prepared (its connection holds why).
    explicit operator bool() const { return statement_ != nullptr; }

    void BindInt64(int index, std::int64_t value);
    void BindText(int index, std::string_view utf8);
    // True while the statement gives a row; false once it is done or it failed.
    bool Step();
    // Runs it to the end, rows ignored; true when nothing failed.
    bool Run();
    // Ready to step again, with the same bindings.
    void Reset();

    std::int64_t Int64(int column) const;
    // Valid until the next step.
    std::string_view Text(int column) const;

  private:
    friend class Connection;
    Statement(Connection& connection, sqlite3_stmt* statement) : connection_(&connection), statement_(statement) {}

    Connection* connection_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
};

class Connection {
  public:
    // Takes over an open handle; closes it in the end.
    explicit Connection(sqlite3* db) : db_(db) {}
    Connection(Connection&& other) noexcept;
    Connection& operator=(Connection&& other) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    Statement Prepare(std::string_view sql);
    // Runs one statement to its end; true when it (and everything before it) succeeded.
    bool Execute(std::string_view sql);
    // The single value the statement's first row gives; none for no row or a failure.
    std::optional<std::int64_t> QueryInt64(std::string_view sql);

    bool TableExists(std::string_view table);
    bool ColumnExists(std::string_view table, std::string_view column);
    // The ordinary tables of the main schema, by name, in the schema's order.
    std::vector<std::string> Tables();
    // Rows changed by the last statement that changed rows.
    std::int64_t Changes() const;
    // Whether the system let the file be opened for reading only: it cannot be changed.
    bool ReadOnly() const;
    // Whether a transaction is open.
    bool InTransaction() const;

    const DbStatus& Status() const { return status_; }
    bool Failed() const { return !status_.Ok(); }
    // Records a failure found by the caller itself, unless one is recorded already.
    void Fail(DbProblem problem, std::string why);
    // Called every so often while a statement runs, so that a window can handle its messages through
    // a statement that takes seconds.
    void WhileRunning(std::function<void()> callback);
    // For a connection that only reads: closing it leaves a write-ahead log as it found it, rather
    // than folding it into the file, which would be a change.
    void LeaveLogOnClose();

    // For the checks of the system the program runs on.
    sqlite3* Handle() const { return db_; }

  private:
    friend class Statement;
    friend class ExclusiveTransaction;
    // Records the failure a call answered, unless one is recorded already. True for success.
    bool Check(int code);
    void RollBackNow();

    sqlite3* db_ = nullptr;
    DbStatus status_;
    // On the heap, so SQLite keeps finding it when the connection moves.
    std::unique_ptr<std::function<void()>> whileRunning_;
};

// "BEGIN EXCLUSIVE": no other connection reads or writes until it ends. It rolls back unless it was
// committed, whatever happened on the connection in between.
class ExclusiveTransaction {
  public:
    explicit ExclusiveTransaction(Connection& connection) : connection_(connection) {}
    ExclusiveTransaction(const ExclusiveTransaction&) = delete;
    ExclusiveTransaction& operator=(const ExclusiveTransaction&) = delete;
    ~ExclusiveTransaction();

    bool Begin();
    // Commits when nothing on the connection has failed; rolls back otherwise. True when committed.
    bool Commit();

  private:
    Connection& connection_;
    bool begun_ = false;
};

// A name from the schema as a quoted identifier.
std::string QuotedName(std::string_view name);

struct OpenedDatabase {
    std::optional<Connection> connection;
    DbStatus status;  // why there is no connection
};

// Where database files are opened. Every file the program changes is reached through here, so the
// system's checks (is the file opened the file named, is it in use) happen in one place.
class Databases {
  public:
    virtual ~Databases() = default;
    // Opens an existing database file for reading and changing. A connection that the system let
    // read only is handed back all the same: ReadOnly() tells, and such a file is not to be changed.
    virtual OpenedDatabase Open(const std::string& path) = 0;
    // Whether another program holds the file open and lets nobody else open it: the lock file of a
    // running browser. False for a file that is not there.
    virtual bool HeldByAnother(const std::string& path) = 0;
};

}  // namespace nimbral
