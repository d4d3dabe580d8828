// The SQL backends as the upgrade engine reaches them (upkeep/sql_backend.h): its error report,
// the statement road and the ODBC backend kind. A program that keeps files on SQL servers
// installs them at start-up, after registering the backend FILEs with ds_AddDriver and the
// kind with ds_SetOption("ODBCDB", ...).
#pragma once

namespace upkeep_sql {

// Installs the backends into the engine (once per process; later calls do nothing more).
void installSqlBackends();

// Clears the backends' process-wide state: case mode, statement queues, last error, live
// structure, table in hand and wait window (process start, and between tests).
void resetSqlBackendState();

}  // namespace upkeep_sql
