// The SQL file drivers "MSSQL", "ORACLE", "SQLANYWHERE" and "ODBC": a FILE is a table of a
// server. The FILE's owner is the connection (a DSN, "dsn,user,password" or a full connection
// text), its name the table, with a schema in front when it has one ("dbo.Customers").
//
// OPEN connects and checks the table against the declaration: 2 when there is no such table,
// 47 when a column of the declaration is missing, 90 when the server cannot be reached or
// refuses the login (FILEERRORCODE the SQLSTATE, FILEERROR the server's text, never the
// password). CREATE makes the table with its primary key and an index for every other key.
// ADD, PUT, DELETE and GET by key send statements in which every value is a bound parameter;
// a duplicate key answers 40, any other refusal 90. SET and NEXT read the table in physical
// or key order.
//
// Writing a statement into property 7200h of an open SQL FILE sends it to the server as it
// stands; a refusal is 90 with the SQLSTATE and text, and so is a statement the server accepts
// with a general warning ("01000", as SQL Server's PRINT). Its answer rows are read with NEXT,
// column by column into the record's fields in order, RECORDS counts them and SET restarts
// them. "NORESULTCALL proc(&name [OUT], &other)" calls a stored procedure with the variables
// bound under those names (runtime BIND) as its parameters, writing the [OUT] ones back.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/files/file_driver.h"
#include "platform/files/sql_connection.h"

namespace files {

// Makes the connection of a SQL FILE from its driver and owner; null with `error` set when it
// cannot.
using SqlConnector =
    std::function<std::unique_ptr<SqlConnection>(Driver, std::string_view owner, SqlError& error)>;

// Installs the connector the SQL drivers use from now on and answers the one it replaces; an
// empty connector puts back the default, unixODBC. Tests install scripted connections.
SqlConnector setSqlConnector(SqlConnector connector);

// The driver object of the four SQL drivers.
FileDriver& sqlDriver();

// Sends `statement` to the server behind the open SQL FILE `file`, as property 7200h does.
// Answers 0, or the error with the error state set (90 when the server refuses it or the FILE
// is not open).
int sendSqlStatement(FileDeclaration& file, std::string_view statement);

// Writes `statement` into property 7200h and sends it as sendSqlStatement does when `file` is
// open; when it is closed, over a
// connection of its own made from the FILE's driver and owner, for statements that need no
// open table (the CREATE TABLE of the table the FILE names). A closed FILE keeps no answer
// rows. Answers 0, or 90 with the error state set.
int sendSqlStatementByOwner(FileDeclaration& file, std::string_view statement);

// Whether the server behind the open SQL FILE `file` takes several rows in one INSERT.
bool sqlTakesManyRows(FileDeclaration& file);
// Sends `rows` (value lists, "(1, 'x')") to the server behind the open SQL FILE `file` as the
// one INSERT `head` ("INSERT INTO t (a, b)") VALUES row, row ... Returns 0 when the table took
// them all; else the error number (set), with none of them in the table (nothing is sent when
// the server takes one row at a time).
int sendSqlRows(FileDeclaration& file, std::string_view head, std::span<const std::string> rows);

// The server's version text behind the open SQL FILE (property 724Ah); empty when closed.
std::string sqlServerVersion(const FileDeclaration& file);

}  // namespace files
